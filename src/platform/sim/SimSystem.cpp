#include "platform/sim/SimSystem.h"

#include <cstdlib>

namespace sim {

namespace {
// The old-value cookies handed out by the disable call.
void* const kRedirectionWasOn = reinterpret_cast<void*>(1);
void* const kRedirectionWasOff = reinterpret_cast<void*>(2);
}  // namespace

bool SimSystem::GetVersionEx(plat::OsVersionInfo* info, bool extended) {
    if (state_.enter("GetVersionExA")) return false;
    if (extended && !extendedVersionSupported) return state_.fail(plat::kErrorInvalidParameter);
    *info = version;
    const bool newerThan8 = version.platformId == plat::kPlatformNt &&
                            (version.majorVersion > 6 || (version.majorVersion == 6 && version.minorVersion >= 3));
    if (newerThan8 && !(version.majorVersion >= 10 && manifestNamesWin10)) {
        const bool as81 = manifestNamesWin81;
        info->majorVersion = 6;
        info->minorVersion = as81 ? 3 : 2;
        info->buildNumber = as81 ? 9600 : 9200;
    }
    if (!extended) {
        info->servicePackMajor = info->servicePackMinor = info->suiteMask = 0;
        info->productType = 0;
    }
    return true;
}

void SimSystem::GetSystemInfo(plat::SystemInfo* info) {
    state_.enter("GetSystemInfo");
    *info = plat::SystemInfo{};
    // A 32-bit program under WOW64 is told it runs on an x86 processor.
    info->processorArchitecture = wow64 ? static_cast<std::uint16_t>(plat::kArchIntel) : nativeArchitecture;
    info->numberOfProcessors = 2;
}

void SimSystem::CallGetNativeSystemInfo(plat::ProcAddress fn, plat::SystemInfo* info) {
    state_.enter("GetNativeSystemInfo");
    if (!isProc(fn, "GetNativeSystemInfo")) std::abort();  // a wrong pointer would crash on Windows too
    *info = plat::SystemInfo{};
    info->processorArchitecture = emulatedOnArm64 ? static_cast<std::uint16_t>(plat::kArchIntel) : nativeArchitecture;
    info->numberOfProcessors = 2;
}

bool SimSystem::CallIsWow64Process(plat::ProcAddress fn, bool* isWow64) {
    if (!isProc(fn, "IsWow64Process")) std::abort();
    if (state_.enter("IsWow64Process")) return false;
    *isWow64 = wow64;
    return true;
}

bool SimSystem::CallIsWow64Process2(plat::ProcAddress fn, std::uint16_t* processMachine,
                                    std::uint16_t* nativeMachine) {
    if (!isProc(fn, "IsWow64Process2")) std::abort();
    if (state_.enter("IsWow64Process2")) return false;
    *processMachine = wow64 ? plat::kMachineI386 : plat::kMachineUnknown;
    switch (nativeArchitecture) {
        case plat::kArchAmd64: *nativeMachine = plat::kMachineAmd64; break;
        case plat::kArchArm64: *nativeMachine = plat::kMachineArm64; break;
        default: *nativeMachine = plat::kMachineI386; break;
    }
    return true;
}

std::uint32_t SimSystem::CallRtlGetVersion(plat::ProcAddress fn, plat::OsVersionInfo* info) {
    if (!isProc(fn, "RtlGetVersion")) std::abort();
    if (state_.enter("RtlGetVersion")) return 0xC0000001u;  // STATUS_UNSUCCESSFUL
    *info = version;
    return 0;
}

bool SimSystem::CallWow64DisableWow64FsRedirection(plat::ProcAddress fn, void** oldValue) {
    if (!isProc(fn, "Wow64DisableWow64FsRedirection")) std::abort();
    if (state_.enter("Wow64DisableWow64FsRedirection")) return false;
    if (!wow64) return state_.fail(plat::kErrorInvalidParameter);  // nothing to switch off
    *oldValue = files_.redirectionEnabled() ? kRedirectionWasOn : kRedirectionWasOff;
    files_.setRedirection(true, false, process_.windowsDir);
    ++redirectionDisableCount;
    return true;
}

bool SimSystem::CallWow64RevertWow64FsRedirection(plat::ProcAddress fn, void* oldValue) {
    if (!isProc(fn, "Wow64RevertWow64FsRedirection")) std::abort();
    if (state_.enter("Wow64RevertWow64FsRedirection")) return false;
    if (oldValue != kRedirectionWasOn && oldValue != kRedirectionWasOff)
        return state_.fail(plat::kErrorInvalidParameter);
    files_.setRedirection(wow64, oldValue == kRedirectionWasOn, process_.windowsDir);
    return true;
}

}  // namespace sim
