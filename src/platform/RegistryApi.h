// Registry calls; return values are Windows error numbers (0 is success), as the
// Reg* functions return them.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    virtual long RegOpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                              std::uint32_t access, RegKey* result) = 0;
    virtual long RegCreateKeyEx(RegKey root, const std::string& subKey, const char* className,
                                std::uint32_t options, std::uint32_t access, RegKey* result,
                                std::uint32_t* disposition) = 0;
    virtual long RegCloseKey(RegKey key) = 0;
    // `data` may be null to ask for the size; `size` is in and out, as in the call.
    virtual long RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) = 0;
    virtual long RegSetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) = 0;
    virtual long RegDeleteValue(RegKey key, const std::string& name) = 0;
    // RegDeleteKeyA always works in this program's own (32-bit) view, also relative to a
    // key opened in the 64-bit one.
    virtual long RegDeleteKey(RegKey root, const std::string& subKey) = 0;
    // RegDeleteKeyExA, found at run time in advapi32.dll (XP x64, Vista and later): the
    // view is chosen by `access` (KEY_WOW64_64KEY or KEY_WOW64_32KEY).
    virtual long CallRegDeleteKeyEx(ProcAddress fn, RegKey root, const std::string& subKey, std::uint32_t access) = 0;
    virtual long RegEnumKeyEx(RegKey key, std::uint32_t index, std::string* name) = 0;
};

}  // namespace plat
