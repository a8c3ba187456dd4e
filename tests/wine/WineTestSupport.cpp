#include "WineTestSupport.h"

#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace winetest {

plat::Platform& Real() {
    static plat::Win32Platform platform;
    return platform.platform();
}

std::string ExpectedOs() {
    const char* value = std::getenv("KLM_EXPECT_OS");
    return value ? value : "";
}

std::optional<bool> ExpectedWow64() {
    const char* value = std::getenv("KLM_EXPECT_WOW64");
    if (!value || !*value) return std::nullopt;
    return std::string(value) == "1";
}

std::string UniqueName(const std::string& stem) {
    static unsigned counter = 0;
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "-%lu-%lu-%u", ::GetCurrentProcessId(), ::GetTickCount(),
                  ++counter);
    return stem + suffix;
}

TempFolder::TempFolder() {
    char temp[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) throw std::runtime_error("GetTempPathA failed");
    path_ = temp + UniqueName("klm-wine");
    if (!::CreateDirectoryA(path_.c_str(), nullptr))
        throw std::runtime_error("CreateDirectoryA failed for " + path_);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileA(File(name).c_str());
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(path_.c_str());
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const {
    HANDLE file = ::CreateFileA(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + File(name));
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("cannot write " + File(name));
}

namespace {
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

}  // namespace winetest
