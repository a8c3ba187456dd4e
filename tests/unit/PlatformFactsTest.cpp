#include <gtest/gtest.h>

#include <tuple>

#include "config/CompatibilityAssistant.h"
#include "config/FsRedirection.h"
#include "config/OsClass.h"
#include "config/UserAdmin.h"
#include "TestMachine.h"

using namespace cfg;
using sim::WindowsVersion;
using testing_support::TestMachine;

struct OsCase {
    WindowsVersion version;
    bool sixtyFour;
    OsClass expected;
};

class DetectOsClassTable : public ::testing::TestWithParam<OsCase> {};

TEST_P(DetectOsClassTable, ClassifiesEveryRow) {
    TestMachine t;
    t.machine.setWindows(GetParam().version, GetParam().sixtyFour);
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), GetParam().expected)
        << sim::windowsVersionName(GetParam().version) << (GetParam().sixtyFour ? " 64-bit" : "");
    EXPECT_TRUE(t.boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DetectOsClassTable,
    ::testing::Values(OsCase{WindowsVersion::Win95, false, 0}, OsCase{WindowsVersion::Win98, false, 0},
                      OsCase{WindowsVersion::WinMe, false, 0}, OsCase{WindowsVersion::Nt4, false, 1},
                      OsCase{WindowsVersion::Win2000, false, 2}, OsCase{WindowsVersion::WinXP, false, 3},
                      OsCase{WindowsVersion::WinXP64, true, 3}, OsCase{WindowsVersion::Server2003, false, 4},
                      OsCase{WindowsVersion::Server2003, true, 4}, OsCase{WindowsVersion::Vista, false, 5},
                      OsCase{WindowsVersion::Vista, true, 5}, OsCase{WindowsVersion::Server2008, true, 6},
                      OsCase{WindowsVersion::Win7, false, 7}, OsCase{WindowsVersion::Win7, true, 7},
                      OsCase{WindowsVersion::Server2008R2, true, 6}, OsCase{WindowsVersion::Win8, false, 8},
                      OsCase{WindowsVersion::Win8, true, 8}, OsCase{WindowsVersion::Win81, false, 8},
                      OsCase{WindowsVersion::Win10, false, 8}, OsCase{WindowsVersion::Win10, true, 8},
                      OsCase{WindowsVersion::Win11, true, 8}, OsCase{WindowsVersion::Server2012, true, 9},
                      OsCase{WindowsVersion::Server2012R2, true, 9}, OsCase{WindowsVersion::Server2016, true, 9},
                      OsCase{WindowsVersion::Server2019, true, 9}, OsCase{WindowsVersion::Server2022, true, 9}));

// Without the manifest's entries GetVersionExA says 6.2 (or 6.3) on any newer Windows; the
// class must still be the true one, and what decides it is RtlGetVersion.
TEST(DetectOsClass, NewerWindowsIsReadTrulyWhateverTheManifestSays) {
    struct Row {
        WindowsVersion version;
        bool names81, names10;
        std::uint32_t reportedMinor;  // what GetVersionExA answers for major 6
        OsClass expected;
    };
    for (const Row& r : {Row{WindowsVersion::Win10, false, false, 2, kOsWin10},
                         Row{WindowsVersion::Win11, true, false, 3, kOsWin10},
                         Row{WindowsVersion::Win81, false, true, 2, kOsWin10},
                         Row{WindowsVersion::Server2019, false, false, 2, kOsServer2012}}) {
        TestMachine t;
        t.machine.setWindows(r.version, true);
        t.machine.system.manifestNamesWin81 = r.names81;
        t.machine.system.manifestNamesWin10 = r.names10;
        plat::OsVersionInfo told;
        ASSERT_TRUE(t.p.system.GetVersionEx(&told, true));
        EXPECT_EQ(told.majorVersion * 10 + told.minorVersion, 60 + r.reportedMinor) << windowsVersionName(r.version);
        const OsFacts facts = ReadOsFacts(t.p);
        EXPECT_EQ(facts.version.buildNumber, t.machine.system.version.buildNumber) << windowsVersionName(r.version);
        EXPECT_EQ(DetectOsClass(t.p, Program::Setup), r.expected) << windowsVersionName(r.version);
        // Without RtlGetVersion the reported 6.2/6.3 still lands in the same class.
        t.machine.process.removeExport("ntdll.dll", "RtlGetVersion");
        EXPECT_EQ(DetectOsClass(t.p, Program::Setup), r.expected) << windowsVersionName(r.version);
    }
}

