// INI ("profile") files, read the way GetPrivateProfileStringA reads them.
#pragma once
#include <cstdint>
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
};

}  // namespace plat
