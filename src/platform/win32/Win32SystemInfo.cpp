#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

namespace {
// Signatures of the calls Windows 2000 lacks; we only ever hold them as looked-up addresses.
using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using Wow64DisableWow64FsRedirectionFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertWow64FsRedirectionFn = BOOL(WINAPI*)(PVOID);

template <typename Fn>
Fn As(ProcAddress address) {
    return reinterpret_cast<Fn>(address);
}

void CopySystemInfo(const SYSTEM_INFO& from, SystemInfo* to) {
    to->processorArchitecture = from.wProcessorArchitecture;
    to->numberOfProcessors = from.dwNumberOfProcessors;
}
}  // namespace

bool Win32SystemInfoApi::GetVersionEx(OsVersionInfo* info, bool extended) {
    OSVERSIONINFOEXA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) return false;
    info->majorVersion = version.dwMajorVersion;
    info->minorVersion = version.dwMinorVersion;
    info->buildNumber = version.dwBuildNumber;
    info->platformId = version.dwPlatformId;
    info->csdVersion.assign(version.szCSDVersion,
                            strnlen(version.szCSDVersion, sizeof version.szCSDVersion));
    if (extended) {
        info->servicePackMajor = version.wServicePackMajor;
        info->servicePackMinor = version.wServicePackMinor;
        info->suiteMask = version.wSuiteMask;
        info->productType = version.wProductType;
    } else {
        info->servicePackMajor = info->servicePackMinor = info->suiteMask = 0;
        info->productType = 0;
    }
    return true;
}

void Win32SystemInfoApi::GetSystemInfo(SystemInfo* info) {
    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    ::GetSystemInfo(&system);
    CopySystemInfo(system, info);
}

void Win32SystemInfoApi::CallGetNativeSystemInfo(ProcAddress fn, SystemInfo* info) {
    SYSTEM_INFO system;
    ZeroMemory(&system, sizeof system);
    As<GetNativeSystemInfoFn>(fn)(&system);
    CopySystemInfo(system, info);
}

bool Win32SystemInfoApi::CallIsWow64Process(ProcAddress fn, bool* isWow64) {
    BOOL wow64 = FALSE;
    BOOL ok = As<IsWow64ProcessFn>(fn)(::GetCurrentProcess(), &wow64);
    if (ok && isWow64) *isWow64 = wow64 != FALSE;
    return ok != FALSE;
}

bool Win32SystemInfoApi::CallWow64DisableWow64FsRedirection(ProcAddress fn, void** oldValue) {
    return As<Wow64DisableWow64FsRedirectionFn>(fn)(oldValue) != FALSE;
}

bool Win32SystemInfoApi::CallWow64RevertWow64FsRedirection(ProcAddress fn, void* oldValue) {
    return As<Wow64RevertWow64FsRedirectionFn>(fn)(oldValue) != FALSE;
}

}  // namespace plat
