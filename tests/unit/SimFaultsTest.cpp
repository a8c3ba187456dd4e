// Fault injection is how the core's failure paths are reached, so a fault must fire on
// exactly the call asked for and surface the way the real call reports its error.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace {

long openRun(plat::Platform& p) {
    plat::RegKey k = 0;
    long rc = p.registry.RegOpenKeyEx(plat::kHkeyLocalMachine, "SOFTWARE\\Run", 0, plat::kKeyRead, &k);
    if (rc == 0) p.registry.RegCloseKey(k);
    return rc;
}

struct SimFaults : testing::Test {
    sim::SimMachine m;
    plat::Platform& p = m.platform();
    void SetUp() override { m.registry.poke("HKLM\\SOFTWARE\\Run", "x", plat::kRegSz, {0}); }
};

TEST_F(SimFaults, FailCallSkipsThenFailsACountedNumberOfTimes) {
    m.faults.failCall("RegOpenKeyExA", plat::kErrorAccessDenied, 2, 1);
    EXPECT_EQ(openRun(p), 0);
    EXPECT_EQ(openRun(p), static_cast<long>(plat::kErrorAccessDenied));
    // Calls of other kinds neither fail nor use up the rule.
    std::string dir;
    EXPECT_EQ(p.process.GetCurrentDirectory(260, &dir), 6u);
    EXPECT_EQ(openRun(p), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(openRun(p), 0);
    EXPECT_EQ(openRun(p), 0);
    EXPECT_EQ(m.faults.timesCalled("RegOpenKeyExA"), 5);  // failed calls count too
    EXPECT_EQ(m.faults.timesCalled("RegCloseKey"), 3);
    EXPECT_EQ(m.faults.timesCalled("RegQueryValueExA"), 0);
}

TEST_F(SimFaults, FailCallForeverUntilCleared) {
    m.faults.failCall("StartServiceA", plat::kErrorServiceDisabled);
    m.services.service("Spooler").state = plat::kServiceStopped;
    plat::ScHandle scm = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    plat::ScHandle h = p.services.OpenService(scm, "Spooler", plat::kServiceStart);
    for (int i = 0; i < 5; ++i) {
        p.process.SetLastError(0);
        EXPECT_FALSE(p.services.StartService(h));
        EXPECT_EQ(p.process.GetLastError(), plat::kErrorServiceDisabled);
    }
    EXPECT_EQ(m.services.service("Spooler").startCount, 0);  // a failed call does nothing
    m.faults.clear();
    EXPECT_TRUE(p.services.StartService(h));
    p.services.CloseServiceHandle(h);
    p.services.CloseServiceHandle(scm);
}

TEST_F(SimFaults, TimesZeroNeverFires) {
    m.faults.failCall("RegOpenKeyExA", plat::kErrorAccessDenied, 0);
    EXPECT_EQ(openRun(p), 0);
    EXPECT_EQ(openRun(p), 0);
}

TEST_F(SimFaults, NthCallCountsEveryKindFromNowOn) {
    // Calls made before the rule do not count towards it.
    EXPECT_EQ(openRun(p), 0);
    const auto before = m.faults.callCount();
    m.faults.failNthCall(3, 1234);
    EXPECT_EQ(openRun(p), 0);  // calls 1 and 2: open, close
    EXPECT_EQ(openRun(p), 1234);  // call 3: the open
    EXPECT_EQ(m.faults.callCount(), before + 3);
    EXPECT_EQ(openRun(p), 0);  // fires once only
    // A BOOL call reports the injected error through GetLastError.
    m.faults.failNthCall(1, plat::kErrorNotEnoughMemory);
    p.process.SetLastError(0);
    EXPECT_EQ(p.process.CreateMutex(true, "m"), 0u);
    EXPECT_EQ(p.process.GetLastError(), plat::kErrorNotEnoughMemory);
    EXPECT_NE(p.process.CreateMutex(true, "m"), 0u);
    EXPECT_EQ(p.process.GetLastError(), 0u);  // the failed create made no mutex
}

TEST_F(SimFaults, InjectedFaultsSurfaceAsEachCallReportsFailure) {
    std::string out = "stale";
    m.faults.failCall("GetModuleFileNameA", plat::kErrorAccessDenied, 1);
    EXPECT_EQ(p.process.GetModuleFileName(260, &out), 0u);
    EXPECT_EQ(out, "");
    EXPECT_EQ(p.process.GetLastError(), plat::kErrorAccessDenied);

    // The profile call cannot fail: a fault reads as a missing file and gives the default.
    m.files.writeFile("C:\\PKG\\a.ini", "[s]\r\nk=v\r\n");
    m.faults.failCall("GetPrivateProfileStringA", plat::kErrorSharingViolation, 1);
    EXPECT_EQ(p.profile.GetPrivateProfileString("s", "k", "def", 10, "C:\\PKG\\a.ini"), "def");
    EXPECT_EQ(p.profile.GetPrivateProfileString("s", "k", "def", 10, "C:\\PKG\\a.ini"), "v");

    m.faults.failCall("LoadLibraryA", plat::kErrorModNotFound, 1);
    EXPECT_EQ(p.process.LoadLibrary("kernel32.dll"), 0u);
    EXPECT_NE(p.process.LoadLibrary("kernel32.dll"), 0u);

    m.faults.failCall("GetVersionExA", plat::kErrorInvalidParameter, 1);
    plat::OsVersionInfo v;
    EXPECT_FALSE(p.system.GetVersionEx(&v, true));
    EXPECT_EQ(p.process.GetLastError(), plat::kErrorInvalidParameter);
    EXPECT_TRUE(p.system.GetVersionEx(&v, true));
    EXPECT_EQ(v.majorVersion, 6u);
}

TEST_F(SimFaults, TwoRulesForOneCallApplyInTurn) {
    m.faults.failCall("RegOpenKeyExA", 5, 1);
    m.faults.failCall("RegOpenKeyExA", 2, 1);
    EXPECT_EQ(openRun(p), 5);
    EXPECT_EQ(openRun(p), 2);
    EXPECT_EQ(openRun(p), 0);
}

}  // namespace
