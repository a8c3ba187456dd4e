#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/SimDialogView.h"
#include "uninstall/RemovalWorker.h"
#include "uninstall/UninstallControls.h"
#include "EngineMachine.h"
#include "UninstallerState.h"

using sim::WindowsVersion;
using testing_support::EngineMachine;
using namespace uninstall;

namespace {


const char kUsbMonitor[] = "KLM USB Port";
const char kComMonitor[] = "KLM COM Port";
const char kProcessor[] = "KLMPrintProc";
const char kDriver[] = "KLM A100 Receipt";

// A machine with the sample package installed by the engine, and the uninstaller's state,
// dialog and restart answer around it.
struct RemovalMachine : EngineMachine {
    UninstallState state;
    sim::SimDialogView view;
    std::string currentItemName;
    int restartAnswer = RestartDialog::kAnswerNo;
    int restartQuestions = 0;
    bool workerStarted = false;

    explicit RemovalMachine(WindowsVersion version = WindowsVersion::Win7, bool sixtyFour = false)
        : EngineMachine(version, sixtyFour) {
        state = testing_support::BecomeUninstaller(*this);
    }

    std::string installPrinter(const char* port) {
        Result r = install(choices("KLM-A100", cfg::kReceipt, port));
        EXPECT_EQ(r.state, engine::kSucceeded) << r.messages;
        return r.printerName;
    }

    // Rows as the listing makes them: the package's monitors and processor by their names,
    // anything else a printer, unless the kind is given.
    void rows(const std::vector<std::pair<std::string, bool>>& list) {
        for (const auto& row : list) {
            const std::string& name = row.first;
            const bool monitor = name == kUsbMonitor || name == kComMonitor || name == "KLM Language Monitor";
            addRow(name, row.second,
                   monitor ? ComponentKind::Monitor : name == kProcessor ? ComponentKind::Processor : ComponentKind::Printer);
        }
    }
    void addRow(const std::string& name, bool checked, ComponentKind kind) {
        view.RowCheck(kComponentList, view.RowAdd(kComponentList, name), checked);
        state.rowKinds.push_back(kind);
    }

    bool uninstall() {
        workerStarted = false;
        return RunUninstallCommand(
            p, state, view, currentItemName,
            [this] {
                ++restartQuestions;
                return restartAnswer;
            },
            [this](std::function<void()> job) {
                workerStarted = true;
                job();
            });
    }

    std::vector<std::string> rowTexts() {
        std::vector<std::string> texts;
        for (const auto& row : view.control(kComponentList).rows) texts.push_back(row.first);
        return texts;
    }
    const std::vector<std::string>& notes() { return view.control(kNoteList).items; }
    bool noted(const std::string& line) {
        return std::find(notes().begin(), notes().end(), line) != notes().end();
    }
    bool hasMonitor(const char* name) { return machine.spooler.monitor(name) != nullptr; }
    // Replaces one line of the package's language file.
    void setMessage(const std::string& key, const std::string& text) {
        const std::string path = "C:\\PKG\\language\\uninstall.ini";
        std::string file = *machine.files.readFile(path);
        const std::size_t at = file.find("\n" + key + "=") + 1;
        ASSERT_NE(at, 0u) << key;
        file.replace(at, file.find('\n', at) - at, key + "=" + text + "\r");
        machine.files.writeFile(path, file);
    }
};

}  // namespace

TEST(Removal, AJobOnAnyPrinterStopsTheRunBeforeAnythingIsRemoved) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    t.machine.spooler.setJobs(printer, 2);
    t.rows({{printer, false}, {kUsbMonitor, true}, {kProcessor, true}});
    t.view.SetCheck(kUsbRemovalCheck, true);

    EXPECT_FALSE(t.uninstall());
    EXPECT_FALSE(t.workerStarted);
    EXPECT_EQ(t.notes(), std::vector<std::string>{"The printer " + printer +
                                                   " has print jobs waiting. Please let them finish or delete them first."});
    EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
    EXPECT_TRUE(t.machine.spooler.hasProcessor(kProcessor));
    EXPECT_TRUE(t.machine.shell.starts().empty());
    EXPECT_TRUE(t.view.IsEnabled(kUninstallButton));
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);

    // A printer that cannot be read stops it too, naming the item of the last run.
    t.machine.spooler.setJobs(printer, 0);
    t.currentItemName = "Earlier";
    t.machine.faults.failCall("OpenPrinterA", plat::kErrorAccessDenied, 1);
    EXPECT_FALSE(t.uninstall());
    EXPECT_EQ(t.notes().back(), "The printer Earlier cannot be opened.");
    t.machine.faults.failCall("GetPrinterA", plat::kErrorAccessDenied, 1);
    EXPECT_FALSE(t.uninstall());
    EXPECT_EQ(t.notes().back(), "The printer information cannot be read.");
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);
    EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
}

