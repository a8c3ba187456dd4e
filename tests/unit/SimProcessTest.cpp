// The simulated process: path calls with their two different short-buffer contracts,
// named mutexes, and run-time linking, which decides what the programs may call on
// each Windows version.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace {

struct SimProcess : testing::Test {
    sim::SimMachine m;
    plat::ProcessApi& proc = m.platform().process;
};

TEST_F(SimProcess, ModuleFileNameIsCutToTheBufferWithError122) {
    m.process.imagePath = "C:\\PKG\\setup.exe";  // 16 characters
    std::string out;
    proc.SetLastError(0);
    EXPECT_EQ(proc.GetModuleFileName(17, &out), 16u);
    EXPECT_EQ(out, "C:\\PKG\\setup.exe");
    EXPECT_EQ(proc.GetLastError(), 0u);
    // No room for the terminator: the path loses its last character, the answer is the
    // buffer size, and the error says so.
    EXPECT_EQ(proc.GetModuleFileName(16, &out), 16u);
    EXPECT_EQ(out, "C:\\PKG\\setup.ex");
    EXPECT_EQ(proc.GetLastError(), plat::kErrorInsufficientBuffer);
    proc.SetLastError(0);
    EXPECT_EQ(proc.GetModuleFileName(4, &out), 4u);
    EXPECT_EQ(out, "C:\\");
    EXPECT_EQ(proc.GetLastError(), plat::kErrorInsufficientBuffer);
    EXPECT_EQ(proc.GetModuleFileName(1, &out), 1u);
    EXPECT_EQ(out, "");
}

TEST_F(SimProcess, DirectoryCallsAnswerTheSizeNeededAndCopyNothingWhenShort) {
    m.process.currentDir = "C:\\PKG";
    std::string out = "stale";
    EXPECT_EQ(proc.GetCurrentDirectory(7, &out), 6u);
    EXPECT_EQ(out, "C:\\PKG");
    // One short: the size needed counts the terminator.
    out = "stale";
    EXPECT_EQ(proc.GetCurrentDirectory(6, &out), 7u);
    EXPECT_EQ(out, "");
    EXPECT_EQ(proc.GetCurrentDirectory(0, &out), 7u);
    EXPECT_EQ(proc.GetSystemDirectory(260, &out), 19u);
    EXPECT_EQ(out, "C:\\WINDOWS\\system32");
    EXPECT_EQ(proc.GetSystemDirectory(19, &out), 20u);
    EXPECT_EQ(out, "");
    EXPECT_EQ(proc.GetWindowsDirectory(11, &out), 10u);
    EXPECT_EQ(out, "C:\\WINDOWS");
    EXPECT_EQ(proc.GetWindowsDirectory(10, &out), 11u);
    // A long current directory is reported, not cut.
    m.process.currentDir = "C:\\" + std::string(300, 'd');
    EXPECT_EQ(proc.GetCurrentDirectory(260, &out), 304u);
    EXPECT_EQ(out, "");
}

TEST_F(SimProcess, SecondMutexOfOneNameReports183WithAUsableHandle) {
    proc.SetLastError(plat::kErrorAlreadyExists);  // left over from an earlier call
    plat::MutexHandle first = proc.CreateMutex(true, "setup");
    ASSERT_NE(first, 0u);
    EXPECT_EQ(proc.GetLastError(), 0u);
    plat::MutexHandle second = proc.CreateMutex(true, "setup");
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorAlreadyExists);
    // Object names are case-sensitive.
    EXPECT_NE(proc.CreateMutex(true, "Setup"), 0u);
    EXPECT_EQ(proc.GetLastError(), 0u);
    // Unnamed mutexes never meet.
    proc.CreateMutex(false, "");
    proc.CreateMutex(false, "");
    EXPECT_EQ(proc.GetLastError(), 0u);
    // A mutex another process holds.
    m.process.addForeignMutex("uninstall");
    EXPECT_NE(proc.CreateMutex(true, "uninstall"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorAlreadyExists);
    EXPECT_TRUE(proc.CloseHandle(first));
    EXPECT_TRUE(proc.CloseHandle(second));
}

