// The Windows version classes that select configuration sections, and their detection.
#pragma once
#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

using OsClass = int;
enum : OsClass {
    kOsWin9x = 0,  // also every version that matches nothing else
    kOsNt4 = 1,
    kOsWin2000 = 2,
    kOsWinXP = 3,
    kOsServer2003 = 4,
    kOsVista = 5,
    kOsServer2008 = 6,
    kOsWin7 = 7,
    kOsWin10 = 8,        // Windows 8, 8.1, 10 and 11 (6.2 and later on a workstation)
    kOsServer2012 = 9,   // Windows Server 2012 and later
};

// Section suffix of setup's configuration (".98" ... ".Win7", ".Win10", ".2012"); "" for
// anything else.
const char* OsSuffix(OsClass os);
// The uninstaller's own table: XP shares ".2K" with Windows 2000.
const char* UninstallOsSuffix(OsClass os);

// The class whose package sections stand in for a newer class that has none of its own
// (".Win10" falls back to ".Win7", ".2012" to ".2008"); -1 when there is none.
OsClass FallbackOsClass(OsClass os);

// The families the engine and both programs tell apart.
inline bool IsWin2000OrLater(OsClass os) { return os >= kOsWin2000 && os <= kOsServer2012; }
inline bool IsVistaOrLater(OsClass os) { return os >= kOsVista && os <= kOsServer2012; }
// Vista, 7 and 8 to 11: the workstations whose Compatibility Assistant records programs.
inline bool IsVistaOrLaterWorkstation(OsClass os) { return os == kOsVista || os == kOsWin7 || os == kOsWin10; }

// What the classification looks at: the extended version record (zeroed when it cannot be
// read) and the processor of the native system, 32-bit programs on 64-bit Windows included.
// From 6.2 on GetVersionExA may answer 6.2 for any newer Windows; RtlGetVersion then gives
// the true record. The earlier versions keep exactly what GetVersionExA says.
struct OsFacts {
    plat::OsVersionInfo version;
    std::uint16_t processorArchitecture = 0;
};
OsFacts ReadOsFacts(plat::Platform& p);

// Whether Windows runs on an ARM64 processor (our x86 programs then run emulated, and the
// package has no ARM64 drivers). To an emulated x86 program only IsWow64Process2 tells the
// truth; GetNativeSystemInfo is asked only where that call is missing.
bool IsArm64Windows(plat::Platform& p);

// The class of an NT version; kOsWin9x for an NT version no class stands for.
OsClass ClassifyNt(const plat::OsVersionInfo& version, std::uint16_t processorArchitecture);

// Classifies the running Windows. An unknown platform is reported (setup) or taken for XP
// (uninstall), as each program always did.
OsClass DetectOsClass(plat::Platform& p, Program program);

}  // namespace cfg