TEST(DetectOsClass, OnlyIsWow64Process2RevealsArm64) {
    TestMachine t;
    t.machine.setArm64Windows(WindowsVersion::Win11);
    EXPECT_TRUE(IsArm64Windows(t.p));
    // What the older calls tell an emulated x86 program: an x64 Windows on an x86 processor.
    EXPECT_EQ(ReadOsFacts(t.p).processorArchitecture, plat::kArchIntel);
    t.machine.setWindows(WindowsVersion::Win11, true);
    EXPECT_FALSE(IsArm64Windows(t.p));
    t.machine.setWindows(WindowsVersion::Win7, true);  // no IsWow64Process2 at all
    EXPECT_FALSE(IsArm64Windows(t.p));
}

TEST(DetectOsClass, FivePointTwoDependsOnProductTypeAndNativeArchitecture) {
    TestMachine t;
    t.machine.setWindows(WindowsVersion::WinXP64, true);
    t.machine.system.nativeArchitecture = plat::kArchIa64;
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsServer2003) << "Itanium workstation";
    t.machine.system.nativeArchitecture = plat::kArchAmd64;
    t.machine.system.version.productType = plat::kNtServer;
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsServer2003);
    t.machine.system.version.productType = plat::kNtWorkstation;
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsWinXP);
    // The architecture must come from GetNativeSystemInfo: under WOW64 GetSystemInfo says x86.
    t.machine.process.removeExport("kernel32.dll", "GetNativeSystemInfo");
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsServer2003);
}

TEST(DetectOsClass, UnknownVersionsOfKnownPlatforms) {
    TestMachine t;
    t.machine.setWindows(WindowsVersion::Win2000, false);
    for (auto [major, minor] : {std::pair{4u, 1u}, {5u, 3u}, {3u, 51u}}) {
        t.machine.system.version.majorVersion = major;
        t.machine.system.version.minorVersion = minor;
        EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsWin9x) << major << "." << minor;
    }
    EXPECT_TRUE(t.boxes().empty());
}

TEST(DetectOsClass, UnknownPlatformIsReportedBySetupAndTakenForXpByUninstall) {
    TestMachine t;
    t.machine.system.version.platformId = plat::kPlatformWin32s;
    EXPECT_EQ(DetectOsClass(t.p, Program::Uninstall), kOsWinXP);
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_EQ(DetectOsClass(t.p, Program::Setup), kOsWin9x);
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_NE(t.boxes()[0].text, "");
    EXPECT_EQ(t.boxes()[0].caption, "setup");

    // A version call that fails leaves a zeroed record: an unknown platform as well.
    TestMachine old;
    old.machine.setWindows(WindowsVersion::Win98, false);
    old.machine.faults.failCall("GetVersionExA", plat::kErrorInvalidParameter);
    EXPECT_EQ(DetectOsClass(old.p, Program::Setup), kOsWin9x);
    EXPECT_EQ(old.boxes().size(), 1u);
}

TEST(IsUserAdmin, AdministratorsMembershipIncludingDenyOnly) {
    TestMachine t;
    t.machine.security.setUser(true);
    EXPECT_TRUE(IsUserAdmin(t.p));
    t.machine.security.setUser(true, /*denyOnly=*/true);
    EXPECT_TRUE(IsUserAdmin(t.p));
    t.machine.security.setUser(false);
    EXPECT_FALSE(IsUserAdmin(t.p));
}

TEST(IsUserAdmin, ThreadTokenFirstThenProcessTokenOnlyWhenThereIsNone) {
    TestMachine t;
    t.machine.security.setUser(true);
    t.machine.security.threadHasToken = true;
    EXPECT_TRUE(IsUserAdmin(t.p));
    EXPECT_EQ(t.machine.faults.timesCalled("OpenProcessToken"), 0);

    // Any other failure of the thread token is a "no".
    t.machine.faults.failCall("OpenThreadToken", plat::kErrorAccessDenied, 1);
    EXPECT_FALSE(IsUserAdmin(t.p));
    EXPECT_EQ(t.machine.faults.timesCalled("OpenProcessToken"), 0);
}

TEST(IsUserAdmin, EveryFailingCallAnswersNo) {
    for (const char* api : {"OpenProcessToken", "GetTokenInformation", "AllocateAndInitializeSid"}) {
        TestMachine t;
        t.machine.security.setUser(true);
        t.machine.faults.failCall(api, plat::kErrorAccessDenied);
        EXPECT_FALSE(IsUserAdmin(t.p)) << api;
    }
    // The first, size-asking call must fail with 122 and nothing else.
    TestMachine t;
    t.machine.security.setUser(true);
    t.machine.faults.failCall("GetTokenInformation", plat::kErrorNotEnoughMemory, 1);
    EXPECT_FALSE(IsUserAdmin(t.p));
}

