#include "uninstall/UninstallStartup.h"

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"

namespace uninstall {

using cfg::Program;

// The window of an English package is titled "Uninstall"; looking only for the Chinese
// title would let a second English instance start silently and do nothing visible.
const char* const kUninstallWindowTitles[2] = {"Uninstall", "打印机卸载程序"};
const char* const kSetupWindowTitles[2] = {"打印机驱动安装程序", "Printer Driver Setup"};

plat::WindowHandle FindWindowByTitles(plat::Platform& p, const char* const titles[2]) {
    plat::WindowHandle w = p.windows.FindWindowByTitle(titles[0]);
    return w ? w : p.windows.FindWindowByTitle(titles[1]);
}

int ReadLanguageSwitch(plat::Platform& p) {
    // Relative on purpose: the uninstaller finds all of its files through the current
    // directory, not through its executable's folder.
    return cfg::ReadIniNumber(p, "DRVCONFIG\\setup.ini", "DEVICENAME", "LANGUAGE", 200);
}

UninstallStartupDecision RunUninstallStartup(plat::Platform& p) {
    UninstallStartupDecision d;
    p.process.CreateMutex(true, cfg::ApplicationName(p));
    if (p.process.GetLastError() == plat::kErrorAlreadyExists) {
        if (plat::WindowHandle w = FindWindowByTitles(p, kUninstallWindowTitles)) {
            p.windows.SetForegroundWindow(w);
            if (p.windows.IsIconic(w)) p.windows.OpenIcon(w);
        }
        d.outcome = UninstallStartupDecision::AlreadyRunning;
        return d;
    }
    if (FindWindowByTitles(p, kSetupWindowTitles)) {
        cfg::ShowAppMessage(p, Program::Uninstall, cfg::LanguageFile(p, Program::Uninstall, "Uninstall").GetText("Close"),
                            plat::kMbOk);
        d.outcome = UninstallStartupDecision::SetupRunning;
        return d;
    }
    d.useChineseFont = ReadLanguageSwitch(p) == 0 ? 1 : 0;
    d.outcome = UninstallStartupDecision::ShowDialog;
    return d;
}

}  // namespace uninstall
