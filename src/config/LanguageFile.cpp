#include "config/LanguageFile.h"

#include "config/BuiltInWording.h"
#include "config/IniValues.h"

namespace cfg {

namespace {
constexpr std::uint32_t kPathSize = 260;
constexpr std::size_t kSetupSectionSize = 256;
}  // namespace

LanguageFile::LanguageFile(plat::Platform& p, Program program, const std::string& section)
    : platform_(p), program_(program) {
    std::string dir;
    if (p.process.GetCurrentDirectory(kPathSize, &dir) >= kPathSize) dir.clear();
    const char* name = program == Program::Setup ? "\\language\\setup.ini" : "\\language\\uninstall.ini";
    path_ = CutTo(dir + name, kPathSize);
    section_ = program == Program::Setup ? CutTo(section, kSetupSectionSize) : section;
}

std::string ApplyLineBreakMarkers(std::string text, Program program) {
    const char* const setupMarkers[] = {"\\1", "\\2", "\\3"};
    const char* const uninstallMarkers[] = {"\\n"};
    const char* const* markers = program == Program::Setup ? setupMarkers : uninstallMarkers;
    const int count = program == Program::Setup ? 3 : 1;
    for (int i = 0; i < count; ++i) {
        auto at = text.find(markers[i]);
        if (at != std::string::npos) text.replace(at, 2, "\r\n");
    }
    return text;
}

std::string LanguageFile::GetText(const std::string& key) const {
    std::string text = platform_.profile.GetPrivateProfileString(section_, key, "", kTextBufferSize, path_);
    if (text.empty())
        if (const char* builtIn = BuiltInText(program_, section_, key)) text = builtIn;
    return ApplyLineBreakMarkers(std::move(text), program_);
}

}  // namespace cfg