TEST(FsRedirection, OperationSeesTheRealSystem32OnlyInside) {
    TestMachine t;
    t.machine.setWindows(WindowsVersion::Win7, true);
    t.machine.files.writeFile("C:\\WINDOWS\\SysWOW64\\probe.dll", "32");
    t.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    t.machine.files.writeFile("C:\\WINDOWS\\system32\\probe.dll", "64");
    t.machine.files.setRedirection(true, true, "C:\\WINDOWS");

    std::string seen;
    WithFsRedirectionDisabled(t.p, Program::Setup, true,
                              [&] { seen = *t.machine.files.readFile("C:\\WINDOWS\\system32\\probe.dll"); });
    EXPECT_EQ(seen, "64");
    EXPECT_EQ(*t.machine.files.readFile("C:\\WINDOWS\\system32\\probe.dll"), "32") << "redirection restored";
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_EQ(t.machine.process.loadedLibraryCount(), 0) << "library freed";
}

TEST(FsRedirection, MissingPiecesAreReportedInFixedEnglishAndTheOperationStillRuns) {
    TestMachine t;
    t.machine.setWindows(WindowsVersion::Win7, true);
    t.machine.process.removeExport("kernel32.dll", "Wow64DisableWow64FsRedirection");
    t.machine.process.removeExport("kernel32.dll", "Wow64RevertWow64FsRedirection");
    int runs = 0;
    WithFsRedirectionDisabled(t.p, Program::Setup, true, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(t.boxes().size(), 2u);
    EXPECT_EQ(t.boxes()[0].text, "Can't Get Function Wow64DisableWow64FsRedirection Address");
    EXPECT_EQ(t.boxes()[1].text, "Can't Get Function Wow64RevertWow64FsRedirection Address");

    TestMachine noLib;
    noLib.machine.setWindows(WindowsVersion::Win7, true);
    noLib.machine.faults.failCall("LoadLibraryA", plat::kErrorModNotFound);
    WithFsRedirectionDisabled(noLib.p, Program::Setup, true, [&] { ++runs; });
    EXPECT_EQ(runs, 2);
    ASSERT_EQ(noLib.boxes().size(), 1u);
    EXPECT_EQ(noLib.boxes()[0].text, "Can't Load Kernel32.dll");
}

TEST(FsRedirection, ThirtyTwoBitWindowsRunsDirectlyAndTheSilentFormSkipsOnFailure) {
    TestMachine t;
    int runs = 0;
    WithFsRedirectionDisabled(t.p, Program::Setup, false, [&] { ++runs; });
    EXPECT_TRUE(WithFsRedirectionDisabledSilently(t.p, false, [&] { ++runs; }));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(t.machine.faults.timesCalled("LoadLibraryA"), 0);

    t.machine.setWindows(WindowsVersion::Win7, true);
    t.machine.faults.failCall("Wow64DisableWow64FsRedirection", plat::kErrorAccessDenied, 1);
    EXPECT_FALSE(WithFsRedirectionDisabledSilently(t.p, true, [&] { ++runs; }));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(t.machine.faults.timesCalled("Wow64RevertWow64FsRedirection"), 0);
    EXPECT_TRUE(t.boxes().empty());
}

TEST(CompatibilityAssistant, WritesTheProgramPathOnVistaAndLaterWorkstationsOnly) {
    const std::string key = std::string("HKCU\\") + kCompatibilityPersistedKey;
    for (OsClass os : {kOsWinXP, kOsServer2003, kOsServer2008, kOsServer2012}) {
        TestMachine t;
        MarkCompatibilityHandled(t.p, Program::Setup, os, false);
        EXPECT_FALSE(t.machine.registry.keyExists(key)) << os;
    }
    for (auto [version, os, is64] : {std::tuple{WindowsVersion::Vista, kOsVista, false},
                                     std::tuple{WindowsVersion::Vista, kOsVista, true},
                                     std::tuple{WindowsVersion::Win10, kOsWin10, true}}) {
        TestMachine t;
        t.machine.setWindows(version, is64);
        MarkCompatibilityHandled(t.p, Program::Setup, os, is64);
        MarkCompatibilityHandled(t.p, Program::Setup, os, is64);  // a second start overwrites
        auto v = t.machine.registry.peek(key, "C:\\PKG\\setup.exe");
        ASSERT_TRUE(v.has_value()) << is64;
        EXPECT_EQ(v->type, plat::kRegDword);
        EXPECT_EQ(v->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
        EXPECT_EQ(t.machine.registry.openHandleCount(), 0u);
    }
}

TEST(CompatibilityAssistant, FailuresAreSilent) {
    TestMachine t;
    t.machine.faults.failCall("RegCreateKeyExA", plat::kErrorAccessDenied);
    MarkCompatibilityHandled(t.p, Program::Uninstall, kOsWin7, false);
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_FALSE(t.machine.registry.keyExists(std::string("HKCU\\") + kCompatibilityPersistedKey));
}
