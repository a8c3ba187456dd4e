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

    // The true version record: what RtlGetVersion answers.
    plat::OsVersionInfo version;
    // Windows 8.1 and later report 6.2 (build 9200) to GetVersionExA unless the program's
    // manifest names them; ours name both, so the default is the truth.
    bool manifestNamesWin81 = true;
    bool manifestNamesWin10 = true;
    bool extendedVersionSupported = true;      // OSVERSIONINFOEXA accepted (NT 4.0 SP6 and later)
    std::uint16_t nativeArchitecture = plat::kArchIntel;
    bool wow64 = false;                        // a 32-bit program on 64-bit Windows
    // An ARM64 Windows runs our x86 program emulated: GetNativeSystemInfo then tells of
    // an x86 system, and only IsWow64Process2 names the real machine.
    bool emulatedOnArm64 = false;

    bool GetVersionEx(plat::OsVersionInfo* info, bool extended) override;
    void GetSystemInfo(plat::SystemInfo* info) override;
    void CallGetNativeSystemInfo(plat::ProcAddress fn, plat::SystemInfo* info) override;
    bool CallIsWow64Process(plat::ProcAddress fn, bool* isWow64) override;
    bool CallIsWow64Process2(plat::ProcAddress fn, std::uint16_t* processMachine,
                             std::uint16_t* nativeMachine) override;
    std::uint32_t CallRtlGetVersion(plat::ProcAddress fn, plat::OsVersionInfo* info) override;
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
