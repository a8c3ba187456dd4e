// Every platform call of the Install button, made to fail once, on fresh machines and on a
// machine whose USB monitor and print processor are outdated (the only installation that
// stops the spooler): what the user is told must be true. A success notice must leave the
// machine exactly as the fault-free installation does, a failure must say something, and
// the spooler must be running afterwards.
#include <gtest/gtest.h>

#include <cctype>

#include "MachineInventory.h"
#include "WizardMachine.h"

using namespace testing_support;
using sim::WindowsVersion;

namespace {

struct FaultCase {
    WindowsVersion version;
    bool sixtyFour;
    const char* port;  // as the port page lists it
};

std::string label(const FaultCase& c) {
    return std::string(sim::windowsVersionName(c.version)) + (c.sixtyFour ? " 64-bit " : " 32-bit ") + c.port;
}

std::string testName(const ::testing::TestParamInfo<FaultCase>& info) {
    std::string name = label(info.param);
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

const char kPrint[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\";

// A machine with a USB printer (identifier 1) connected and the USB device driver current,
// so the USB steps ask nothing; the wizard is clicked through to the port page.
struct Installation : WizardMachine {
    explicit Installation(const FaultCase& c) : WizardMachine(c.version, c.sixtyFour) {
        machine.usb.printers = {0};
        // A real spooler takes its time to stop and to start.
        machine.services.service("Spooler").stopDelayMs = 1500;
        machine.services.service("Spooler").startDelayMs = 1000;
        writeNative("C:\\WINDOWS\\system32\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("9.9.9.9"));
    }

    bool reachPort(const std::string& portName) {
        open();
        chooseModel(cfg::kReceipt, "KLM-A100");
        for (int guard = 0; guard < 8 && wizard->currentPage < setup::kPortPageIndex; ++guard) next();
        if (wizard->currentPage != setup::kPortPageIndex) return false;
        choose(*port, setup::kPortList, portName);
        if (portName == "NET:") view(*port).control(setup::kIpAddress).address = (192u << 24) | (168u << 16) | (1u << 8) | 20u;
        // The package's serial and USB monitors offer these ports on a real machine.
        const auto known = machine.spooler.portNames();
        for (const char* offered : {"QXCOM1:", "USB_KLM-A100_1", "USB_KLM-A100_2"})
            if (std::find(known.begin(), known.end(), offered) == known.end()) machine.spooler.addPort(offered);
        machine.windows.clearMessageBoxes();
        return port->portText == portName;
    }

    // The version records of the USB monitor and the print processor (in whichever
    // environment the installation put it), set back to 1.
    bool makeOutdated() {
        int monitor = 0, processor = 0;
        auto outdate = [&](const std::string& key, int& found) {
            if (!machine.registry.peek(key, "DriverVersion")) return;
            machine.registry.poke(key, "DriverVersion", plat::kRegDword, {1, 0, 0, 0});
            ++found;
        };
        outdate(std::string(kPrint) + "Monitors\\KLM USB Port", monitor);
        for (const char* environment : {"Windows NT x86", "Windows x64"})
            outdate(std::string(kPrint) + "Environments\\" + environment + "\\Print Processors\\KLMPrintProc", processor);
        return monitor == 1 && processor >= 1;
    }

    SweepRun pressInstall(const FaultPoint* fault) {
        // The success notice, also as the bare key the language file answers when its
        // wording cannot be read: either way the user is told it worked.
        const std::vector<std::string> notices = {message("IDS_INF_NTRESTART"), message("IDS_INF_USBRESTART"),
                                                  "IDS_INF_NTRESTART", "IDS_INF_USBRESTART"};
        SweepRun r = RunWithFault(machine, fault, [&] { next(); });
        bool success = false, text = false;
        for (const auto& box : boxes()) {
            success = success || std::find(notices.begin(), notices.end(), box.text) != notices.end();
            text = text || !box.text.empty();
            r.said += (r.said.empty() ? "" : " | ") + box.text;
        }
        if (r.said.size() > 120) r.said = r.said.substr(0, 120) + "...";
        if (r.said.empty()) r.said = frame.closed() ? "(wizard closed, no message)" : "(wizard still open, no message)";
        r.verdict = success ? SweepRun::Succeeded : text ? SweepRun::FailedWithText : SweepRun::Silent;
        return r;
    }
};

void expectClean(const std::string& what, const SweepTally& t) {
    EXPECT_GT(t.injected, 50) << what;
    EXPECT_EQ(t.violations, 0) << t.summary(what);
}

}  // namespace

class FreshInstallUnderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FreshInstallUnderFaults, ToldTheTruth) {
    const FaultCase& c = GetParam();
    const std::string what = "fresh " + label(c);
    expectClean(what, SweepEveryCall(what, [&](const FaultPoint* fault) {
                    Installation m(c);
                    if (!m.reachPort(c.port)) return SweepRun::notReached("port page not reached");
                    return m.pressInstall(fault);
                }));
}

INSTANTIATE_TEST_SUITE_P(
    PortsAndWidths, FreshInstallUnderFaults,
    ::testing::Values(FaultCase{WindowsVersion::Win7, false, "QXCOM1:"}, FaultCase{WindowsVersion::Win7, false, "LPT1:"},
                      FaultCase{WindowsVersion::Win7, false, "USB_KLM-A100_1"}, FaultCase{WindowsVersion::Win7, false, "NET:"},
                      FaultCase{WindowsVersion::Win7, true, "COM1:"}, FaultCase{WindowsVersion::Win7, true, "LPT1:"},
                      FaultCase{WindowsVersion::Win7, true, "USB_KLM-A100_1"}, FaultCase{WindowsVersion::Win7, true, "NET:"},
                      FaultCase{WindowsVersion::WinXP, false, "USB_KLM-A100_1"},
                      FaultCase{WindowsVersion::Server2003, true, "COM1:"},
                      FaultCase{WindowsVersion::Win10, true, "USB_KLM-A100_1"}),
    testName);

// Installed once on USB_KLM-A100_2, then both components made outdated. A second printer
// on USB_KLM-A100_1 (the port a typical installation offers) replaces the USB monitor, one
// component per installation; one on LPT1: checks no port monitor and replaces the print
// processor.
class UpdateInstallUnderFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(UpdateInstallUnderFaults, ToldTheTruthAndRestartedTheSpooler) {
    const FaultCase& c = GetParam();
    const std::string what = "update " + label(c);
    expectClean(what, SweepEveryCall(what, [&](const FaultPoint* fault) {
                    Installation m(c);
                    const auto first = m.install(m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_2"));
                    if (first.state != engine::kSucceeded)
                        return SweepRun::notReached("first installation: " + first.messages);
                    if (!m.makeOutdated()) return SweepRun::notReached("no version records after the first installation");
                    if (!m.reachPort(c.port)) return SweepRun::notReached("port page not reached");
                    SweepRun r = m.pressInstall(fault);
                    if (!fault && m.machine.services.service("Spooler").stopCount == 0)
                        r = SweepRun::notReached("nothing was updated: the spooler was never stopped");
                    return r;
                }));
}

INSTANTIATE_TEST_SUITE_P(Widths, UpdateInstallUnderFaults,
                         ::testing::Values(FaultCase{WindowsVersion::Win7, false, "USB_KLM-A100_1"},
                                           FaultCase{WindowsVersion::Win7, true, "USB_KLM-A100_1"},
                                           FaultCase{WindowsVersion::WinXP, false, "USB_KLM-A100_1"},
                                           FaultCase{WindowsVersion::Win7, false, "LPT1:"},
                                           FaultCase{WindowsVersion::Win7, true, "LPT1:"}),
                         testName);
