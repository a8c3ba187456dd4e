#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <cstring>
#include <vector>

namespace plat {

std::string Win32ProfileApi::GetPrivateProfileString(const std::string& section,
                                                     const std::string& key,
                                                     const std::string& defaultValue,
                                                     std::uint32_t size, const std::string& file) {
    // One spare byte so a zero-sized request still has somewhere to point. The answer is
    // the text left in the buffer, not the count returned: callers only ever see the former.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                               size, file.c_str());
    return std::string(buffer.data(), strnlen(buffer.data(), size));
}

bool Win32ProfileApi::PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) {
    // Only whether any name comes back matters; a short buffer still holds the first one.
    char names[64] = {0};
    return ::GetPrivateProfileStringA(section.c_str(), nullptr, "", names, sizeof names, file.c_str()) > 0;
}

}  // namespace plat

namespace plat {

namespace {
const char* orNull(const std::optional<std::string>& text) { return text ? text->c_str() : nullptr; }
}  // namespace

unsigned Win32ProfileApi::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                               const std::string& file) {
    return ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str());
}

bool Win32ProfileApi::WriteProfileString(const std::optional<std::string>& section,
                                         const std::optional<std::string>& key,
                                         const std::optional<std::string>& value) {
    return ::WriteProfileStringA(orNull(section), orNull(key), orNull(value)) != FALSE;
}

std::string Win32ProfileApi::GetProfileString(const std::string& section, const std::string& key,
                                              const std::string& defaultValue, std::uint32_t size) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    ::GetProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), size);
    return std::string(buffer.data(), strnlen(buffer.data(), size));
}

}  // namespace plat
