// What every engine step needs besides its arguments: the platform, whether Windows is
// 64-bit, and the little state that lives as long as the setup process.
#pragma once
#include <string>
#include <vector>

#include "config/LanguageFile.h"
#include "platform/Platform.h"

namespace engine {

struct EngineContext {
    EngineContext(plat::Platform& p, bool is64) : platform(p), is64BitWindows(is64) {}

    plat::Platform& platform;
    bool is64BitWindows;

    // The Driver Cache cabinets are searched and unpacked at most once per process.
    bool driverCacheTried = false;
    std::vector<std::string> cabinets;
    // A file was put beside one Windows holds, under its "n" name: it takes effect only
    // once Windows has restarted.
    bool restartNeeded = false;

    // The text of a key of the language file's Message section. A missing text gives the
    // key itself: a failure must never leave the MessageBuffer empty, which would read
    // as success.
    std::string text(const std::string& key) const {
        std::string t = cfg::MessageTexts(platform, cfg::Program::Setup).GetText(key);
        return t.empty() ? key : t;
    }
};

}  // namespace engine