// On 64-bit Windows the same run must find and remove the x64 driver, processor and its
// record, where setup put them.
TEST(Removal, EveryCheckedRowIsRemovedAlthoughTheRowsBelowMoveUp) {
  for (bool sixtyFour : {false, true}) {
    SCOPED_TRACE(sixtyFour ? "64-bit" : "32-bit");
    RemovalMachine t(WindowsVersion::Win7, sixtyFour);
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    const std::string environment = sixtyFour ? "Windows x64" : "Windows NT x86";
    ASSERT_TRUE(t.machine.spooler.hasDriver(kDriver, environment));
    t.rows({{printer, true}, {kUsbMonitor, true}, {kProcessor, true}});

    ASSERT_TRUE(t.uninstall());
    EXPECT_TRUE(t.rowTexts().empty());
    EXPECT_EQ(t.machine.spooler.printer(printer), nullptr);
    EXPECT_FALSE(t.machine.spooler.hasDriver(kDriver, environment));
    EXPECT_FALSE(t.hasMonitor(kUsbMonitor));
    EXPECT_FALSE(t.machine.spooler.hasProcessor(kProcessor, environment));
    EXPECT_FALSE(t.machine.files.fileExistsNative(t.machine.spooler.processorDirectory(environment) + "\\klmproc.dll"));
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" +
                                              environment + "\\Print Processors\\KLMPrintProc"));
    EXPECT_EQ(t.currentItemName, kProcessor);
    const std::vector<std::string> expected = {
        "Removing the printer " + printer + " ...",
        printer + " has been removed.",
        "Removing the printer driver of " + printer + " ...",
        "The printer driver has been removed.",
        "Removing KLM USB Port ...",
        "KLM USB Port has been removed.",
        "Removing KLMPrintProc ...",
        "KLMPrintProc has been removed.",
    };
    EXPECT_EQ(t.notes(), expected);
    EXPECT_EQ(t.view.control(kNoteList).selection, static_cast<int>(expected.size()) - 1);
    EXPECT_EQ(t.restartQuestions, 1);
    EXPECT_TRUE(t.machine.windows.exitRequests.empty()) << "answered No";
    // An empty list leaves only Exit.
    EXPECT_TRUE(t.view.IsEnabled(kExitButton));
    for (int id : {kUninstallButton, kComponentList, kSelectButton, kUsbRemovalCheck}) EXPECT_FALSE(t.view.IsEnabled(id)) << id;
  }
}

TEST(Removal, UncheckedRowsStayAndTheDialogComesBack) {
    RemovalMachine t(WindowsVersion::WinXP);
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    t.rows({{printer, false}, {kUsbMonitor, false}, {kProcessor, true}, {"Unlisted Row", false}});
    t.view.Enable(kUsbRemovalCheck, false);
    // The processor is in use by the printer: nothing is removed, no restart is offered.
    ASSERT_TRUE(t.uninstall());
    EXPECT_EQ(t.rowTexts(), (std::vector<std::string>{printer, kUsbMonitor, kProcessor, "Unlisted Row"}));
    EXPECT_EQ(t.notes(), (std::vector<std::string>{"Removing KLMPrintProc ...",
                                                   "KLMPrintProc is in use and cannot be removed now.",
                                                   "Select the items to remove, then click Uninstall."}));
    EXPECT_EQ(t.machine.faults.timesCalled("DeletePrintProcessorA"), 1) << "no second attempt";
    EXPECT_EQ(t.restartQuestions, 0);
    for (int id : {kUninstallButton, kComponentList, kSelectButton, kExitButton, kUsbRemovalCheck}) EXPECT_TRUE(t.view.IsEnabled(id)) << id;
    // Half a second before each of the four rows, checked or not.
    EXPECT_EQ(std::count(t.machine.clock.sleeps.begin(), t.machine.clock.sleeps.end(), 500u), 4);
}

