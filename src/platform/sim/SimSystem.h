// Version facts of the simulated Windows and the WOW64 calls.
#pragma once
#include "platform/SystemInfoApi.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimSystem : public plat::SystemInfoApi {
public:
    SimSystem(SimState& state, SimProcess& process, SimFileSystem& files)
        : state_(state), process_(process), files_(files) {}

    plat::OsVersionInfo version;
    bool extendedVersionSupported = true;      // OSVERSIONINFOEXA accepted (NT 4.0 SP6 and later)
    std::uint16_t nativeArchitecture = plat::kArchIntel;
    bool wow64 = false;                        // a 32-bit program on 64-bit Windows

    bool GetVersionEx(plat::OsVersionInfo* info, bool extended) override;
    void GetSystemInfo(plat::SystemInfo* info) override;
    void CallGetNativeSystemInfo(plat::ProcAddress fn, plat::SystemInfo* info) override;
    bool CallIsWow64Process(plat::ProcAddress fn, bool* isWow64) override;
    bool CallWow64DisableWow64FsRedirection(plat::ProcAddress fn, void** oldValue) override;
    bool CallWow64RevertWow64FsRedirection(plat::ProcAddress fn, void* oldValue) override;

    int redirectionDisableCount = 0;

private:
    bool isProc(plat::ProcAddress fn, const char* name) const { return process_.procName(fn) == name; }
    SimState& state_;
    SimProcess& process_;
    SimFileSystem& files_;
};

}  // namespace sim
