// One open registry key. On 64-bit Windows setup works in the 64-bit view although it is
// a 32-bit program; the uninstaller keeps the default view.
#pragma once
#include <cstdint>
#include <string>

#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

class RegistryKey {
public:
    RegistryKey(plat::Platform& p, Program program, bool is64BitWindows);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    static std::uint32_t AccessMask(Program program, bool is64BitWindows);

    bool Open(plat::RegKey root, const std::string& subKey);
    bool Close();
    bool QueryValue(const std::string& name, std::uint8_t* buffer, std::uint32_t bufferSize);
    bool QueryDword(const std::string& name, std::uint32_t* value, std::uint32_t* error = nullptr);
    bool SetValue(const std::string& name, const std::uint8_t* data, std::uint32_t type, std::uint32_t size);
    bool SetDword(const std::string& name, std::uint32_t value, std::uint32_t* error = nullptr);
    bool SetString(const std::string& name, const std::string& text, std::uint32_t* error = nullptr);

    // Creates the key (and its parents) and closes it again at once.
    static bool CreateKey(plat::Platform& p, Program program, bool is64BitWindows, plat::RegKey root,
                          const std::string& subKey, const char* className = nullptr);

    bool isOpen() const { return handle_ != 0; }
    std::uint32_t lastError() const { return lastError_; }
    std::int32_t valueSize() const { return valueSize_; }

private:
    plat::Platform& platform_;
    Program program_;
    bool is64_;
    plat::RegKey handle_ = 0;
    std::uint32_t lastError_ = 0;
    std::int32_t valueSize_ = 0;
};

// The way every record is written: open; when that fails create the key and open it again.
bool OpenOrCreate(RegistryKey& key, plat::Platform& p, Program program, bool is64BitWindows, plat::RegKey root,
                  const std::string& subKey);

}  // namespace cfg
