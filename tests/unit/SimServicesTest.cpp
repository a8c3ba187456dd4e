// The simulated service control manager: the Spooler's states on the virtual clock and
// the errors the stop, start and wait routines have to cope with.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/SimMachine.h"

namespace {

using plat::ScHandle;

struct SimServices : testing::Test {
    sim::SimMachine m;
    plat::ServiceApi& scm = m.platform().services;
    ScHandle manager = scm.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);

    ScHandle openSpooler(std::uint32_t access) {
        ScHandle h = scm.OpenService(manager, "Spooler", access);
        EXPECT_NE(h, 0u);
        return h;
    }
    std::uint32_t query(ScHandle h) {
        plat::ServiceStatus s;
        EXPECT_TRUE(scm.QueryServiceStatus(h, &s));
        return s.currentState;
    }
    std::uint32_t lastError() { return m.platform().process.GetLastError(); }
};

TEST_F(SimServices, StopPassesThroughStopPendingForTheStopDelay) {
    m.services.service("Spooler").stopDelayMs = 1000;
    ScHandle h = openSpooler(plat::kServiceStop | plat::kServiceQueryStatus);
    EXPECT_EQ(query(h), plat::kServiceRunning);

    plat::ServiceStatus status;
    ASSERT_TRUE(scm.ControlService(h, plat::kServiceControlStop, &status));
    EXPECT_EQ(status.currentState, plat::kServiceStopPending);
    m.clock.Sleep(999);
    EXPECT_EQ(query(h), plat::kServiceStopPending);
    // A second stop while one is under way cannot be accepted.
    EXPECT_FALSE(scm.ControlService(h, plat::kServiceControlStop, &status));
    EXPECT_EQ(lastError(), plat::kErrorServiceCannotAcceptCtrl);
    m.clock.Sleep(1);
    EXPECT_EQ(query(h), plat::kServiceStopped);
    EXPECT_EQ(m.services.currentState("spooler"), plat::kServiceStopped);
    EXPECT_EQ(m.services.service("Spooler").stopCount, 1);

    // Stopping what is stopped: 1062.
    m.platform().process.SetLastError(0);
    EXPECT_FALSE(scm.ControlService(h, plat::kServiceControlStop, &status));
    EXPECT_EQ(lastError(), plat::kErrorServiceNotActive);
    EXPECT_EQ(m.services.service("Spooler").stopCount, 1);
    scm.CloseServiceHandle(h);
}

TEST_F(SimServices, ImmediateStopAndStartWithoutDelays) {
    ScHandle h = openSpooler(plat::kServiceAllAccess);
    plat::ServiceStatus status;
    ASSERT_TRUE(scm.ControlService(h, plat::kServiceControlStop, &status));
    EXPECT_EQ(status.currentState, plat::kServiceStopped);
    ASSERT_TRUE(scm.StartService(h));
    EXPECT_EQ(query(h), plat::kServiceRunning);
    scm.CloseServiceHandle(h);
}

TEST_F(SimServices, StartPassesThroughStartPendingAndRefusesARunningService) {
    auto& spooler = m.services.service("Spooler");
    spooler.state = plat::kServiceStopped;
    spooler.startDelayMs = 600;
    ScHandle h = openSpooler(plat::kServiceStart | plat::kServiceQueryStatus);

    ASSERT_TRUE(scm.StartService(h));
    EXPECT_EQ(query(h), plat::kServiceStartPending);
    // Starting again while it starts, or once it runs: 1056.
    EXPECT_FALSE(scm.StartService(h));
    EXPECT_EQ(lastError(), plat::kErrorServiceAlreadyRunning);
    m.clock.Sleep(600);
    EXPECT_EQ(query(h), plat::kServiceRunning);
    EXPECT_FALSE(scm.StartService(h));
    EXPECT_EQ(lastError(), plat::kErrorServiceAlreadyRunning);
    EXPECT_EQ(m.services.service("Spooler").startCount, 1);
    scm.CloseServiceHandle(h);
}

TEST_F(SimServices, AServiceThatHangsStartingNeverRuns) {
    auto& spooler = m.services.service("Spooler");
    spooler.state = plat::kServiceStopped;
    spooler.hangsStarting = true;
    ScHandle h = openSpooler(plat::kServiceStart | plat::kServiceQueryStatus);
    ASSERT_TRUE(scm.StartService(h));
    m.clock.Sleep(3600u * 1000u);
    EXPECT_EQ(query(h), plat::kServiceStartPending);
    scm.CloseServiceHandle(h);
}

TEST_F(SimServices, RefusalsCarryTheirErrorAndLeaveTheStateAlone) {
    auto& spooler = m.services.service("Spooler");
    spooler.refuseStop = plat::kErrorAccessDenied;
    ScHandle h = openSpooler(plat::kServiceAllAccess);
    plat::ServiceStatus status;
    EXPECT_FALSE(scm.ControlService(h, plat::kServiceControlStop, &status));
    EXPECT_EQ(lastError(), plat::kErrorAccessDenied);
    EXPECT_EQ(query(h), plat::kServiceRunning);

    spooler.refuseStop = 0;
    ASSERT_TRUE(scm.ControlService(h, plat::kServiceControlStop, &status));
    spooler.refuseStart = plat::kErrorServiceDisabled;
    EXPECT_FALSE(scm.StartService(h));
    EXPECT_EQ(lastError(), plat::kErrorServiceDisabled);
    EXPECT_EQ(query(h), plat::kServiceStopped);
    EXPECT_EQ(spooler.startCount, 0);

    // Only the stop control is known.
    EXPECT_FALSE(scm.ControlService(h, 2 /* pause */, &status));
    EXPECT_EQ(lastError(), plat::kErrorInvalidParameter);
    scm.CloseServiceHandle(h);
}

