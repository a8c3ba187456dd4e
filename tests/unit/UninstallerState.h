// An engine machine turned into the uninstaller's: its program file and the state its
// start-up would leave (the sample Uninstall.ini, the Windows class, the width and the
// driver-deletion entry where Windows has one).
#pragma once
#include "config/OsClass.h"
#include "EngineMachine.h"
#include "uninstall/UninstallState.h"

namespace testing_support {

inline uninstall::UninstallState BecomeUninstaller(EngineMachine& m) {
    m.machine.process.imagePath = "C:\\PKG\\uninstall.exe";
    uninstall::UninstallState state;
    state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
    state.osClass = cfg::DetectOsClass(m.p, cfg::Program::Uninstall);
    state.is64BitWindows = m.is64;
    if (plat::ModuleHandle spooler = m.p.process.LoadLibrary("Winspool.drv"))
        state.deletePrinterDriverEx = m.p.process.GetProcAddress(spooler, "DeletePrinterDriverExA");
    return state;
}

}  // namespace testing_support