TEST(Removal, APrinterThatCannotBeOpenedEndsTheRunWithoutUsbStepOrRestart) {
    RemovalMachine t;
    t.installPrinter("USB_KLM-A100_1");
    t.rows({{kComMonitor, true}, {"Vanished Printer", true}, {kUsbMonitor, true}});
    t.view.SetCheck(kUsbRemovalCheck, true);
    t.restartAnswer = RestartDialog::kAnswerYes;

    ASSERT_TRUE(t.uninstall());
    // No COM monitor is installed: that row fails, the printer row aborts.
    EXPECT_EQ(t.notes(), (std::vector<std::string>{"Removing KLM COM Port ...", "KLM COM Port could not be removed.",
                                                   "The printer Vanished Printer cannot be opened.",
                                                   "Select the items to remove, then click Uninstall."}));
    EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
    EXPECT_TRUE(t.machine.shell.starts().empty());
    EXPECT_EQ(t.restartQuestions, 0);
    EXPECT_TRUE(t.view.IsEnabled(kUninstallButton));
}

TEST(Removal, AbortAfterARemovedRowStillOffersNoRestart) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    t.rows({{kProcessor, false}, {kUsbMonitor, true}, {"Vanished Printer", true}});
    t.machine.spooler.setJobs(printer, 0);
    t.restartAnswer = RestartDialog::kAnswerYes;
    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.hasMonitor(kUsbMonitor));
    EXPECT_EQ(t.rowTexts(), (std::vector<std::string>{kProcessor, "Vanished Printer"}));
    EXPECT_EQ(t.restartQuestions, 0);
    EXPECT_TRUE(t.machine.windows.exitRequests.empty());
}

TEST(Removal, QueuedJobsOnTheCheckedPrinterAbortIt) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    t.rows({{printer, true}, {kUsbMonitor, true}});
    RemovalRun run{t.p, t.state, t.view, t.currentItemName, [] { return 1; }};
    t.machine.spooler.setJobs(printer, 1);  // arrived after the pre-check
    EXPECT_EQ(RemovalWorker(run), 1);
    EXPECT_EQ(t.notes().at(1), printer + " is still in use by a printer or has print jobs waiting.");
    EXPECT_NE(t.machine.spooler.printer(printer), nullptr);
    EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);
}

