#include "uninstall/UninstallStartup.h"

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/OsClass.h"
#include "config/ProgramWindows.h"

namespace uninstall {

using cfg::Program;

int ReadLanguageSwitch(plat::Platform& p) {
    // Relative on purpose: the uninstaller finds all of its files through the current
    // directory, not through its executable's folder.
    return cfg::ReadIniNumber(p, "DRVCONFIG\\setup.ini", "DEVICENAME", "LANGUAGE", 200);
}

UninstallStartupDecision RunUninstallStartup(plat::Platform& p) {
    UninstallStartupDecision d;
    p.process.CreateMutex(true, cfg::ApplicationName(p));
    if (p.process.GetLastError() == plat::kErrorAlreadyExists) {
        if (plat::WindowHandle w = cfg::FindUninstallDialog(p)) {
            p.windows.SetForegroundWindow(w);
            if (p.windows.IsIconic(w)) p.windows.OpenIcon(w);
        }
        d.outcome = UninstallStartupDecision::AlreadyRunning;
        return d;
    }
    if (cfg::FindSetupWindow(p)) {
        cfg::ShowAppMessage(p, Program::Uninstall, cfg::LanguageFile(p, Program::Uninstall, "Uninstall").GetText("Close"),
                            plat::kMbOk);
        d.outcome = UninstallStartupDecision::SetupRunning;
        return d;
    }
    if (cfg::IsArm64Windows(p)) {
        cfg::ShowAppMessage(p, Program::Uninstall, cfg::MessageTexts(p, Program::Uninstall).GetText("IDS_ERR_ARM64"),
                            plat::kMbOk);
        d.outcome = UninstallStartupDecision::Arm64Windows;
        return d;
    }
    d.useChineseFont = ReadLanguageSwitch(p) == 0 ? 1 : 0;
    d.outcome = UninstallStartupDecision::ShowDialog;
    return d;
}

}  // namespace uninstall
