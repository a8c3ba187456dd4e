// The simulated disk: the package folder is a host folder whose names differ in case
// from what the programs ask for, and a 32-bit program on 64-bit Windows sees system32
// through the WOW64 redirector.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sim/SimMachine.h"

namespace {

std::string hostFile(const std::string& relative) {
    std::ifstream in(std::string(SAMPLE_PACKAGE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct SimFileSystem : testing::Test {
    sim::SimMachine m;
    sim::SimFileSystem& fs = m.files;
};

TEST_F(SimFileSystem, HostFolderIsFoundWithoutRegardToCase) {
    fs.mapHostFolder("C:\\PKG", SAMPLE_PACKAGE_DIR);
    const std::string lable64 = hostFile("DRVCONFIG/setup_lable_64.ini");
    ASSERT_FALSE(lable64.empty());
    // The capitalised spelling some readers use names the lower-case host file.
    auto read = fs.readFile("C:\\PKG\\DRVCONFIG\\setup_Lable_64.ini");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, lable64);
    EXPECT_EQ(fs.readFile("c:\\pkg\\drvconfig\\SETUP_LABLE_64.INI"), lable64);
    EXPECT_EQ(fs.readFile("C:/PKG/DrvConfig/setup_lable_64.ini"), lable64);
    EXPECT_EQ(fs.readFile("C:\\PKG\\\\DRVCONFIG\\.\\setup_lable_64.ini"), lable64);
    EXPECT_EQ(fs.readFile("C:\\PKG\\language\\..\\DRVCONFIG\\setup_lable_64.ini"), lable64);
    EXPECT_TRUE(fs.fileExists("C:\\PKG\\LANGUAGE\\Setup.ini"));

    EXPECT_FALSE(fs.readFile("C:\\PKG\\DRVCONFIG\\setup_label_64.ini"));  // the real spelling is "lable"
    EXPECT_FALSE(fs.readFile("C:\\PKG\\DRVCONFIG"));  // a folder is no file
    EXPECT_FALSE(fs.readFile("C:\\PKG\\DRVCONFIG\\setup.ini\\x"));
    EXPECT_FALSE(fs.readFile("D:\\PKG\\DRVCONFIG\\setup.ini"));
    EXPECT_FALSE(fs.readFile("C:\\PKGX\\DRVCONFIG\\setup.ini"));
}

TEST_F(SimFileSystem, DotDotNeverLeavesTheMappedFolderOnTheHost) {
    // Map only DRVCONFIG: the language folder beside it on the host must stay out of reach.
    fs.mapHostFolder("C:\\PKG\\DRVCONFIG", std::string(SAMPLE_PACKAGE_DIR) + "/DRVCONFIG");
    EXPECT_TRUE(fs.fileExists("C:\\PKG\\DRVCONFIG\\setup.ini"));
    EXPECT_FALSE(fs.fileExists("C:\\PKG\\DRVCONFIG\\..\\language\\setup.ini"));
    EXPECT_FALSE(fs.fileExists("C:\\PKG\\language\\setup.ini"));
    // ".." above the root stays at the root.
    EXPECT_TRUE(fs.fileExists("C:\\..\\..\\PKG\\DRVCONFIG\\setup.ini"));
}

TEST_F(SimFileSystem, WritesStayInMemoryAndShadowTheHostFolder) {
    fs.mapHostFolder("C:\\PKG", SAMPLE_PACKAGE_DIR);
    const std::string original = hostFile("DRVCONFIG/setup.ini");
    fs.writeFile("C:\\PKG\\drvconfig\\SETUP.INI", "[DEVICENAME]\r\nDEVICENUMBER=1\r\n");
    EXPECT_EQ(fs.readFile("C:\\PKG\\DRVCONFIG\\setup.ini"), "[DEVICENAME]\r\nDEVICENUMBER=1\r\n");
    EXPECT_EQ(hostFile("DRVCONFIG/setup.ini"), original);  // mapped read-only
    EXPECT_TRUE(fs.removeFile("C:\\PKG\\DRVCONFIG\\setup.ini"));
    EXPECT_EQ(fs.readFile("C:\\PKG\\DRVCONFIG\\setup.ini"), original);  // the host file shows again
    EXPECT_FALSE(fs.removeFile("C:\\PKG\\DRVCONFIG\\setup.ini"));  // host files cannot be removed

    fs.writeFile("C:\\Temp\\Mixed.Case", "x");
    EXPECT_EQ(fs.readFile("c:\\temp\\MIXED.case"), "x");
    fs.writeFile("c:\\TEMP\\mixed.case", "y");  // same file
    EXPECT_EQ(fs.readFile("C:\\Temp\\Mixed.Case"), "y");
    EXPECT_FALSE(fs.readFile("C:\\Temp\\Mixed.Cas"));
}

TEST_F(SimFileSystem, FullPathNormalisesRelativeRootedAndDottedPaths) {
    using sim::SimFileSystem;
    EXPECT_EQ(SimFileSystem::fullPath("a\\b.ini", "C:\\PKG"), "C:\\PKG\\a\\b.ini");
    EXPECT_EQ(SimFileSystem::fullPath("\\x\\y", "D:\\PKG\\sub"), "D:\\x\\y");
    EXPECT_EQ(SimFileSystem::fullPath("/x/./y/../z", "C:\\PKG"), "C:\\x\\z");
    EXPECT_EQ(SimFileSystem::fullPath("..\\..\\..", "C:\\PKG\\a"), "C:\\");
    EXPECT_EQ(SimFileSystem::fullPath("C:", "D:\\"), "C:\\");
    EXPECT_EQ(SimFileSystem::fullPath("E:\\a\\\\b\\", "C:\\"), "E:\\a\\b");
    EXPECT_EQ(SimFileSystem::fullPath(".", "C:\\PKG\\"), "C:\\PKG");
}

TEST_F(SimFileSystem, SystemFolderOfAThirtyTwoBitProgramOnSixtyFourBitWindowsIsSysWow64) {
    m.setWindows(sim::WindowsVersion::Win7, true);
    fs.writeFile("C:\\WINDOWS\\system32\\klmproc.dll", "32-bit");
    // The spooler's folders are the same for both widths.
    fs.writeFile("C:\\WINDOWS\\System32\\spool\\drivers\\x64\\3\\klmdrv.dll", "driver");
    fs.writeFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts", "hosts");
    fs.writeFile("C:\\WINDOWS\\system32\\spoolsv.cfg", "not the spool folder");
    fs.writeFile("C:\\WINDOWS\\system32\\drivers\\klm.sys", "sys");

    // What the 32-bit program wrote is where the 64-bit world sees it.
    fs.setRedirection(true, false, m.process.windowsDir);
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\SysWOW64\\klmproc.dll"), "32-bit");
    EXPECT_FALSE(fs.readFile("C:\\WINDOWS\\system32\\klmproc.dll"));
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\system32\\spool\\drivers\\x64\\3\\klmdrv.dll"), "driver");
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\system32\\drivers\\etc\\hosts"), "hosts");
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\SysWOW64\\spoolsv.cfg"), "not the spool folder");
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\SysWOW64\\drivers\\klm.sys"), "sys");
    EXPECT_EQ(fs.resolve("C:\\WINDOWS\\system32"), "C:\\WINDOWS\\system32");

    fs.setRedirection(true, true, m.process.windowsDir);
    EXPECT_EQ(fs.resolve("c:\\windows\\SYSTEM32\\x.dll"), "C:\\WINDOWS\\SysWOW64\\x.dll");
    EXPECT_EQ(fs.resolve("C:\\WINDOWS\\system32"), "C:\\WINDOWS\\SysWOW64");
    EXPECT_EQ(fs.resolve("C:\\WINDOWS\\system32x\\a"), "C:\\WINDOWS\\system32x\\a");
    EXPECT_EQ(fs.resolve("C:\\WINDOWS\\SYSTEM32\\SPOOL\\PRTPROCS\\x64\\p.dll"),
              "C:\\WINDOWS\\SYSTEM32\\SPOOL\\PRTPROCS\\x64\\p.dll");
    EXPECT_EQ(fs.resolve("C:\\WINDOWS\\system32\\catroot2\\a"), "C:\\WINDOWS\\system32\\catroot2\\a");
    EXPECT_EQ(fs.resolve("C:\\PKG\\system32\\a"), "C:\\PKG\\system32\\a");
}

TEST_F(SimFileSystem, TheWow64CallsSwitchRedirectionOffAndBack) {
    m.setWindows(sim::WindowsVersion::Vista, true);
    plat::Platform& p = m.platform();
    fs.writeFile("C:\\WINDOWS\\system32\\a.dll", "32");
    plat::ModuleHandle k32 = p.process.LoadLibrary("kernel32.dll");
    plat::ProcAddress off = p.process.GetProcAddress(k32, "Wow64DisableWow64FsRedirection");
    plat::ProcAddress back = p.process.GetProcAddress(k32, "Wow64RevertWow64FsRedirection");
    void* old = nullptr;
    ASSERT_TRUE(p.system.CallWow64DisableWow64FsRedirection(off, &old));
    EXPECT_FALSE(fs.readFile("C:\\WINDOWS\\system32\\a.dll"));
    fs.writeFile("C:\\WINDOWS\\system32\\a.dll", "64");
    // Switching off twice hands out a cookie that restores "off".
    void* old2 = nullptr;
    ASSERT_TRUE(p.system.CallWow64DisableWow64FsRedirection(off, &old2));
    ASSERT_TRUE(p.system.CallWow64RevertWow64FsRedirection(back, old2));
    EXPECT_FALSE(fs.redirectionEnabled());
    ASSERT_TRUE(p.system.CallWow64RevertWow64FsRedirection(back, old));
    EXPECT_TRUE(fs.redirectionEnabled());
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\system32\\a.dll"), "32");
    EXPECT_EQ(fs.readFile("C:\\WINDOWS\\SysWOW64\\a.dll"), "32");
    // A made-up cookie is refused.
    p.process.SetLastError(0);
    EXPECT_FALSE(p.system.CallWow64RevertWow64FsRedirection(back, reinterpret_cast<void*>(0x77)));
    EXPECT_EQ(p.process.GetLastError(), plat::kErrorInvalidParameter);
    EXPECT_TRUE(fs.redirectionEnabled());

    // 32-bit Vista has the functions but nothing to switch off.
    m.setWindows(sim::WindowsVersion::Vista, false);
    off = p.process.GetProcAddress(k32, "Wow64DisableWow64FsRedirection");
    ASSERT_NE(off, 0u);
    EXPECT_FALSE(p.system.CallWow64DisableWow64FsRedirection(off, &old));
    fs.writeFile("C:\\WINDOWS\\system32\\b.dll", "b");
    EXPECT_FALSE(fs.readFile("C:\\WINDOWS\\SysWOW64\\b.dll"));
}

}  // namespace
