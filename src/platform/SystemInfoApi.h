// Version record, processor architecture and the WOW64 calls that exist only on some
// Windows versions (reached through a ProcAddress from ProcessApi::GetProcAddress).
#pragma once
#include "platform/WinTypes.h"

namespace plat {

class SystemInfoApi {
public:
    virtual ~SystemInfoApi() = default;
    // extended: the OSVERSIONINFOEXA form (size 156); otherwise OSVERSIONINFOA (148).
    virtual bool GetVersionEx(OsVersionInfo* info, bool extended) = 0;
    virtual void GetSystemInfo(SystemInfo* info) = 0;

    virtual void CallGetNativeSystemInfo(ProcAddress fn, SystemInfo* info) = 0;
    virtual bool CallIsWow64Process(ProcAddress fn, bool* isWow64) = 0;
    // IsWow64Process2 (Windows 10 and later): the process's and the system's machine codes.
    virtual bool CallIsWow64Process2(ProcAddress fn, std::uint16_t* processMachine, std::uint16_t* nativeMachine) = 0;
    // ntdll's RtlGetVersion: the true version record, which no manifest or shim changes.
    // Answers the NTSTATUS (0 success).
    virtual std::uint32_t CallRtlGetVersion(ProcAddress fn, OsVersionInfo* info) = 0;
    virtual bool CallWow64DisableWow64FsRedirection(ProcAddress fn, void** oldValue) = 0;
    virtual bool CallWow64RevertWow64FsRedirection(ProcAddress fn, void* oldValue) = 0;
};

}  // namespace plat
