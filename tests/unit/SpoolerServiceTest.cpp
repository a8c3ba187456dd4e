#include <gtest/gtest.h>

#include "config/SpoolerService.h"
#include "TestMachine.h"

using namespace cfg;
using testing_support::TestMachine;

namespace {
std::vector<std::uint32_t> sleeps(TestMachine& t) { return t.machine.clock.sleeps; }
}

TEST(SpoolerService, StopSendsTheStopAndWaitsAMomentEvenWhenRefused) {
    TestMachine t;
    StopSpooler(t.p);
    EXPECT_EQ(t.machine.services.service("Spooler").stopCount, 1);
    EXPECT_EQ(sleeps(t), std::vector<std::uint32_t>{100});
    StopSpooler(t.p);  // already stopped: 1062, not reported
    EXPECT_EQ(t.machine.services.currentState("Spooler"), plat::kServiceStopped);
    EXPECT_EQ(sleeps(t), (std::vector<std::uint32_t>{100, 100}));
    EXPECT_EQ(t.machine.services.openHandleCount(), 0u);

    TestMachine noManager;
    noManager.machine.faults.failCall("OpenSCManagerA", plat::kErrorAccessDenied);
    StopSpooler(noManager.p);
    EXPECT_TRUE(noManager.machine.clock.sleeps.empty()) << "no manager: nothing more";
}

TEST(SpoolerService, StartReportsFailuresButNotAlreadyRunning) {
    TestMachine t;
    MessageBuffer messages;
    StartSpooler(t.p, messages);
    EXPECT_TRUE(messages.empty());

    t.machine.services.service("Spooler").state = plat::kServiceStopped;
    t.machine.services.service("Spooler").refuseStart = plat::kErrorServiceDisabled;
    StartSpooler(t.p, messages);
    EXPECT_EQ(messages.text(), "Start spool service error, error code = 1058");
    EXPECT_EQ(t.machine.services.openHandleCount(), 0u);

    MessageBuffer quiet;
    t.machine.faults.failCall("OpenServiceA", plat::kErrorAccessDenied, 1);
    StartSpooler(t.p, quiet);
    EXPECT_TRUE(quiet.empty()) << "a service that cannot be opened is not reported";
    EXPECT_EQ(t.machine.services.openHandleCount(), 0u);
}

TEST(SpoolerService, WaitPollsUntilRunningWith300msSleeps) {
    TestMachine t;
    auto& spooler = t.machine.services.service("Spooler");
    spooler.state = plat::kServiceStopped;
    spooler.startDelayMs = 500;
    MessageBuffer messages;
    StartSpooler(t.p, messages);
    // Running on the third query: after two sleeps (600 ms > 500 ms).
    EXPECT_EQ(WaitSpoolerRunning(t.p, messages), plat::kServiceRunning);
    EXPECT_EQ(sleeps(t), (std::vector<std::uint32_t>{300, 300}));
    EXPECT_EQ(t.machine.faults.timesCalled("QueryServiceStatus"), 3);
    EXPECT_TRUE(messages.empty());
}

TEST(SpoolerService, WaitGivesUpAfterTenQueriesWithTheLastState) {
    TestMachine t;
    auto& spooler = t.machine.services.service("Spooler");
    spooler.state = plat::kServiceStopped;
    spooler.hangsStarting = true;
    MessageBuffer messages;
    StartSpooler(t.p, messages);
    EXPECT_EQ(WaitSpoolerRunning(t.p, messages), plat::kServiceStartPending);
    EXPECT_EQ(t.machine.faults.timesCalled("QueryServiceStatus"), 10);
    EXPECT_EQ(t.machine.state.nowMs, 3000u);
    EXPECT_EQ(messages.text(), "StartSpoolService error");
}

TEST(SpoolerService, WaitWithoutServiceOrManagerAnswersStopped) {
    for (const char* missing : {"service", "manager"}) {
        TestMachine t;
        if (std::string(missing) == "service")
            t.machine.services.removeService("Spooler");
        else
            t.machine.faults.failCall("OpenSCManagerA", plat::kErrorAccessDenied);
        MessageBuffer messages;
        EXPECT_EQ(WaitSpoolerRunning(t.p, messages), plat::kServiceStopped) << missing;
        EXPECT_EQ(messages.text(), "StartSpoolService error");
        EXPECT_EQ(t.machine.faults.timesCalled("QueryServiceStatus"), 0);
        EXPECT_EQ(t.machine.services.openHandleCount(), 0u);
    }
}

// A spooler keeps its DLLs until its process has ended: every stop is awaited until the
// service reports stopped, and a restart says whether the spooler runs again.
TEST(SpoolerService, RestartAwaitsTheStopAndAnswersWhetherItRunsAgain) {
    struct Case {
        std::uint32_t stopDelayMs;
        std::uint32_t refuseStart;
        bool runs;
    };
    const Case cases[] = {
        {0, 0, true},
        {3000, 0, true},               // a slow stop, awaited before the start
        {45000, 0, true},              // past the stop limit: the start meets stop-pending, waits, starts
        {3600000, 0, false},           // a stop that never ends within the limits
        {0, plat::kErrorServiceDisabled, false},
    };
    for (const Case& c : cases) {
        TestMachine t;
        auto& spooler = t.machine.services.service("Spooler");
        spooler.stopDelayMs = c.stopDelayMs;
        spooler.refuseStart = c.refuseStart;
        EXPECT_EQ(RestartSpooler(t.p), c.runs) << c.stopDelayMs << " " << c.refuseStart;
        EXPECT_EQ(t.machine.services.currentState("Spooler") == plat::kServiceRunning, c.runs) << c.stopDelayMs;
        EXPECT_EQ(spooler.stopCount, 1);
        EXPECT_EQ(t.machine.services.openHandleCount(), 0u);
        // Nothing was started while the old spooler still held its files.
        if (c.runs && c.stopDelayMs < kSpoolerStopLimitMs) {
            EXPECT_GE(t.machine.state.nowMs, c.stopDelayMs + 2000);
        }
    }
}

TEST(SpoolerService, StopIsAwaitedAndAStartMeetingAStoppingSpoolerWaitsForIt) {
    TestMachine t;
    auto& spooler = t.machine.services.service("Spooler");
    spooler.stopDelayMs = 3000;
    EXPECT_TRUE(StopSpooler(t.p));
    EXPECT_EQ(t.machine.services.currentState("Spooler"), plat::kServiceStopped);
    EXPECT_GE(t.machine.state.nowMs, 3000u);

    spooler.state = plat::kServiceRunning;
    spooler.stopDelayMs = 2 * kSpoolerStopLimitMs + 5000;  // past the limit of both attempts
    EXPECT_FALSE(StopSpooler(t.p)) << "gave up at the limit";
    MessageBuffer messages;
    StartSpooler(t.p, messages);
    EXPECT_TRUE(messages.empty()) << messages.text();
    EXPECT_EQ(WaitSpoolerRunning(t.p, messages), plat::kServiceRunning);
}
