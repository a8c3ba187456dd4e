#include "uninstall/UninstallState.h"

#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"

namespace uninstall {

namespace {

const char kIniName[] = "Uninstall.ini";

enum class FolderScan { Matched, NoMatch, CannotEnumerate };

// Walks the folder in enumeration order until an entry's name contains "Uninstall.ini".
// Nothing is written: reading the file needs no attribute change, and resetting the marks
// of every file met on the way would strip read-only, hidden and system marks from
// whatever folder the program happened to be started in. Even the matching entry is left
// alone: it may be "Uninstall.ini.bak", which is not the file then read.
FolderScan scanFolder(plat::Platform& p, const std::string& folder) {
    std::string name;
    plat::FindHandle find = p.files.FindFirstFile(folder + "*.*", &name);
    if (!find) {
        // A folder with no entries at all (a drive's root has no "." or "..") is simply
        // one without the file; only a folder that cannot be read is an error.
        return p.process.GetLastError() == plat::kErrorFileNotFound ? FolderScan::NoMatch
                                                                    : FolderScan::CannotEnumerate;
    }
    FolderScan result = FolderScan::NoMatch;
    do {
        if (name.find(kIniName) != std::string::npos) {
            result = FolderScan::Matched;
            break;
        }
    } while (p.files.FindNextFile(find, &name));
    p.files.FindClose(find);
    return result;
}

IniSearchResult fail(plat::Platform& p, plat::WindowHandle owner, IniSearchResult::Outcome outcome,
                     const char* key) {
    cfg::ShowWindowMessage(p, owner, cfg::MessageTexts(p, cfg::Program::Uninstall).GetText(key), plat::kMbOk);
    IniSearchResult r;
    r.outcome = outcome;
    r.messageKey = key;
    return r;
}

}  // namespace

IniSearchResult FindUninstallIni(plat::Platform& p, UninstallState& state, plat::WindowHandle owner) {
    state.iniPath.clear();
    std::string folder;
    const std::uint32_t n = p.process.GetCurrentDirectory(kIniPathSize, &folder);
    // A directory that does not fit would be cut to some other folder's name.
    if (n == 0 || n >= kIniPathSize) return fail(p, owner, IniSearchResult::NoCurrentDirectory, "IDS_ERR_GETSYSDIR");
    if (folder.empty() || folder.back() != '\\') folder += '\\';  // a drive's root already ends in one

    for (const char* sub : {"", "DRVCONFIG\\"}) {
        folder += sub;
        switch (scanFolder(p, folder)) {
        case FolderScan::Matched:
            state.iniPath = folder + kIniName;
            return IniSearchResult{IniSearchResult::Found, ""};
        case FolderScan::CannotEnumerate:
            return fail(p, owner, IniSearchResult::CannotEnumerate, "IDS_ERR_INVALID");
        case FolderScan::NoMatch:
            break;
        }
    }
    return fail(p, owner, IniSearchResult::NotFound, "IDS_ERR_NOINI");
}

}  // namespace uninstall
