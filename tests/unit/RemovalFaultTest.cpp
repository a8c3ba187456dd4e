// Every platform call of the uninstaller's removal run, made to fail once, on a machine
// with the package installed for a USB printer: the printer, the USB monitor and the print
// processor checked, and the USB device driver to go too. A run whose note list says each
// row was removed must leave the machine as the fault-free run does; any other run must
// have an error line; the spooler must be running afterwards.
#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "EngineMachine.h"
#include "MachineInventory.h"
#include "UninstallerState.h"
#include "platform/sim/SimDialogView.h"
#include "uninstall/RemovalWorker.h"
#include "uninstall/UninstallControls.h"

using namespace testing_support;
using sim::WindowsVersion;
using namespace uninstall;

namespace {


struct RemovalCase {
    WindowsVersion version;
    bool sixtyFour;
};

struct Uninstaller : EngineMachine {
    uninstall::UninstallState state;
    sim::SimDialogView view;
    std::string currentItemName;
    std::vector<std::string> rows;
    std::vector<std::string> successLines, progressLines;
    std::string installed;  // empty when the installation failed

    explicit Uninstaller(const RemovalCase& c) : EngineMachine(c.version, c.sixtyFour) {
        const auto r = install(choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1"));
        if (r.state == engine::kSucceeded) installed = r.printerName;
        // The USB device driver, and its installer that takes it away when started with "22".
        const std::string driver = "C:\\WINDOWS\\system32\\drivers\\VORUZA.sys";
        writeNative(driver, sim::SimFiles::withVersion("9.9.9.9"));
        machine.shell.defineProgram(
            is64 ? "C:\\PKG\\USBDrv\\USBDriver_x64\\Install.exe" : "C:\\PKG\\USBDrv\\USBDriver\\Install.exe",
            {"USB Driver Installer", 3200, [this, driver](const std::string& args) {
                 if (args == "22") removeNative(driver);
             }});

        // A real spooler takes its time to stop and to start.
        machine.services.service("Spooler").stopDelayMs = 1500;
        machine.services.service("Spooler").startDelayMs = 1000;
        state = testing_support::BecomeUninstaller(*this);
        rows = {installed, "KLM USB Port", "KLMPrintProc"};
        // As the listing makes them: each row with the kind it found.
        for (const auto& row : rows) view.RowCheck(kComponentList, view.RowAdd(kComponentList, row), true);
        state.rowKinds = {uninstall::ComponentKind::Printer, uninstall::ComponentKind::Monitor,
                          uninstall::ComponentKind::Processor};
        state.rowKinds = {uninstall::ComponentKind::Printer, uninstall::ComponentKind::Monitor,
                          uninstall::ComponentKind::Processor};
        view.SetCheck(kUsbRemovalCheck, true);

        // The lines that report progress or success; every other line is an error note.
        cfg::LanguageFile texts = cfg::MessageTexts(p, cfg::Program::Uninstall);
        for (const auto& row : rows) {
            successLines.push_back(uninstall::FormatNoteLine(texts.GetText("IDS_SUCCESS"), row));
            for (const char* key : {"IDS_DELETING1", "IDS_DELETING2", "IDS_DRVDELETING"})
                progressLines.push_back(uninstall::FormatNoteLine(texts.GetText(key), row));
        }
        successLines.push_back(texts.GetText("IDS_DRV_SUCCESS"));
        successLines.push_back(texts.GetText("IDS_DRV_SUCCESS1"));
        // Shown whenever rows are left; says nothing of why.
        for (const char* key : {"IDS_DELETING3", "IDS_SELECTPRN1"}) progressLines.push_back(texts.GetText(key));
    }

    SweepRun pressUninstall(const FaultPoint* fault) {
        SweepRun r = RunWithFault(machine, fault, [&] {
            uninstall::RunUninstallCommand(
                p, state, view, currentItemName, [] { return uninstall::RestartDialog::kAnswerNo; },
                [](std::function<void()> job) { job(); });
        });
        const auto& notes = view.control(kNoteList).items;
        auto noted = [&](const std::string& line) { return std::find(notes.begin(), notes.end(), line) != notes.end(); };
        bool error = false;
        for (const auto& line : notes) {
            const bool known = std::find(successLines.begin(), successLines.end(), line) != successLines.end() ||
                               std::find(progressLines.begin(), progressLines.end(), line) != progressLines.end();
            error = error || (!known && !line.empty());  // an empty line says nothing
            r.said += (r.said.empty() ? "" : " | ") + line;
        }
        if (r.said.size() > 160) r.said = "..." + r.said.substr(r.said.size() - 160);
        const bool allRemoved = std::all_of(successLines.begin(), successLines.end(), noted);
        r.verdict = error ? SweepRun::FailedWithText : allRemoved ? SweepRun::Succeeded : SweepRun::Silent;
        return r;
    }
};

}  // namespace

class RemovalUnderFaults : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(RemovalUnderFaults, ToldTheTruth) {
    const RemovalCase& c = GetParam();
    const std::string what =
        std::string("removal ") + sim::windowsVersionName(c.version) + (c.sixtyFour ? " 64-bit" : " 32-bit");
    const SweepTally t = SweepEveryCall(what, [&](const FaultPoint* fault) {
        Uninstaller m(c);
        if (m.installed.empty()) return SweepRun::notReached("the installation before the removal failed");
        return m.pressUninstall(fault);
    });
    EXPECT_GT(t.injected, 50);
    EXPECT_EQ(t.violations, 0) << t.summary(what);
}

INSTANTIATE_TEST_SUITE_P(Widths, RemovalUnderFaults,
                         ::testing::Values(RemovalCase{WindowsVersion::Win7, false}, RemovalCase{WindowsVersion::Win7, true},
                                           RemovalCase{WindowsVersion::WinXP, false},
                                           RemovalCase{WindowsVersion::Win11, true}),
                         [](const ::testing::TestParamInfo<RemovalCase>& info) {
                             return std::string(sim::windowsVersionName(info.param.version)) +
                                    (info.param.sixtyFour ? "_64" : "_32");
                         });
