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
};

// Section suffix of setup's configuration (".98" ... ".Win7"); "" outside 0 to 7.
const char* OsSuffix(OsClass os);
// The uninstaller's own table: XP shares ".2K" with Windows 2000.
const char* UninstallOsSuffix(OsClass os);

// What the classification looks at: the extended version record (zeroed when it cannot be
// read) and the processor of the native system, 32-bit programs on 64-bit Windows included.
struct OsFacts {
    plat::OsVersionInfo version;
    std::uint16_t processorArchitecture = 0;
};
OsFacts ReadOsFacts(plat::Platform& p);

// The class of an NT version; kOsWin9x for an NT version no class stands for.
OsClass ClassifyNt(const plat::OsVersionInfo& version, std::uint16_t processorArchitecture);

// Classifies the running Windows. An unknown platform is reported (setup) or taken for XP
// (uninstall), as each program always did.
OsClass DetectOsClass(plat::Platform& p, Program program);

}  // namespace cfg
