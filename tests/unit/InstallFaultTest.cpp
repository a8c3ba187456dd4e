// Every platform call of a whole installation, made to fail one at a time: the worker
// must end, a failure must carry a text, a success must have a printer behind it, and the
// spooler must be running afterwards.
#include <gtest/gtest.h>

#include "EngineMachine.h"

using namespace engine;
using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {

struct FaultCase {
    WindowsVersion version;
    bool sixtyFour;
    const char* port;
};

// The error each kind of call would really give.
std::uint32_t realisticError(std::uint64_t n) {
    static const std::uint32_t kErrors[] = {plat::kErrorAccessDenied, plat::kErrorSharingViolation,
                                            plat::kErrorRpcServerUnavailable, plat::kErrorNotEnoughMemory};
    return kErrors[n % 4];
}

std::uint64_t callsOfAWholeInstallation(const FaultCase& c) {
    EngineMachine m(c.version, c.sixtyFour);
    const std::uint64_t before = m.machine.faults.callCount();
    EngineMachine::Result r = m.install(m.choices("KLM-A100", cfg::kReceipt, c.port));
    EXPECT_EQ(r.state, kSucceeded) << r.messages;
    return m.machine.faults.callCount() - before;
}

}  // namespace

class InstallUnderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InstallUnderFaults, EveryFailingCallEndsCleanly) {
    const FaultCase& c = GetParam();
    const std::uint64_t calls = callsOfAWholeInstallation(c);
    ASSERT_GT(calls, 50u);
    int failures = 0, successes = 0;
    for (std::uint64_t n = 1; n <= calls; ++n) {
        EngineMachine m(c.version, c.sixtyFour);
        m.machine.faults.failNthCall(n, realisticError(n));
        EngineMachine::Result r = m.install(m.choices("KLM-A100", cfg::kReceipt, c.port));
        ASSERT_TRUE(r.state == kFailed || r.state == kSucceeded || r.state == -1) << "call " << n;
        if (r.state == kFailed) {
            ++failures;
            EXPECT_FALSE(r.messages.empty()) << "call " << n << " failed without a word";
        } else if (r.state == kSucceeded) {
            ++successes;
            EXPECT_NE(m.machine.spooler.printer(r.printerName), nullptr)
                << "call " << n << " reported success without a printer";
        }
        EXPECT_EQ(m.machine.services.currentState("Spooler"), plat::kServiceRunning) << "call " << n;
    }
    RecordProperty("injected", static_cast<int>(calls));
    std::printf("  %s %s %s: %llu faults injected, %d failed, %d still succeeded\n",
                sim::windowsVersionName(c.version), c.sixtyFour ? "64-bit" : "32-bit", c.port,
                static_cast<unsigned long long>(calls), failures, successes);
}

INSTANTIATE_TEST_SUITE_P(
    PortsAndWidths, InstallUnderFaults,
    ::testing::Values(FaultCase{WindowsVersion::Win7, false, "COM1:"}, FaultCase{WindowsVersion::Win7, false, "LPT1:"},
                      FaultCase{WindowsVersion::Win7, false, "USB_KLM-A100_1"},
                      FaultCase{WindowsVersion::Win7, false, "NET"}, FaultCase{WindowsVersion::Win7, true, "COM1:"},
                      FaultCase{WindowsVersion::Win7, true, "LPT1:"}, FaultCase{WindowsVersion::Win7, true, "USB_KLM-A100_1"},
                      FaultCase{WindowsVersion::Win7, true, "NET"}, FaultCase{WindowsVersion::WinXP, false, "USB_KLM-A100_3"},
                      FaultCase{WindowsVersion::Server2003, true, "COM1:"}));
