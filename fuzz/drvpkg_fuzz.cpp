// Feeds the inputs of package_fuzz (an option byte, then the package file, a model file and
// the setup wording separated by "\n@@@\n") to `drvpkg check`, as DRVCONFIG\setup.ini,
// DRVCONFIG\setup_receipt.ini and language\setup.ini of a package. Besides crashes and
// sanitizer reports, the run aborts when a finding points at a line its file does not have.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "tools/drvpkg/Checks.h"

namespace {

int lineCount(const std::string& bytes) {
    int lines = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++lines;
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const char* const kFiles[] = {"DRVCONFIG\\setup.ini", "DRVCONFIG\\setup_receipt.ini", "language\\setup.ini"};
    const std::string all(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::map<std::string, std::string> files;
    std::size_t start = 0;
    for (const char* name : kFiles) {
        const std::size_t at = all.find("\n@@@\n", start);
        files[name] = all.substr(start, at == std::string::npos ? std::string::npos : at - start);
        if (at == std::string::npos) break;
        start = at + 5;
    }
    drvpkg::PackageFolder package(files);
    for (const auto& f : drvpkg::CheckPackage(package)) {
        std::string windowsName = f.file;
        for (char& c : windowsName)
            if (c == '/') c = '\\';
        auto it = files.find(windowsName);
        if (it != files.end() && (f.line < 0 || f.line > lineCount(it->second))) {
            std::fprintf(stderr, "drvpkg_fuzz: %s:%d beyond the file's %d lines\n", f.file.c_str(), f.line,
                         lineCount(it->second));
            std::abort();
        }
    }
    return 0;
}