TEST_F(SimProcess, LoadLibraryByPathOnlyFromTheSystemFolderOrAnExistingFile) {
    EXPECT_NE(proc.LoadLibrary("kernel32.dll"), 0u);
    EXPECT_NE(proc.LoadLibrary("KERNEL32"), 0u);  // ".dll" is implied
    EXPECT_NE(proc.LoadLibrary("C:\\WINDOWS\\system32\\kernel32.dll"), 0u);
    EXPECT_NE(proc.LoadLibrary("c:\\windows\\SYSTEM32\\Kernel32.DLL"), 0u);
    m.process.currentDir = "C:\\PKG";
    EXPECT_NE(proc.LoadLibrary("..\\WINDOWS\\system32\\kernel32.dll"), 0u);

    proc.SetLastError(0);
    EXPECT_EQ(proc.LoadLibrary("C:\\PKG\\kernel32.dll"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorModNotFound);
    EXPECT_EQ(proc.LoadLibrary("C:\\WINDOWS\\kernel32.dll"), 0u);
    EXPECT_EQ(proc.LoadLibrary("missing.dll"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorModNotFound);
    // A library the machine knows, found where its file really is.
    m.process.defineLibrary("usbhelper.dll", {"Probe"});
    EXPECT_EQ(proc.LoadLibrary("C:\\PKG\\usbhelper.dll"), 0u);
    m.files.writeFile("C:\\PKG\\usbhelper.dll", "MZ");
    EXPECT_NE(proc.LoadLibrary("C:\\PKG\\usbhelper.dll"), 0u);
    // An existing file the machine knows no library for still fails.
    m.files.writeFile("C:\\PKG\\other.dll", "MZ");
    EXPECT_EQ(proc.LoadLibrary("C:\\PKG\\other.dll"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorModNotFound);
}

TEST_F(SimProcess, GetProcAddressFindsOnlyExportsOfThatVersionByExactName) {
    plat::ModuleHandle k32 = proc.LoadLibrary("kernel32.dll");
    ASSERT_NE(k32, 0u);
    plat::ProcAddress fn = proc.GetProcAddress(k32, "IsWow64Process");
    ASSERT_NE(fn, 0u);
    EXPECT_EQ(m.process.procName(fn), "IsWow64Process");
    proc.SetLastError(0);
    EXPECT_EQ(proc.GetProcAddress(k32, "NoSuchFunction"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorProcNotFound);
    EXPECT_EQ(proc.GetProcAddress(k32, "iswow64process"), 0u);  // export names are case-sensitive
    EXPECT_EQ(proc.GetLastError(), plat::kErrorProcNotFound);
    EXPECT_EQ(proc.GetProcAddress(k32 + 1, "IsWow64Process"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_EQ(proc.GetProcAddress(0, "IsWow64Process"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_EQ(m.process.procName(0), "");

    // Windows 2000 has neither of the XP additions; XP without 64 bits has no redirection calls.
    m.setWindows(sim::WindowsVersion::Win2000, false);
    k32 = proc.LoadLibrary("kernel32.dll");
    EXPECT_EQ(proc.GetProcAddress(k32, "GetNativeSystemInfo"), 0u);
    EXPECT_EQ(proc.GetProcAddress(k32, "IsWow64Process"), 0u);
    EXPECT_NE(proc.GetProcAddress(k32, "GetVersionExA"), 0u);
    m.setWindows(sim::WindowsVersion::WinXP, false);
    EXPECT_NE(proc.GetProcAddress(k32, "GetNativeSystemInfo"), 0u);
    EXPECT_EQ(proc.GetProcAddress(k32, "Wow64DisableWow64FsRedirection"), 0u);
    m.setWindows(sim::WindowsVersion::WinXP64, true);
    EXPECT_NE(proc.GetProcAddress(k32, "Wow64DisableWow64FsRedirection"), 0u);
    EXPECT_NE(proc.GetProcAddress(k32, "Wow64RevertWow64FsRedirection"), 0u);
}

TEST_F(SimProcess, ModuleHandlesFollowLoadAndFreeCounts) {
    m.process.defineLibrary("helper.dll", {"A", "B"});
    EXPECT_NE(proc.GetModuleHandle("kernel32.dll"), 0u);  // in every process
    EXPECT_EQ(proc.GetModuleHandle("helper.dll"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorModNotFound);
    plat::ModuleHandle h1 = proc.LoadLibrary("helper");
    plat::ModuleHandle h2 = proc.LoadLibrary("HELPER.DLL");
    ASSERT_NE(h1, 0u);
    EXPECT_EQ(h1, h2);
    EXPECT_EQ(proc.GetModuleHandle("Helper.dll"), h1);
    EXPECT_EQ(m.process.loadedLibraryCount(), 2);
    EXPECT_TRUE(proc.FreeLibrary(h1));
    EXPECT_EQ(proc.GetModuleHandle("helper.dll"), h1);  // still loaded once
    EXPECT_TRUE(proc.FreeLibrary(h1));
    EXPECT_EQ(proc.GetModuleHandle("helper.dll"), 0u);
    EXPECT_FALSE(proc.FreeLibrary(h1));
    EXPECT_EQ(proc.GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_EQ(m.process.loadedLibraryCount(), 0);
    // Distinct functions get distinct addresses that name them.
    h1 = proc.LoadLibrary("helper.dll");
    plat::ProcAddress a = proc.GetProcAddress(h1, "A"), b = proc.GetProcAddress(h1, "B");
    EXPECT_NE(a, b);
    EXPECT_EQ(m.process.procName(a), "A");
    EXPECT_EQ(m.process.procName(b), "B");
    m.process.removeExport("helper.dll", "A");
    EXPECT_EQ(proc.GetProcAddress(h1, "A"), 0u);
    EXPECT_EQ(proc.GetLastError(), plat::kErrorProcNotFound);
}

}  // namespace
