#include "setup/SetupStartup.h"

#include <algorithm>
#include <cstdio>

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/OsClass.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "config/ProgramWindows.h"
#include "config/Wow64.h"

namespace setup {

using cfg::Program;


namespace {

const char kDeviceName[] = "DEVICENAME";

StartupDecision refuse(plat::Platform& p, StartupDecision d, const char* section, const char* key) {
    cfg::ShowAppMessage(p, Program::Setup, cfg::LanguageFile(p, Program::Setup, section).GetText(key), plat::kMbOk);
    d.outcome = StartupDecision::Refused;
    d.refusalSection = section;
    d.refusalKey = key;
    return d;
}

bool isRefusedWindowsVersion(plat::Platform& p) {
    plat::OsVersionInfo v;
    if (!p.system.GetVersionEx(&v, false)) return false;
    if (v.platformId == plat::kPlatformWindows && v.minorVersion != 0) return true;  // 98, Me
    return v.platformId == plat::kPlatformNt && v.majorVersion == 4 && v.minorVersion == 0;
}

// Only the last model entry decides (each entry read replaces the one before), and its
// port section is looked up in all four model files of the running width.
bool packageSupportsAPort(plat::Platform& p, bool is64) {
    cfg::PackageConfig package(p);
    const int count = package.modelEntryCount();
    std::string buffer;
    bool anyModel = false;
    for (int n = 1; n <= count; ++n) {
        if (package.deviceEntry(n, &buffer) >= 0) anyModel = true;
    }
    if (!anyModel) return false;  // no model to probe: nothing can be installed
    const std::string section = cfg::CutTo(buffer + ".PORT", 200);
    for (int category = 0; category < 4; ++category) {
        const std::string file = cfg::ModelFileName(category, is64);
        for (const char* key : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED"})
            if (ReadIniInt(p, file, section, key) != 0) return true;
    }
    return false;
}

}  // namespace

int ReadIniInt(plat::Platform& p, const std::string& file, const std::string& section, const std::string& key) {
    return cfg::ReadIniNumber(p, file, section, key, 200);
}

StartupDecision RunSetupStartup(plat::Platform& p) {
    StartupDecision d;
    p.process.CreateMutex(true, cfg::ApplicationName(p));
    if (p.process.GetLastError() == plat::kErrorAlreadyExists) {
        if (plat::WindowHandle w = cfg::FindSetupWindow(p)) {
            p.windows.SetForegroundWindow(w);
            if (p.windows.IsIconic(w)) p.windows.OpenIcon(w);
        }
        d.outcome = StartupDecision::AlreadyRunning;
        return d;
    }
    if (cfg::FindUninstallWindow(p)) return refuse(p, d, "Setup", "Close");
    if (isRefusedWindowsVersion(p)) return refuse(p, d, "Setup", "Nonsupport");
    // An x86 program runs emulated there and would install x86 or x64 drivers that the
    // ARM64 spooler cannot load.
    if (cfg::IsArm64Windows(p)) return refuse(p, d, "Message", "IDS_ERR_ARM64");

    d.is64BitWindows = IsWow64(p);
    const int widths = ReadIniInt(p, cfg::kPackageFile, kDeviceName, "Supported32OR64");
    if (widths == 1 && d.is64BitWindows) return refuse(p, d, "Message", "IDS_X64");
    if (widths == 2 && !d.is64BitWindows) return refuse(p, d, "Message", "IDS_X32");

    if (!packageSupportsAPort(p, d.is64BitWindows)) return refuse(p, d, "Setup", "PortNull");

    d.showAgreement = ReadIniInt(p, cfg::kPackageFile, kDeviceName, "LOADLICENSE") != 0 ? 1 : 0;
    d.useChineseFont = ReadIniInt(p, cfg::kPackageFile, kDeviceName, "LANGUAGE") == 0 ? 1 : 0;
    d.outcome = StartupDecision::ShowWizard;
    return d;
}

}  // namespace setup