TEST(Removal, MonitorInUseIsRetriedOnceAroundASpoolerRestart) {
    {
        RemovalMachine t;
        const std::string printer = t.installPrinter("USB_KLM-A100_1");
        t.machine.spooler.addMonitorPort(kUsbMonitor, "USB_KLM-A100_1");
        t.rows({{kUsbMonitor, true}});
        ASSERT_TRUE(t.uninstall());
        EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
        EXPECT_EQ(t.machine.faults.timesCalled("DeleteMonitorA"), 2);
        EXPECT_EQ(t.notes().at(1), "KLM USB Port is in use and cannot be removed now.");
        EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME"));
        EXPECT_TRUE(t.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusb.dll"));
        EXPECT_EQ(t.rowTexts(), std::vector<std::string>{kUsbMonitor});
    }
    {
        // Held only until the spooler restarts: removed without an error line.
        RemovalMachine t;
        t.installPrinter("USB_KLM-A100_1");
        t.rows({{kUsbMonitor, true}});
        const int stops = t.machine.faults.timesCalled("ControlService");
        t.machine.faults.failCall("DeleteMonitorA", plat::kErrorPrintMonitorInUse, 1);
        ASSERT_TRUE(t.uninstall());
        EXPECT_FALSE(t.hasMonitor(kUsbMonitor));
        EXPECT_EQ(t.notes(), (std::vector<std::string>{"Removing KLM USB Port ...", "KLM USB Port has been removed."}));
        EXPECT_EQ(t.machine.faults.timesCalled("ControlService") - stops, 2) << "before the retry and after removal";
    }
}

TEST(Removal, PrinterDriverStillUsedByAnotherPrinterIsKept) {
    RemovalMachine t;
    const std::string usb = t.installPrinter("USB_KLM-A100_1");
    const std::string parallel = t.installPrinter("LPT1:");
    t.rows({{usb, true}, {parallel, false}});
    ASSERT_TRUE(t.uninstall());
    EXPECT_EQ(t.machine.spooler.printer(usb), nullptr);
    EXPECT_NE(t.machine.spooler.printer(parallel), nullptr);
    EXPECT_TRUE(t.machine.spooler.hasDriver(kDriver));
    EXPECT_TRUE(t.noted("The printer driver is still used by another printer and was kept."));
    EXPECT_EQ(t.rowTexts(), std::vector<std::string>{parallel});
    EXPECT_EQ(t.restartQuestions, 1) << "the printer itself was removed";
}

TEST(Removal, OtherDriverErrorsEndInTheirCode) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("LPT1:");
    t.rows({{printer, true}});
    t.machine.faults.failCall("DeletePrinterDriverExA", plat::kErrorAccessDenied, 1);
    ASSERT_TRUE(t.uninstall());
    EXPECT_TRUE(t.noted("The printer driver could not be removed.    er=5"));
    EXPECT_EQ(t.state.messageText, "The printer driver could not be removed.    er=5");

    // Without the Ex entry the plain call is used, and a long text with '%' in it is kept
    // as it is, the code still at its end.
    RemovalMachine plain;
    const std::string second = plain.installPrinter("LPT1:");
    plain.state.deletePrinterDriverEx = 0;
    plain.setMessage("IDS_ERR_DRVDEL", "100% %s %d %n failed");
    plain.rows({{second, true}});
    plain.machine.faults.failCall("DeletePrinterDriverA", 1797, 1);
    ASSERT_TRUE(plain.uninstall());
    EXPECT_TRUE(plain.noted("100% %s %d %n failed    er=1797"));
    EXPECT_EQ(plain.machine.faults.timesCalled("DeletePrinterDriverExA"), 0);
}

TEST(Removal, OlderWindowsRemoveThePrinterButNotItsDriver) {
    for (auto version : {WindowsVersion::Nt4, WindowsVersion::Win98}) {
        RemovalMachine t(version);
        const std::string printer = t.installPrinter(version == WindowsVersion::Nt4 ? "LPT1:" : "COM1:");
        t.rows({{printer, true}});
        ASSERT_TRUE(t.uninstall());
        EXPECT_EQ(t.machine.spooler.printer(printer), nullptr) << sim::windowsVersionName(version);
        EXPECT_EQ(t.machine.faults.timesCalled("DeletePrinterDriverA") +
                      t.machine.faults.timesCalled("DeletePrinterDriverExA"),
                  0);
        EXPECT_FALSE(t.noted("Removing the printer driver of " + printer + " ..."));
        EXPECT_TRUE(t.view.IsEnabled(kExitButton));
    }
}

