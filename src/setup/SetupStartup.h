// The decisions setup makes before its wizard appears: one instance only, not while the
// uninstaller runs, not on Windows 98/Me/NT 4.0, not with a package for the other
// processor width, and not with a package whose model supports no port.
#pragma once
#include <string>

#include "config/Wow64.h"
#include "platform/Platform.h"

namespace setup {

using cfg::IsWow64;

struct StartupDecision {
    enum Outcome {
        ShowWizard,       // go on to the wizard
        AlreadyRunning,   // another setup runs: it was brought forward, nothing shown
        Refused,          // a message was shown; the process ends
    };
    Outcome outcome = Refused;
    std::string refusalSection;  // language section and key of the message shown
    std::string refusalKey;
    bool is64BitWindows = false;
    int showAgreement = 0;   // LOADLICENSE non-zero
    int useChineseFont = 0;  // LANGUAGE zero or absent
};

// Runs the start-up checks in order. The named mutex stays held for the process's life.
StartupDecision RunSetupStartup(plat::Platform& p);

// One integer of an INI file named relative to the current directory (0 when absent).
int ReadIniInt(plat::Platform& p, const std::string& file, const std::string& section, const std::string& key);

}  // namespace setup
