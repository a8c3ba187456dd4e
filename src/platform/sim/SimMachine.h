// A whole simulated Windows machine, as one Platform: registry, disk, services, windows,
// version facts, the user's token and a virtual clock, with fault injection on every call.
#pragma once
#include <string>

#include "platform/Platform.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimProfile.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSecurity.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimSpooler.h"
#include "platform/sim/SimState.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimUsb.h"
#include "platform/sim/SimWindows.h"

namespace sim {

enum class WindowsVersion {
    Win95,
    Win98,
    WinMe,
    Nt4,
    Win2000,
    WinXP,
    WinXP64,
    Server2003,
    Vista,
    Server2008,
    Win7,
    Server2008R2,
    Win8,
    Win81,
    Win10,
    Win11,
    Server2012,
    Server2012R2,
    Server2016,
    Server2019,
    Server2022,
};

const char* windowsVersionName(WindowsVersion v);

class SimMachine {
public:
    // A 32-bit Windows 7 workstation with a running Spooler, the usual folders and an
    // administrator logged on.
    SimMachine();
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    // Sets the version record, the processor, WOW64 and which kernel32 functions exist.
    // `sixtyFourBit` is ignored for versions that had no 64-bit edition.
    void setWindows(WindowsVersion version, bool sixtyFourBit);
    // Windows 10 or 11 on an ARM64 processor, running our x86 program emulated.
    void setArm64Windows(WindowsVersion version);

    // Maps a host folder (e.g. the sample package) as the program's folder and makes it
    // the current directory, with the program at <folder>\<exeName>.
    void installProgram(const std::string& hostFolder, const std::string& windowsFolder,
                        const std::string& exeName);

    plat::Platform& platform() { return platform_; }

    SimState state;
    SimFileSystem files;
    SimProcess process{state, files};
    SimProfile profile{state, files, process};
    SimRegistry registry{state};
    SimSystem system{state, process, files};
    SimSecurity security{state};
    SimServices services{state};
    SimWindows windows{state};
    SimClock clock{state};
    SimSpooler spooler{state, files, process, services, registry};
    SimFiles fileApi{state, files, process};
    SimShell shell{state, process, windows};
    SimUsb usb{state, process};
    SimFaults& faults = state.faults;

private:
    plat::Platform platform_;
};

}  // namespace sim
