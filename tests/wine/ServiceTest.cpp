// The Spooler service through the service manager wrappers: the installer stops and
// restarts it around driver changes, so every state and refusal code is checked.
#include <gtest/gtest.h>

#include "WineTestSupport.h"

using namespace plat;
using winetest::Real;

namespace {

class SpoolerServiceTest : public ::testing::Test {
protected:
    ServiceApi& sc = Real().services;
    ProcessApi& process = Real().process;
    ScHandle manager = 0;
    ScHandle spooler = 0;

    void SetUp() override {
        manager = sc.OpenSCManager(nullptr, nullptr, kScManagerAllAccess);
        ASSERT_NE(0u, manager) << "error " << process.GetLastError();
        spooler = sc.OpenService(manager, "Spooler", kServiceAllAccess);
        ASSERT_NE(0u, spooler) << "error " << process.GetLastError();
    }

    void TearDown() override {
        // Leave the spooler running for whatever runs next in this prefix.
        if (spooler && State() != kServiceRunning) {
            sc.StartService(spooler);
            WaitFor(kServiceRunning);
        }
        if (spooler) {
            EXPECT_TRUE(sc.CloseServiceHandle(spooler));
        }
        if (manager) {
            EXPECT_TRUE(sc.CloseServiceHandle(manager));
        }
    }

    std::uint32_t State() {
        ServiceStatus status;
        if (!sc.QueryServiceStatus(spooler, &status)) return 0;
        return status.currentState;
    }

    // Polls for up to ten seconds; answers the last state seen.
    std::uint32_t WaitFor(std::uint32_t wanted) {
        std::uint32_t state = State();
        for (int i = 0; i < 200 && state != wanted; ++i) {
            Real().clock.Sleep(50);
            state = State();
        }
        return state;
    }

    void BringTo(std::uint32_t wanted) {
        if (State() == wanted) return;
        if (wanted == kServiceRunning) {
            ASSERT_TRUE(sc.StartService(spooler)) << "error " << process.GetLastError();
        } else {
            ServiceStatus status;
            ASSERT_TRUE(sc.ControlService(spooler, kServiceControlStop, &status))
                << "error " << process.GetLastError();
        }
        ASSERT_EQ(wanted, WaitFor(wanted));
    }
};

TEST_F(SpoolerServiceTest, StopMovesARunningSpoolerToStopped) {
    BringTo(kServiceRunning);
    ServiceStatus status;
    ASSERT_TRUE(sc.ControlService(spooler, kServiceControlStop, &status));
    EXPECT_TRUE(status.currentState == kServiceStopPending || status.currentState == kServiceStopped)
        << status.currentState;
    EXPECT_EQ(kServiceStopped, WaitFor(kServiceStopped));
}

TEST_F(SpoolerServiceTest, StoppingAStoppedSpoolerFailsWith1062) {
    BringTo(kServiceStopped);
    ServiceStatus status;
    process.SetLastError(0);
    EXPECT_FALSE(sc.ControlService(spooler, kServiceControlStop, &status));
    EXPECT_EQ(kErrorServiceNotActive, process.GetLastError());
}

TEST_F(SpoolerServiceTest, StartMovesAStoppedSpoolerToRunning) {
    BringTo(kServiceStopped);
    ASSERT_TRUE(sc.StartService(spooler)) << "error " << process.GetLastError();
    EXPECT_EQ(kServiceRunning, WaitFor(kServiceRunning));
    ServiceStatus status;
    ASSERT_TRUE(sc.QueryServiceStatus(spooler, &status));
    EXPECT_EQ(kServiceRunning, status.currentState);
    EXPECT_NE(0u, status.controlsAccepted & 1) << "a running spooler accepts stop";
}

TEST_F(SpoolerServiceTest, StartingARunningSpoolerFailsWith1056) {
    BringTo(kServiceRunning);
    process.SetLastError(0);
    EXPECT_FALSE(sc.StartService(spooler));
    EXPECT_EQ(kErrorServiceAlreadyRunning, process.GetLastError());
}

TEST_F(SpoolerServiceTest, UnknownServiceFailsWith1060) {
    process.SetLastError(0);
    EXPECT_EQ(0u, sc.OpenService(manager, winetest::UniqueName("KlmNoSuchService"),
                                 kServiceQueryStatus));
    EXPECT_EQ(kErrorServiceDoesNotExist, process.GetLastError());
}

}  // namespace
