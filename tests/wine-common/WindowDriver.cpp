#include "WindowDriver.h"

namespace window_driver {

bool isWow64() {
    typedef BOOL(WINAPI * Fn)(HANDLE, PBOOL);
    Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow = FALSE;
    return fn && fn(::GetCurrentProcess(), &wow) && wow;
}

const char* nativeEnvironment() { return isWow64() ? "Windows x64" : "Windows NT x86"; }

bool keyExists(const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

bool fileExistsNative(const std::string& path) {
    typedef BOOL(WINAPI * Disable)(PVOID*);
    typedef BOOL(WINAPI * Revert)(PVOID);
    HMODULE k = ::GetModuleHandleA("kernel32.dll");
    auto disable = reinterpret_cast<Disable>(reinterpret_cast<void*>(::GetProcAddress(k, "Wow64DisableWow64FsRedirection")));
    auto revert = reinterpret_cast<Revert>(reinterpret_cast<void*>(::GetProcAddress(k, "Wow64RevertWow64FsRedirection")));
    PVOID old = nullptr;
    const bool off = isWow64() && disable && revert && disable(&old);
    const bool exists = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (off) revert(old);
    return exists;
}

}  // namespace window_driver
