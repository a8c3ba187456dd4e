#include "config/OsClass.h"

#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"

namespace cfg {

const char* OsSuffix(OsClass os) {
    static const char* const kSuffixes[] = {".98", ".NT", ".2K", ".XP", ".2003", ".Vista", ".2008", ".Win7"};
    return (os >= 0 && os <= 7) ? kSuffixes[os] : "";
}

const char* UninstallOsSuffix(OsClass os) {
    static const char* const kSuffixes[] = {".98", ".NT", ".2K", ".2K", ".2003", ".Vista", ".2008", ".Win7"};
    return (os >= 0 && os <= 7) ? kSuffixes[os] : "";
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
            return kOsWin9x;
        default:
            return kOsWin9x;
    }
}

OsFacts ReadOsFacts(plat::Platform& p) {
    OsFacts facts;
    if (!p.system.GetVersionEx(&facts.version, true)) facts.version = plat::OsVersionInfo{};  // record stays zeroed

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
