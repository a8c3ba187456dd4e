// What `drvpkg check` reports: one line per finding, pointing at the file and line the
// author has to change.
#pragma once
#include <string>
#include <vector>

namespace drvpkg {

struct Finding {
    std::string file;  // relative to the package folder, with '/'
    int line = 0;      // 1-based; 0 for a whole file (one that is missing)
    bool error = false;
    std::string text;
};

class Findings {
public:
    void error(const std::string& file, int line, const std::string& text) { add({file, line, true, text}); }
    void warning(const std::string& file, int line, const std::string& text) { add({file, line, false, text}); }
    const std::vector<Finding>& all() const { return all_; }
    bool hasError() const {
        for (const auto& f : all_)
            if (f.error) return true;
        return false;
    }

private:
    // The same fault reached from several models or widths is reported once.
    void add(Finding f) {
        for (const auto& g : all_)
            if (g.file == f.file && g.line == f.line && g.text == f.text) return;
        all_.push_back(std::move(f));
    }
    std::vector<Finding> all_;
};

}  // namespace drvpkg
