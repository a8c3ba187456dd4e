// Wording of both programs, read by section and key from language\setup.ini or
// language\uninstall.ini under the current directory.
#pragma once
#include <string>

#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

constexpr std::uint32_t kTextBufferSize = 1024;

class LanguageFile {
public:
    // The path is fixed here, from the current directory; the file is read at each GetText.
    LanguageFile(plat::Platform& p, Program program, const std::string& section);

    // The text of `key` in the bound section; when the file, section or key is missing or
    // empty, the programs' built-in English for it ("" for a key they never read). At most
    // 1023 bytes, with the program's line-break markers turned into CR LF. Each
    // call hands back its own copy, so texts read on two threads never overwrite each other.
    std::string GetText(const std::string& key) const;

    const std::string& path() const { return path_; }
    const std::string& section() const { return section_; }

private:
    plat::Platform& platform_;
    Program program_;
    std::string path_;
    std::string section_;
};

// Line breaks as the program writes them: setup turns the first "\1", "\2" and "\3" (in
// that order) into CR LF; uninstall only the first "\n".
std::string ApplyLineBreakMarkers(std::string text, Program program);

// The Message section, which holds most error texts.
inline LanguageFile MessageTexts(plat::Platform& p, Program program) { return LanguageFile(p, program, "Message"); }

}  // namespace cfg
