// The decisions the uninstaller makes before its dialog appears: one instance only, and
// never while setup's wizard is open. The dialog itself is built by the caller.
#pragma once

#include "platform/Platform.h"

namespace uninstall {

struct UninstallStartupDecision {
    enum Outcome {
        ShowDialog,      // go on to the main dialog
        AlreadyRunning,  // another uninstaller runs: it was brought forward, nothing shown
        SetupRunning,    // the "Close" text was shown; the process ends
        Arm64Windows,    // the package has nothing for ARM64 Windows: said so, the process ends
    };
    Outcome outcome = SetupRunning;
    int useChineseFont = 0;  // LANGUAGE zero or absent: the dialogs get the GB2312 font
};

// Runs the start-up checks in order. The named mutex stays held for the process's life.
UninstallStartupDecision RunUninstallStartup(plat::Platform& p);

// The package's LANGUAGE switch, read from DRVCONFIG\setup.ini under the current
// directory; 0 also when the file or key is missing.
int ReadLanguageSwitch(plat::Platform& p);

}  // namespace uninstall