TEST(Removal, Windows98KeepsTheSerialMonitorWhileAPrinterUsesItsPort) {
    RemovalMachine t(WindowsVersion::Win98);
    std::string system;
    t.p.process.GetSystemDirectory(260, &system);
    t.machine.files.writeFile(system + "\\klmcom9x.dll", "monitor");
    plat::MonitorInfo2 monitor;
    monitor.name = std::string(kComMonitor);
    monitor.dllName = std::string("klmcom9x.dll");
    ASSERT_TRUE(t.p.spooler.AddMonitor(monitor));
    const std::string other = t.installPrinter("LPT1:");
    t.machine.spooler.addPort("QXCOM1:");
    plat::PrinterInfo2 info = t.machine.spooler.printer(other)->info;
    info.printerName = std::string("Serial Till");
    info.portName = std::string("QXCOM1:");
    plat::PrinterHandle h = 0;
    ASSERT_TRUE(t.p.spooler.AddPrinter(info, &h));
    t.p.spooler.ClosePrinter(h);
    t.rows({{kComMonitor, true}});

    ASSERT_TRUE(t.uninstall());
    EXPECT_TRUE(t.hasMonitor(kComMonitor));
    EXPECT_EQ(t.machine.faults.timesCalled("DeleteMonitorA"), 0);
    EXPECT_EQ(t.notes(), (std::vector<std::string>{"Removing KLM COM Port ...",
                                                   "KLM COM Port is still in use by a printer or has print jobs waiting.",
                                                   "KLM COM Port is in use and cannot be removed now.",
                                                   "Select the items to remove, then click Uninstall."}));
    // Windows 98 has no USB removal to offer again.
    EXPECT_FALSE(t.view.IsEnabled(kUsbRemovalCheck));

    // Once the serial printer is gone the monitor and its file go.
    t.p.spooler.OpenPrinter("Serial Till", &h);
    t.p.spooler.DeletePrinter(h);
    t.p.spooler.ClosePrinter(h);
    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.hasMonitor(kComMonitor));
    EXPECT_FALSE(t.machine.files.fileExistsNative(system + "\\klmcom9x.dll"));
}

TEST(Removal, PackageRecordsGoOnlyWithTheUsbMonitor) {
    RemovalMachine t(WindowsVersion::WinXP);
    t.installPrinter("USB_KLM-A100_1");
    // A 32-bit Windows: the COM monitor leaves the package's records alone.
    std::string system;
    t.p.process.GetSystemDirectory(260, &system);
    for (const char* f : {"klmcom.dll", "klmcomui.dll"}) t.machine.files.writeFile(system + "\\" + f, f);
    plat::MonitorInfo2 com;
    com.name = std::string(kComMonitor);
    com.dllName = std::string("klmcom.dll");
    ASSERT_TRUE(t.p.spooler.AddMonitor(com));
    t.machine.registry.poke("HKLM\\SOFTWARE\\TARVEKO\\INSTALLPRINTER", "x", plat::kRegDword, {1, 0, 0, 0});
    t.rows({{kComMonitor, true}});
    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.hasMonitor(kComMonitor));
    EXPECT_FALSE(t.machine.files.fileExistsNative(system + "\\klmcomui.dll"));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME"));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\INSTALLPRINTER"));

    t.rows({{kUsbMonitor, true}});
    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME"));
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\INSTALLPRINTER"));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT"));
    // The language monitor named by the section goes with its key. Its file stays: the
    // spooler, started again before the files are deleted, still has it loaded, which is
    // why a restart is offered afterwards.
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KLM Language Monitor"));
    for (const char* f : {"klmusb.dll", "klmusbui.dll"})
        EXPECT_FALSE(t.machine.files.fileExistsNative(system + "\\" + f)) << f;
    EXPECT_TRUE(t.machine.files.fileExistsNative(system + "\\klmlm.dll"));
}

