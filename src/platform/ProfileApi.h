// INI ("profile") files, read the way GetPrivateProfileStringA reads them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace plat {

class ProfileApi {
public:
    virtual ~ProfileApi() = default;
    // Reads one value into a buffer of `size` bytes: the answer is at most size-1 bytes,
    // exactly what the call would leave in the buffer. `file` is a Windows path; a
    // relative one is taken from the current directory.
    virtual std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& defaultValue, std::uint32_t size,
                                                const std::string& file) = 0;
    // Whether the first section of that name holds any key (GetPrivateProfileStringA with
    // no key name answers the key names).
    virtual bool PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) = 0;
    virtual unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                          const std::string& file) = 0;
    // WIN.INI (the "Ports" and "windows" sections). All three absent flushes the cache.
    virtual bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                    const std::optional<std::string>& value) = 0;
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::uint32_t size) = 0;
};

}  // namespace plat
