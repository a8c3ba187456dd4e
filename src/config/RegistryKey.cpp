#include "config/RegistryKey.h"

namespace cfg {

// The Reg* calls return their error instead of setting the thread's last error, so the
// returned code is what lastError keeps.

RegistryKey::RegistryKey(plat::Platform& p, Program program, bool is64BitWindows)
    : platform_(p), program_(program), is64_(is64BitWindows) {}

RegistryKey::~RegistryKey() {
    if (handle_) platform_.registry.RegCloseKey(handle_);
}

std::uint32_t RegistryKey::AccessMask(Program program, bool is64BitWindows) {
    if (program == Program::Setup && is64BitWindows)
        return plat::kKeyRead | plat::kKeyWrite | plat::kKeyWow64_64Key;
    return plat::kKeyAllAccess;
}

bool RegistryKey::Open(plat::RegKey root, const std::string& subKey) {
    if (handle_) Close();
    plat::RegKey h = 0;
    long rc = platform_.registry.RegOpenKeyEx(root, subKey, 0, AccessMask(program_, is64_), &h);
    if (rc != 0) {
        handle_ = 0;
        lastError_ = static_cast<std::uint32_t>(rc);
        return false;
    }
    handle_ = h;
    return true;
}

bool RegistryKey::Close() {
    if (!handle_) return false;
    long rc = platform_.registry.RegCloseKey(handle_);
    handle_ = 0;
    return rc == 0;
}

bool RegistryKey::QueryValue(const std::string& name, std::uint8_t* buffer, std::uint32_t bufferSize) {
    if (!handle_) return false;
    std::uint32_t size = bufferSize;
    long rc = platform_.registry.RegQueryValueEx(handle_, name, nullptr, buffer, &size);
    lastError_ = static_cast<std::uint32_t>(rc);
    return rc == 0;
}

bool RegistryKey::QueryDword(const std::string& name, std::uint32_t* value, std::uint32_t* error) {
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    bool ok = QueryValue(name, bytes, 4);
    if (ok)
        *value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                 (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    if (error) *error = lastError_;
    return ok;
}

bool RegistryKey::SetValue(const std::string& name, const std::uint8_t* data, std::uint32_t type,
                           std::uint32_t size) {
    if (!handle_) return false;
    long rc = platform_.registry.RegSetValueEx(handle_, name, type, data, size);
    lastError_ = static_cast<std::uint32_t>(rc);
    return rc == 0;
}

bool RegistryKey::SetDword(const std::string& name, std::uint32_t value, std::uint32_t* error) {
    valueSize_ = 4;
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    bool ok = SetValue(name, bytes, plat::kRegDword, 4);
    if (error) *error = lastError_;
    return ok;
}

bool RegistryKey::SetString(const std::string& name, const std::string& text, std::uint32_t* error) {
    valueSize_ = 2000;
    const std::string withNul(text.c_str(), text.size() + 1);
    bool ok = SetValue(name, reinterpret_cast<const std::uint8_t*>(withNul.data()), plat::kRegSz,
                       static_cast<std::uint32_t>(withNul.size()));
    if (error) *error = lastError_;
    return ok;
}

bool RegistryKey::CreateKey(plat::Platform& p, Program program, bool is64BitWindows, plat::RegKey root,
                            const std::string& subKey, const char* className) {
    plat::RegKey h = 0;
    std::uint32_t disposition = 0;
    long rc = p.registry.RegCreateKeyEx(root, subKey, className, plat::kRegOptionNonVolatile,
                                        AccessMask(program, is64BitWindows), &h, &disposition);
    if (rc != 0) return false;
    p.registry.RegCloseKey(h);
    return true;
}

bool OpenOrCreate(RegistryKey& key, plat::Platform& p, Program program, bool is64BitWindows, plat::RegKey root,
                  const std::string& subKey) {
    if (key.Open(root, subKey)) return true;
    RegistryKey::CreateKey(p, program, is64BitWindows, root, subKey);
    return key.Open(root, subKey);
}

}  // namespace cfg