TEST_F(SimServices, EachCallNeedsItsAccessRight) {
    ScHandle queryOnly = openSpooler(plat::kServiceQueryStatus);
    ScHandle stopOnly = openSpooler(plat::kServiceStop);
    ScHandle startOnly = openSpooler(plat::kServiceStart);
    plat::ServiceStatus status;

    EXPECT_FALSE(scm.ControlService(queryOnly, plat::kServiceControlStop, &status));
    EXPECT_EQ(lastError(), plat::kErrorAccessDenied);
    EXPECT_FALSE(scm.StartService(queryOnly));
    EXPECT_EQ(lastError(), plat::kErrorAccessDenied);
    EXPECT_FALSE(scm.QueryServiceStatus(stopOnly, &status));
    EXPECT_EQ(lastError(), plat::kErrorAccessDenied);
    EXPECT_FALSE(scm.ControlService(startOnly, plat::kServiceControlStop, &status));
    EXPECT_EQ(lastError(), plat::kErrorAccessDenied);
    EXPECT_EQ(m.services.currentState("Spooler"), plat::kServiceRunning);  // nothing happened

    EXPECT_TRUE(scm.ControlService(stopOnly, plat::kServiceControlStop, &status));
    EXPECT_TRUE(scm.StartService(startOnly));

    // A manager handle is no service handle, and the other way round.
    EXPECT_FALSE(scm.QueryServiceStatus(manager, &status));
    EXPECT_EQ(lastError(), plat::kErrorInvalidHandle);
    EXPECT_EQ(scm.OpenService(queryOnly, "Spooler", plat::kServiceQueryStatus), 0u);
    EXPECT_EQ(lastError(), plat::kErrorInvalidHandle);
    for (ScHandle h : {queryOnly, stopOnly, startOnly}) EXPECT_TRUE(scm.CloseServiceHandle(h));
}

TEST_F(SimServices, MissingServicesAndStaleHandles) {
    EXPECT_EQ(scm.OpenService(manager, "NoSuchService", plat::kServiceAllAccess), 0u);
    EXPECT_EQ(lastError(), plat::kErrorServiceDoesNotExist);
    // Names are matched without regard to case.
    ScHandle h = scm.OpenService(manager, "SPOOLER", plat::kServiceQueryStatus);
    ASSERT_NE(h, 0u);
    // The service disappears while the handle is open.
    m.services.removeService("spooler");
    plat::ServiceStatus status;
    EXPECT_FALSE(scm.QueryServiceStatus(h, &status));
    EXPECT_EQ(lastError(), plat::kErrorServiceDoesNotExist);

    EXPECT_TRUE(scm.CloseServiceHandle(h));
    EXPECT_FALSE(scm.CloseServiceHandle(h));
    EXPECT_EQ(lastError(), plat::kErrorInvalidHandle);
    EXPECT_FALSE(scm.QueryServiceStatus(h, &status));
    EXPECT_EQ(lastError(), plat::kErrorInvalidHandle);
    EXPECT_TRUE(scm.CloseServiceHandle(manager));
    EXPECT_EQ(m.services.openHandleCount(), 0u);
}

}  // namespace

// The spooler's process holds its monitor DLLs until it has ended, not just until it leaves
// the running state; when it starts it loads each monitor from its registry key, and a
// monitor whose file is missing stays unloaded, its ports with it.
TEST_F(SimServices, SpoolerHoldsItsDllsUntilStoppedAndLoadsMonitorsAfreshWhenStarted) {
    const std::string system = m.process.systemDir();
    m.files.writeFile(system + "\\mon.dll", "v1");
    plat::MonitorInfo2 monitor{std::string("Mon"), std::nullopt, std::string("mon.dll")};
    ASSERT_TRUE(m.platform().spooler.AddMonitor(monitor));
    m.spooler.addMonitorPort("Mon", "MON1:");
    auto copyOver = [&] {
        m.files.writeFile("C:\\new.dll", "v2");
        return m.platform().files.CopyFile("C:\\new.dll", system + "\\mon.dll", false);
    };

    m.services.service("Spooler").stopDelayMs = 3000;
    ScHandle spooler = openSpooler(plat::kServiceStop | plat::kServiceStart | plat::kServiceQueryStatus);
    plat::ServiceStatus status;
    ASSERT_TRUE(scm.ControlService(spooler, plat::kServiceControlStop, &status));
    EXPECT_FALSE(copyOver()) << "stop pending: the process still runs";
    EXPECT_EQ(lastError(), plat::kErrorSharingViolation);
    m.clock.Sleep(3000);
    EXPECT_EQ(query(spooler), plat::kServiceStopped);
    EXPECT_TRUE(copyOver());

    // The key now names a file that is not there: the started spooler cannot load it.
    const std::string key = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Mon";
    const std::string missing = "nmon.dll";
    m.registry.poke(key, "Driver", plat::kRegSz, std::vector<std::uint8_t>(missing.c_str(), missing.c_str() + 9));
    ASSERT_TRUE(scm.StartService(spooler));
    EXPECT_EQ(m.spooler.monitor("Mon"), nullptr);
    const auto ports = m.spooler.portNames();
    EXPECT_EQ(std::count(ports.begin(), ports.end(), "MON1:"), 0);
    scm.CloseServiceHandle(spooler);
}
