// What the Wine tests share: the real platform, what the harness told us about the prefix,
// and names that do not collide between runs in one prefix.
#pragma once
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace winetest {

// The Win32Platform every test talks through.
plat::Platform& Real();

// KLM_EXPECT_OS: the Wine version name the prefix was set to (win2k, winxp, win7, ...);
// empty when the tests run outside the harness.
std::string ExpectedOs();
// KLM_EXPECT_WOW64: 1 in a 64-bit prefix, 0 in a 32-bit one; nothing when not set.
std::optional<bool> ExpectedWow64();

// stem + something unique to this process, for keys, mutexes, files and window titles.
std::string UniqueName(const std::string& stem);

// A fresh folder under the Windows temp folder, removed with its files when destroyed.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // no trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Writes bytes exactly as given (no newline translation).
    void Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

bool EqualsNoCase(const std::string& a, const std::string& b);
bool EndsWithNoCase(const std::string& text, const std::string& tail);

}  // namespace winetest
