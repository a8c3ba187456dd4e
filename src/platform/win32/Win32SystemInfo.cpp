#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

namespace {
// Signatures of the calls Windows 2000 lacks; we only ever hold them as looked-up addresses.
using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using Wow64DisableWow64FsRedirectionFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertWow64FsRedirectionFn = BOOL(WINAPI*)(PVOID);
using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
// RTL_OSVERSIONINFOEXW, spelled out: the Windows 2000 headers we build against lack it.
struct RtlVersionRecord {
    ULONG size;
    ULONG major, minor, build, platformId;
    WCHAR csdVersion[128];
    USHORT servicePackMajor, servicePackMinor, suiteMask;
    UCHAR productType, reserved;
};
using RtlGetVersionFn = LONG(WINAPI*)(RtlVersionRecord*);

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

bool Win32SystemInfoApi::CallIsWow64Process2(ProcAddress fn, std::uint16_t* processMachine,
                                             std::uint16_t* nativeMachine) {
    USHORT process = 0, native = 0;
    if (!As<IsWow64Process2Fn>(fn)(::GetCurrentProcess(), &process, &native)) return false;
    *processMachine = process;
    *nativeMachine = native;
    return true;
}

std::uint32_t Win32SystemInfoApi::CallRtlGetVersion(ProcAddress fn, OsVersionInfo* info) {
    RtlVersionRecord version;
    ZeroMemory(&version, sizeof version);
    version.size = sizeof version;
    const LONG status = As<RtlGetVersionFn>(fn)(&version);
    if (status != 0) return static_cast<std::uint32_t>(status);
    info->majorVersion = version.major;
    info->minorVersion = version.minor;
    info->buildNumber = version.build;
    info->platformId = version.platformId;
    // The service-pack text is only ever shown in the log; plain ASCII is enough.
    info->csdVersion.clear();
    for (int i = 0; i < 128 && version.csdVersion[i]; ++i)
        info->csdVersion += version.csdVersion[i] < 0x80 ? static_cast<char>(version.csdVersion[i]) : '?';
    info->servicePackMajor = version.servicePackMajor;
    info->servicePackMinor = version.servicePackMinor;
    info->suiteMask = version.suiteMask;
    info->productType = version.productType;
    return 0;
}

bool Win32SystemInfoApi::CallWow64DisableWow64FsRedirection(ProcAddress fn, void** oldValue) {
    return As<Wow64DisableWow64FsRedirectionFn>(fn)(oldValue) != FALSE;
}

bool Win32SystemInfoApi::CallWow64RevertWow64FsRedirection(ProcAddress fn, void* oldValue) {
    return As<Wow64RevertWow64FsRedirectionFn>(fn)(oldValue) != FALSE;
}

}  // namespace plat
