#include "config/OsClass.h"

#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"

namespace cfg {

const char* OsSuffix(OsClass os) {
    static const char* const kSuffixes[] = {".98",   ".NT",   ".2K",   ".XP",    ".2003",
                                            ".Vista", ".2008", ".Win7", ".Win10", ".2012"};
    return (os >= 0 && os <= kOsServer2012) ? kSuffixes[os] : "";
}

const char* UninstallOsSuffix(OsClass os) {
    static const char* const kSuffixes[] = {".98",   ".NT",   ".2K",   ".2K",    ".2003",
                                            ".Vista", ".2008", ".Win7", ".Win10", ".2012"};
    return (os >= 0 && os <= kOsServer2012) ? kSuffixes[os] : "";
}

OsClass FallbackOsClass(OsClass os) {
    if (os == kOsWin10) return kOsWin7;
    if (os == kOsServer2012) return kOsServer2008;
    return -1;
}

OsClass ClassifyNt(const plat::OsVersionInfo& v, std::uint16_t architecture) {
    const bool workstation = v.productType == plat::kNtWorkstation;
    switch (v.majorVersion) {
        case 4:
            return v.minorVersion == 0 ? kOsNt4 : kOsWin9x;
        case 5:
            if (v.minorVersion == 0) return kOsWin2000;
            if (v.minorVersion == 1) return kOsWinXP;
            if (v.minorVersion == 2)
                return (workstation && architecture == plat::kArchAmd64) ? kOsWinXP : kOsServer2003;
            return kOsWin9x;
        case 6:
            if (v.minorVersion == 0) return workstation ? kOsVista : kOsServer2008;
            if (v.minorVersion == 1) return workstation ? kOsWin7 : kOsServer2008;
            return workstation ? kOsWin10 : kOsServer2012;
        default:
            // 7 to 9 never existed; 10 and whatever follows are the newest classes.
            if (v.majorVersion > 6) return workstation ? kOsWin10 : kOsServer2012;
            return kOsWin9x;
    }
}

OsFacts ReadOsFacts(plat::Platform& p) {
    OsFacts facts;
    if (!p.system.GetVersionEx(&facts.version, true)) facts.version = plat::OsVersionInfo{};  // record stays zeroed
    const plat::OsVersionInfo& v = facts.version;
    if (v.platformId == plat::kPlatformNt && (v.majorVersion > 6 || (v.majorVersion == 6 && v.minorVersion >= 2))) {
        plat::ModuleHandle ntdll = p.process.GetModuleHandle("ntdll.dll");
        plat::ProcAddress rtl = ntdll ? p.process.GetProcAddress(ntdll, "RtlGetVersion") : 0;
        plat::OsVersionInfo trueVersion;
        if (rtl && p.system.CallRtlGetVersion(rtl, &trueVersion) == 0 && trueVersion.platformId == plat::kPlatformNt)
            facts.version = trueVersion;
    }

    plat::SystemInfo info;
    plat::ModuleHandle kernel32 = p.process.GetModuleHandle("kernel32.dll");
    plat::ProcAddress native = kernel32 ? p.process.GetProcAddress(kernel32, "GetNativeSystemInfo") : 0;
    if (native)
        p.system.CallGetNativeSystemInfo(native, &info);
    else
        p.system.GetSystemInfo(&info);
    facts.processorArchitecture = info.processorArchitecture;
    return facts;
}

bool IsArm64Windows(plat::Platform& p) {
    plat::ModuleHandle kernel32 = p.process.GetModuleHandle("kernel32.dll");
    plat::ProcAddress fn = kernel32 ? p.process.GetProcAddress(kernel32, "IsWow64Process2") : 0;
    std::uint16_t processMachine = 0, nativeMachine = 0;
    if (fn && p.system.CallIsWow64Process2(fn, &processMachine, &nativeMachine))
        return nativeMachine == plat::kMachineArm64;
    // Without IsWow64Process2 only a system that does not emulate would say so.
    return ReadOsFacts(p).processorArchitecture == plat::kArchArm64;
}

OsClass DetectOsClass(plat::Platform& p, Program program) {
    const OsFacts facts = ReadOsFacts(p);
    switch (facts.version.platformId) {
        case plat::kPlatformWindows:
            return kOsWin9x;
        case plat::kPlatformNt:
            return ClassifyNt(facts.version, facts.processorArchitecture);
        default:
            if (program == Program::Uninstall) return kOsWinXP;
            ShowAppMessage(p, program, LanguageFile(p, program, "Message").GetText("IDS_ERR_SYSTEM"), plat::kMbOk);
            return kOsWin9x;
    }
}

}  // namespace cfg
