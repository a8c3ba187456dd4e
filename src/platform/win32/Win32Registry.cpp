#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

namespace {
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

long Win32RegistryApi::RegOpenKeyEx(RegKey root, const std::string& subKey,
                                    std::uint32_t options, std::uint32_t access, RegKey* result) {
    HKEY opened = nullptr;
    LONG status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), options, access, &opened);
    if (result) *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
    return status;
}

long Win32RegistryApi::RegCreateKeyEx(RegKey root, const std::string& subKey,
                                      const char* className, std::uint32_t options,
                                      std::uint32_t access, RegKey* result,
                                      std::uint32_t* disposition) {
    HKEY created = nullptr;
    DWORD how = 0;
    LONG status = ::RegCreateKeyExA(ToHkey(root), subKey.c_str(), 0, const_cast<char*>(className),
                                    options, access, nullptr, &created, &how);
    if (result) *result = status == ERROR_SUCCESS ? reinterpret_cast<RegKey>(created) : 0;
    if (disposition) *disposition = how;
    return status;
}

long Win32RegistryApi::RegCloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

long Win32RegistryApi::RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD byteCount = size ? *size : 0;
    LONG status = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data,
                                     size ? &byteCount : nullptr);
    if (type) *type = valueType;
    if (size) *size = byteCount;
    return status;
}

long Win32RegistryApi::RegSetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
    return ::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32RegistryApi::RegDeleteValue(RegKey key, const std::string& name) {
    return ::RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32RegistryApi::RegDeleteKey(RegKey root, const std::string& subKey) {
    return ::RegDeleteKeyA(ToHkey(root), subKey.c_str());
}

long Win32RegistryApi::CallRegDeleteKeyEx(ProcAddress fn, RegKey root, const std::string& subKey,
                                          std::uint32_t access) {
    using RegDeleteKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    return reinterpret_cast<RegDeleteKeyExAFn>(fn)(ToHkey(root), subKey.c_str(), access, 0);
}

long Win32RegistryApi::RegEnumKeyEx(RegKey key, std::uint32_t index, std::string* name) {
    char buffer[256] = {};  // key names are at most 255 characters
    DWORD length = sizeof buffer;
    FILETIME written;
    LONG status = ::RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr,
                                  &written);
    if (name) name->assign(status == ERROR_SUCCESS ? buffer : "");
    return status;
}

}  // namespace plat
