// The process wrappers: where the program is, which folders Windows reports, the single
// instance mutex and run-time library look-ups.
#include <gtest/gtest.h>

#include "WineTestSupport.h"
#include "platform/win32/WindowsHeaders.h"

using namespace plat;
using winetest::EndsWithNoCase;
using winetest::EqualsNoCase;
using winetest::Real;

namespace {

ProcessApi& process() { return Real().process; }

bool LooksAbsolute(const std::string& path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && path[2] == '\\';
}

TEST(Win32Process, ModuleFileNameIsTheRunningExecutable) {
    std::string path;
    std::uint32_t length = process().GetModuleFileName(260, &path);
    EXPECT_EQ(path.size(), length);
    EXPECT_TRUE(LooksAbsolute(path)) << path;
    EXPECT_TRUE(EndsWithNoCase(path, "\\wine_tests.exe")) << path;
}

TEST(Win32Process, ShortBufferKeepsTheStartOfTheModuleFileName) {
    std::string full;
    ASSERT_GT(process().GetModuleFileName(260, &full), 8u);
    std::string cut;
    std::uint32_t length = process().GetModuleFileName(8, &cut);
    EXPECT_EQ(8u, length) << "a cut name reports the buffer size";
    // XP leaves all 8 characters unterminated, later versions 7 and a terminator.
    EXPECT_TRUE(cut == full.substr(0, 8) || cut == full.substr(0, 7)) << cut;
}

TEST(Win32Process, CurrentDirectoryFollowsSetCurrentDirectory) {
    winetest::TempFolder folder;
    char before[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof before, before);
    ASSERT_TRUE(::SetCurrentDirectoryA(folder.path().c_str()));

    std::string current;
    std::uint32_t length = process().GetCurrentDirectory(260, &current);
    EXPECT_EQ(current.size(), length);
    EXPECT_TRUE(EqualsNoCase(folder.path(), current)) << folder.path() << " vs " << current;

    std::string cut = "untouched";
    EXPECT_EQ(current.size() + 1, process().GetCurrentDirectory(3, &cut))
        << "too small: the size needed, terminator included";
    EXPECT_EQ("", cut);
    ::SetCurrentDirectoryA(before);
}

TEST(Win32Process, SystemFolderLiesInTheWindowsFolder) {
    std::string windows, system;
    std::uint32_t windowsLength = process().GetWindowsDirectory(260, &windows);
    std::uint32_t systemLength = process().GetSystemDirectory(260, &system);
    EXPECT_EQ(windows.size(), windowsLength);
    EXPECT_EQ(system.size(), systemLength);
    EXPECT_TRUE(LooksAbsolute(windows)) << windows;
    EXPECT_TRUE(EqualsNoCase(windows + "\\system32", system)) << windows << " / " << system;

    std::string cut;
    EXPECT_EQ(system.size() + 1, process().GetSystemDirectory(4, &cut));
    EXPECT_EQ(windows.size() + 1, process().GetWindowsDirectory(4, &cut));
}

TEST(Win32Process, SecondMutexOfTheSameNameReports183) {
    const std::string name = winetest::UniqueName("KlmWineTestMutex");
    process().SetLastError(12345);
    MutexHandle first = process().CreateMutex(false, name);
    ASSERT_NE(0u, first);
    EXPECT_EQ(0u, process().GetLastError());

    MutexHandle second = process().CreateMutex(false, name);
    ASSERT_NE(0u, second) << "the existing mutex is still handed out";
    EXPECT_EQ(kErrorAlreadyExists, process().GetLastError());
    EXPECT_NE(first, second);

    EXPECT_TRUE(process().CloseHandle(second));
    EXPECT_TRUE(process().CloseHandle(first));

    MutexHandle third = process().CreateMutex(true, name);
    ASSERT_NE(0u, third);
    EXPECT_EQ(0u, process().GetLastError()) << "closing the last handle removed the name";
    EXPECT_TRUE(process().CloseHandle(third));
}

TEST(Win32Process, LibrariesAndExportsAreLookedUpAtRunTime) {
    ModuleHandle kernel = process().GetModuleHandle("kernel32.dll");
    ASSERT_NE(0u, kernel);
    EXPECT_EQ(reinterpret_cast<ProcAddress>(&::GetTickCount),
              process().GetProcAddress(kernel, "GetTickCount"));

    process().SetLastError(0);
    EXPECT_EQ(0u, process().GetProcAddress(kernel, "KlmNoSuchExport"));
    EXPECT_EQ(kErrorProcNotFound, process().GetLastError());

    process().SetLastError(0);
    EXPECT_EQ(0u, process().LoadLibrary("klm_no_such_library.dll"));
    EXPECT_EQ(kErrorModNotFound, process().GetLastError());

    ModuleHandle version = process().LoadLibrary("version.dll");
    ASSERT_NE(0u, version);
    EXPECT_EQ(version, process().GetModuleHandle("VERSION.DLL"));
    EXPECT_NE(0u, process().GetProcAddress(version, "GetFileVersionInfoSizeA"));
    EXPECT_TRUE(process().FreeLibrary(version));
}

}  // namespace