TEST(Removal, On64BitWindowsMonitorFilesGoFromTheRealSystemFolder) {
    RemovalMachine t(WindowsVersion::Win7, true);
    t.installPrinter("USB_KLM-A100_1");
    // A look-alike where a 32-bit program is sent by default must survive.
    t.machine.files.writeFile("C:\\WINDOWS\\SysWOW64\\klmusb.dll", "32-bit look-alike");
    ASSERT_TRUE(t.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusbui.dll"));
    t.rows({{kUsbMonitor, true}});

    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.hasMonitor(kUsbMonitor));
    EXPECT_FALSE(t.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusb.dll"));
    EXPECT_FALSE(t.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusbui.dll"));
    EXPECT_TRUE(t.machine.files.fileExistsNative("C:\\WINDOWS\\SysWOW64\\klmusb.dll"));
    EXPECT_EQ(t.machine.registry.openHandleCount(), 0u);

    // Redirection that cannot be switched off leaves the files where they are.
    RemovalMachine stuck(WindowsVersion::Win7, true);
    stuck.installPrinter("USB_KLM-A100_1");
    stuck.rows({{kUsbMonitor, true}});
    stuck.machine.faults.failCall("Wow64DisableWow64FsRedirection", plat::kErrorAccessDenied);
    ASSERT_TRUE(stuck.uninstall());
    EXPECT_FALSE(stuck.hasMonitor(kUsbMonitor));
    EXPECT_TRUE(stuck.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusb.dll"));
    EXPECT_TRUE(stuck.machine.files.fileExistsNative("C:\\WINDOWS\\System32\\klmusbui.dll"));
}

// Disabled until the registry interface can delete a key in a chosen view
// (RegDeleteKeyExA with KEY_WOW64_64KEY): RegDeleteKeyA of a 32-bit program, even
// relative to a key opened in the 64-bit view, deletes in Wow6432Node, and so does the
// simulated registry.
TEST(Removal, On64BitWindowsPackageRecordsGoFromThe64BitView) {
    RemovalMachine t(WindowsVersion::Win7, true);
    t.installPrinter("USB_KLM-A100_1");
    t.machine.registry.poke("HKLM\\SOFTWARE\\Wow6432Node\\TARVEKO\\PORTNAME", "x", plat::kRegDword, {1, 0, 0, 0});
    t.machine.registry.poke("HKLM\\SOFTWARE\\TARVEKO\\INSTALLPRINTER", "x", plat::kRegDword, {1, 0, 0, 0});
    t.rows({{kUsbMonitor, true}});
    ASSERT_TRUE(t.uninstall());
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME"));
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\INSTALLPRINTER"));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT"));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node\\TARVEKO\\PORTNAME"));
}

TEST(Removal, UsbDriverAloneIsRemovedThroughItsInstallerWithoutRestart) {
    for (bool sixtyFour : {false, true}) {
        RemovalMachine t(WindowsVersion::Win7, sixtyFour);
        const std::string printer = t.installPrinter("LPT1:");
        const std::string installer =
            sixtyFour ? "C:\\PKG\\USBDrv\\USBDriver_x64\\Install.exe" : "C:\\PKG\\USBDrv\\USBDriver\\Install.exe";
        std::string parameters;
        t.machine.shell.defineProgram(installer, {"USB Driver Installer", 3200, [&](const std::string& args) {
                                                      parameters = args;
                                                  }});
        t.rows({{printer, false}});
        t.view.SetCheck(kUsbRemovalCheck, true);
        const std::uint32_t started = t.machine.clock.GetTickCount();
        ASSERT_TRUE(t.uninstall());
        ASSERT_EQ(t.machine.shell.starts().size(), 1u);
        EXPECT_EQ(t.machine.shell.starts()[0].verb, "open");
        EXPECT_EQ(t.machine.shell.starts()[0].file, installer);
        EXPECT_EQ(parameters, "22");
        EXPECT_EQ(t.notes(), (std::vector<std::string>{"Removing the USB device driver ...",
                                                       "The USB device driver installer has finished.",
                                                       "Select the items to remove, then click Uninstall."}));
        // Not before the installer's window has closed.
        EXPECT_GE(t.machine.clock.GetTickCount() - started, 500u + 3200u + 1500u);
        EXPECT_FALSE(t.machine.windows.FindWindowByAnsiTitle("USB Driver Installer"));
        EXPECT_EQ(t.restartQuestions, 0);
        EXPECT_NE(t.machine.spooler.printer(printer), nullptr);
    }
}

TEST(Removal, RestartIsAskedOnceAndYesRestarts) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("LPT1:");
    t.rows({{printer, true}});
    t.restartAnswer = RestartDialog::kAnswerYes;
    ASSERT_TRUE(t.uninstall());
    EXPECT_EQ(t.restartQuestions, 1);
    EXPECT_TRUE(t.machine.security.shutdownPrivilegeEnabled);
    EXPECT_EQ(t.machine.windows.exitRequests, std::vector<std::uint32_t>{2});
}

TEST(Removal, LanguageTextsAreNeverUsedAsFormats) {
    EXPECT_EQ(FormatNoteLine("%s %s %n %x", "KLM USB Port"), "KLM USB Port %s %n %x");
    EXPECT_EQ(FormatNoteLine("100%% of %d, %s!", "X"), "100%% of %d, X!");
    EXPECT_EQ(FormatNoteLine("no argument", "X"), "no argument");
    EXPECT_EQ(FormatNoteLine("%s", "a %s b"), "a %s b") << "the name is not searched again";
    EXPECT_EQ(FormatNoteLine("%", "X"), "%");
    EXPECT_EQ(FormatNoteLine("%s", std::string(2000, 'n')).size(), 1023u);

    RemovalMachine t;
    t.installPrinter("USB_KLM-A100_1");
    t.setMessage("IDS_DELETING1", "%s %s %n %x %p");
    t.setMessage("IDS_SUCCESS", "%n%n%n%s");
    t.rows({{kUsbMonitor, true}});
    ASSERT_TRUE(t.uninstall());
    EXPECT_EQ(t.notes().at(0), "KLM USB Port %s %n %x %p");
    EXPECT_EQ(t.notes().at(1), "%n%n%nKLM USB Port");
}

// Uninstall.ini values become file names and registry paths: one that reaches outside the
// system folder (or names nothing at all) must never make the removal delete something
// else. A refused row is left whole, with a line saying why.
TEST(Removal, UninstallIniValuesThatAreNotPlainNamesRemoveNothing) {
    struct Case {
        const char* key;
        const char* value;
        bool refused;
    };
    const Case cases[] = {
        {"MonitorPDLLName", "..\\\\victim.dll", true},
        {"MONitorPUIDLLName", "sub/victim.dll", true},
        {"USBMONitorName", "Local Port\\\\Ports", true},
        {"MonitorPDLLName", "C:victim.dll", true},
        {"USBMONitorName", "", false},  // names no key: ...\Monitors itself must survive
    };
    for (const Case& c : cases) {
        RemovalMachine t;
        t.installPrinter("USB_KLM-A100_1");
        std::string ini = *t.machine.files.readFile("C:\\PKG\\DRVCONFIG\\Uninstall.ini");
        const std::size_t section = ini.find("[KLMUSBPort.Win7]");
        const std::size_t at = ini.find(std::string(c.key) + "=", section);
        ini.replace(at, ini.find('\r', at) - at, std::string(c.key) + "=" + c.value);
        t.machine.files.writeFile("C:\\PKG\\DRVCONFIG\\Uninstall.ini", ini);
        t.machine.files.writeFile("C:\\WINDOWS\\victim.dll", "someone else's");
        t.machine.registry.poke("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port\\Ports", "x",
                                plat::kRegDword, {1, 0, 0, 0});
        t.rows({{kUsbMonitor, true}});
        ASSERT_TRUE(t.uninstall());
        EXPECT_EQ(t.hasMonitor(kUsbMonitor), c.refused) << c.value;
        EXPECT_EQ(t.noted(std::string(c.value) + " in Uninstall.ini is not a plain file name; nothing was removed for it."),
                  c.refused)
            << c.value;
        EXPECT_TRUE(t.machine.files.fileExists("C:\\WINDOWS\\victim.dll")) << c.value;
        EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port\\Ports"))
            << c.value;
    }
}

// A row is what the listing found it to be: a printer that happens to carry a monitor's
// name is removed as a printer, and the monitor stays.
TEST(Removal, APrinterNamedLikeAMonitorNeverRemovesTheMonitor) {
    RemovalMachine t;
    const std::string printer = t.installPrinter("USB_KLM-A100_1");
    plat::PrinterInfo2 info = t.machine.spooler.printer(printer)->info;
    info.printerName = std::string(kUsbMonitor);
    plat::PrinterHandle h = 0;
    ASSERT_TRUE(t.p.spooler.AddPrinter(info, &h));
    t.p.spooler.ClosePrinter(h);
    t.addRow(kUsbMonitor, true, ComponentKind::Printer);
    ASSERT_TRUE(t.uninstall());
    EXPECT_EQ(t.machine.spooler.printer(kUsbMonitor), nullptr);
    EXPECT_TRUE(t.hasMonitor(kUsbMonitor));
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME"));
    EXPECT_TRUE(t.state.rowKinds.empty()) << "the kind went with its row";
}
