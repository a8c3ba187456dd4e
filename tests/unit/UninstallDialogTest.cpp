// The uninstaller's dialog, control by control, on simulated machines with the sample
// package's components installed by the engine.
#include <gtest/gtest.h>

#include <memory>

#include "config/CompatibilityAssistant.h"
#include "config/LanguageFile.h"
#include "platform/sim/SimDialogView.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallIni.h"
#include "EngineMachine.h"

using namespace uninstall;
using sim::WindowsVersion;
using testing_support::EngineMachine;
using Outcome = UninstallDialog::InitOutcome;

namespace {

using Rows = std::vector<std::string>;

struct DialogMachine : EngineMachine {
    sim::SimDialogView view;
    UninstallState state;
    std::unique_ptr<UninstallDialog> dialog;
    const plat::WindowHandle self = 0x7700;

    explicit DialogMachine(WindowsVersion version = WindowsVersion::Win7, bool x64 = false)
        : EngineMachine(version, x64) {
        machine.process.imagePath = std::string(testing_support::kProgramFolder) + "\\uninstall.exe";
    }

    void installSample(const char* model, int category, const char* port) {
        auto r = install(choices(model, category, port));
        ASSERT_EQ(r.state, engine::kSucceeded) << model << " " << port << ": " << r.messages;
    }
    // A printer on LPT1: with a driver of its own, which the package must never offer.
    void addForeignPrinter(const std::string& printerName, const std::string& driverName) {
        const std::string dir = machine.spooler.driverDirectory();
        for (const char* f : {"F.DLL", "F.GPD", "FUI.DLL"}) machine.files.writeFile(dir + "\\" + f, f);
        if (!machine.spooler.hasDriver(driverName)) {
            plat::DriverInfo3 driver;
            driver.version = 3;
            driver.name = driverName;
            driver.driverPath = std::string("F.DLL");
            driver.dataFile = std::string("F.GPD");
            driver.configFile = std::string("FUI.DLL");
            ASSERT_TRUE(machine.spooler.AddPrinterDriver(driver));
        }
        addPrinterOn(printerName, driverName);
    }
    void addPrinterOn(const std::string& printerName, const std::string& driverName) {
        plat::PrinterInfo2 info;
        info.printerName = printerName;
        info.driverName = driverName;
        info.portName = std::string("LPT1:");
        info.printProcessor = std::string("WinPrint");
        info.datatype = std::string("RAW");
        plat::PrinterHandle h = 0;
        ASSERT_TRUE(machine.spooler.AddPrinter(info, &h));
        machine.spooler.ClosePrinter(h);
    }
    // A file in the real system32\drivers, whatever redirection the program sees.
    void putUsbDriverFile(const char* name) {
        const bool wasOn = machine.files.redirectionEnabled();
        machine.files.setRedirection(is64, false, machine.process.windowsDir);
        machine.files.writeFile(machine.process.windowsDir + "\\system32\\drivers\\" + name, "sys");
        machine.files.setRedirection(is64, wasOn, machine.process.windowsDir);
    }

    Outcome open(int useChineseFont = 0) {
        dialog = std::make_unique<UninstallDialog>(p, state, view);
        dialog->useChineseFont = useChineseFont;
        return dialog->OnInitDialog(self);
    }
    Rows rows() {
        Rows r;
        for (const auto& row : view.control(kComponentList).rows) r.push_back(row.first);
        return r;
    }
    std::string message(const char* key) { return cfg::MessageTexts(p, cfg::Program::Uninstall).GetText(key); }
    std::string uninstallText(const char* key) {
        return cfg::LanguageFile(p, cfg::Program::Uninstall, "Uninstall").GetText(key);
    }
    std::vector<std::string> boxTexts() {
        std::vector<std::string> t;
        for (const auto& b : boxes()) t.push_back(b.text);
        return t;
    }
    bool compatibilityMarked() {
        return machine.registry
            .peek(std::string("HKCU\\") + cfg::kCompatibilityPersistedKey, machine.process.imagePath)
            .has_value();
    }
};

}  // namespace

// The package's receipt printer on two ports, a ticket printer on USB, one more printer
// of any name on the package's driver, and printers the package has nothing to do with.
TEST(UninstallDialog, ListsThePackagesPrintersThenMonitorsAndLeavesOthersOut) {
    DialogMachine m;
    m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
    m.installSample("KLM-A100", cfg::kReceipt, "COM1:");  // driver "KLM A100 Receipt Serial"
    m.installSample("KLM-B200", cfg::kTicket, "USB_KLM-B200_1");
    m.addPrinterOn("Front desk", "KLM A100 Receipt");
    m.addForeignPrinter("KLM A100 Receipt copy", "Generic / Text Only");  // the name is no driver
    m.addForeignPrinter("Office 0", "Office Laser 0");
    const int librariesBefore = m.machine.process.loadedLibraryCount();

    EXPECT_EQ(m.open(), Outcome::Ready);
    // Printers in the spooler's order, then monitors; the language monitor that comes
    // with the USB monitor is not named by Uninstall.ini.
    const Rows printersAndMonitors = {"Front desk",   "KLM-A100(P)",  "KLM-A100(S)",
                                      "KLM-B200(U) 1", "KLM COM Port", "KLM USB Port"};
    const Rows rows = m.rows();
    ASSERT_GE(rows.size(), printersAndMonitors.size());
    EXPECT_EQ(Rows(rows.begin(), rows.begin() + 6), printersAndMonitors);
    for (const auto& row : m.view.control(kComponentList).rows) EXPECT_FALSE(row.second) << row.first;

    EXPECT_FALSE(m.view.closed());
    EXPECT_TRUE(m.view.IsEnabled(kSelectButton));
    EXPECT_EQ(m.view.control(kNoteList).items, Rows{m.message("IDS_SELECTPRN1")});
    EXPECT_EQ(m.view.GetText(kNoteText), m.uninstallText("Note"));
    EXPECT_EQ(m.view.GetText(kUninstallButton), m.uninstallText("Uninstall"));
    EXPECT_EQ(m.view.GetText(kSelectButton), m.uninstallText("Select"));
    EXPECT_EQ(m.view.GetText(kExitButton), m.uninstallText("Exit"));
    EXPECT_EQ(m.view.GetText(kUsbRemovalCheck), m.uninstallText("USBuninstall"));
    EXPECT_EQ(m.view.caption(), m.uninstallText("Title"));
    EXPECT_FALSE(m.view.GetText(kNoteText).empty());
    EXPECT_EQ(m.dialog->aboutMenuText(), m.message("IDS_ABOUTBOX"));
    EXPECT_FALSE(m.dialog->applyChineseFont());
    EXPECT_EQ(m.state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    EXPECT_EQ(m.state.osClass, cfg::kOsWin7);
    EXPECT_NE(m.state.deletePrinterDriverEx, 0u);
    EXPECT_TRUE(m.boxes().empty());

    // The spooler library stays loaded for the removal and goes with the dialog.
    EXPECT_EQ(m.machine.process.loadedLibraryCount(), librariesBefore + 1);
    m.dialog.reset();
    EXPECT_EQ(m.machine.process.loadedLibraryCount(), librariesBefore);
    EXPECT_EQ(m.state.deletePrinterDriverEx, 0u);
}

// Names come back from the spooler as they were added; the file's entries are matched
// case-sensitively, so a processor listed under another case is never offered.
TEST(UninstallDialog, PrintProcessorIsListedLastInTheEnvironmentOfTheRunningSystem) {
    for (bool x64 : {false, true}) {
        DialogMachine m(WindowsVersion::Win7, x64);
        m.installSample("KLM-A100", cfg::kReceipt, "COM1:");
        m.installSample("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
        EXPECT_EQ(m.open(), Outcome::Ready);
        EXPECT_EQ(m.state.is64BitWindows, x64);
        // The engine leaves the serial monitor out on 64-bit Windows.
        const Rows expected = x64 ? Rows{"KLM-A100(S)", "KLM-A100(U) 1", "KLM USB Port", "KLMPrintProc"}
                                  : Rows{"KLM-A100(S)", "KLM-A100(U) 1", "KLM COM Port", "KLM USB Port", "KLMPrintProc"};
        EXPECT_EQ(m.rows(), expected) << x64;
    }
}

// Windows 8 and later list what Windows 7 lists, and Select then Uninstall takes all of it
// away, package records included.
TEST(UninstallDialog, NewerWindowsListAndRemoveAsWindows7Does) {
    for (auto [version, x64] : {std::pair{WindowsVersion::Win10, false}, {WindowsVersion::Win10, true},
                                {WindowsVersion::Win11, true}}) {
        const std::string name = std::string(windowsVersionName(version)) + (x64 ? " 64-bit" : "");
        DialogMachine m(version, x64);
        m.installSample("KLM-A100", cfg::kReceipt, "COM1:");
        m.installSample("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
        ASSERT_EQ(m.open(), Outcome::Ready) << name;
        const Rows expected = x64 ? Rows{"KLM-A100(S)", "KLM-A100(U) 1", "KLM USB Port", "KLMPrintProc"}
                                  : Rows{"KLM-A100(S)", "KLM-A100(U) 1", "KLM COM Port", "KLM USB Port", "KLMPrintProc"};
        EXPECT_EQ(m.rows(), expected) << name;

        m.dialog->startWorker = [](std::function<void()> job) { job(); };
        m.dialog->OnSelect();
        m.dialog->OnUninstall();
        m.dialog->OnRemovalFinished();
        EXPECT_EQ(m.rows(), Rows{}) << name;
        EXPECT_EQ(m.machine.spooler.printer("KLM-A100(S)"), nullptr) << name;
        EXPECT_EQ(m.machine.spooler.monitor("KLM USB Port"), nullptr) << name;
        EXPECT_FALSE(m.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME")) << name;
    }
}

// Entries match as substrings: a broad entry must still never take in what Windows
// installs itself, on any version.
TEST(UninstallDialog, WindowsOwnMonitorsAndProcessorsAreNeverListed) {
    for (WindowsVersion version : {WindowsVersion::WinXP, WindowsVersion::Vista, WindowsVersion::Win7}) {
        DialogMachine m(version, false);
        m.installSample("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
        std::string ini = *m.machine.files.readFile("C:\\PKG\\DRVCONFIG\\Uninstall.ini");
        for (auto [from, to] : {std::pair<std::string, std::string>{"MonitorNUM=2", "MonitorNUM=5"},
                                {"MONITORNAME2=KLM USB Port", "MONITORNAME2=KLM USB Port\r\nMONITORNAME3=USB\r\n"
                                                              "MONITORNAME4=Port\r\nMONITORNAME5=Monitor"},
                                {"PROCNUM=1", "PROCNUM=2"},
                                {"PROCNAME1=KLMPrintProc", "PROCNAME1=KLMPrintProc\r\nPROCNAME2=Print"}})
            ini.replace(ini.find(from), from.size(), to);
        m.machine.files.writeFile("C:\\PKG\\DRVCONFIG\\Uninstall.ini", ini);
        EXPECT_EQ(m.open(), Outcome::Ready);
        // The package's own language monitor matches "Monitor" and is the package's to remove.
        EXPECT_EQ(m.rows(), (Rows{"KLM-A100(U) 1", "KLM Language Monitor", "KLM USB Port", "KLMPrintProc"}))
            << sim::windowsVersionName(version);
    }
}

TEST(UninstallDialog, ListingReadsUninstallIniOnceAndAgreesWithTheSingleLookups) {
    auto profileReadsFor = [](int extraPrinters, Rows* rows, Rows* perCall) {
        DialogMachine m;
        m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
        for (int i = 0; i < extraPrinters; ++i) {
            m.addForeignPrinter("Foreign " + std::to_string(i), "Other Driver");
            m.addPrinterOn("Package " + std::to_string(i), "KLM A100 Receipt");
        }
        const int before = m.machine.faults.timesCalled("GetPrivateProfileStringA");
        *rows = ListRemovableComponents(m.p, [&] {
            UninstallState s;
            s.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
            s.osClass = cfg::kOsWin7;
            return s;
        }());
        const int reads = m.machine.faults.timesCalled("GetPrivateProfileStringA") - before;
        UninstallState s;
        s.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
        s.osClass = cfg::kOsWin7;
        perCall->clear();
        for (const auto& n : EnumerateLocalPrinters(m.p))
            if (IsListedPrinter(m.p, s, n)) perCall->push_back(n);
        for (const auto& n : EnumerateMonitors(m.p))
            if (IsListedMonitor(m.p, s, n)) perCall->push_back(n);
        for (const auto& n : EnumerateProcessors(m.p, s))
            if (IsListedProcessor(m.p, s, n)) perCall->push_back(n);
        return reads;
    };
    Rows few, fewPerCall, many, manyPerCall;
    const int readsFew = profileReadsFor(0, &few, &fewPerCall);
    const int readsMany = profileReadsFor(20, &many, &manyPerCall);
    EXPECT_EQ(readsFew, readsMany) << "reads must not grow with the printers";
    // 3 counts and 9 + 2 + 1 entries of the sample file.
    EXPECT_EQ(readsMany, 15);
    EXPECT_EQ(few, fewPerCall);
    EXPECT_EQ(many, manyPerCall);
    EXPECT_EQ(std::count(many.begin(), many.end(), "Package 7"), 1);
    EXPECT_EQ(std::count(many.begin(), many.end(), "Foreign 7"), 0);
    EXPECT_EQ(many.size(), few.size() + 20);
}

TEST(UninstallDialog, NothingToRemoveDisablesSelectAndStillShowsThePrompt) {
    DialogMachine m;  // the package's folder, but nothing of it installed
    m.addForeignPrinter("Office", "Office Laser");
    EXPECT_EQ(m.open(), Outcome::Ready);
    EXPECT_FALSE(m.view.closed());
    EXPECT_TRUE(m.rows().empty());
    EXPECT_FALSE(m.view.IsEnabled(kSelectButton));
    EXPECT_TRUE(m.view.IsEnabled(kUninstallButton));
    EXPECT_EQ(m.view.control(kNoteList).items, Rows{m.message("IDS_SELECTPRN1")});
    EXPECT_EQ(m.view.GetText(kSelectButton), m.uninstallText("Select"));
}

TEST(UninstallDialog, UserWithoutAdministratorRightsIsSentAwayFrom2000On) {
    for (auto version : {WindowsVersion::Win2000, WindowsVersion::WinXP, WindowsVersion::Vista, WindowsVersion::Win7}) {
        DialogMachine m(version);
        m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
        m.machine.security.setUser(false);
        const int searches = m.machine.faults.timesCalled("FindFirstFileA");
        EXPECT_EQ(m.open(), Outcome::Closed);
        EXPECT_TRUE(m.view.closed());
        ASSERT_EQ(m.boxTexts(), Rows{m.message("IDS_ADMIN")});
        EXPECT_EQ(m.boxes()[0].owner, m.self);
        EXPECT_EQ(m.machine.faults.timesCalled("FindFirstFileA"), searches) << "no search for Uninstall.ini";
        EXPECT_TRUE(m.rows().empty());
        EXPECT_TRUE(m.view.control(kNoteList).items.empty());
        EXPECT_FALSE(m.compatibilityMarked());
    }
    // Windows 9x and NT 4 are not asked.
    for (auto version : {WindowsVersion::Win98, WindowsVersion::Nt4}) {
        DialogMachine m(version);
        m.machine.security.setUser(false);
        EXPECT_NE(m.open(), Outcome::Closed);
        EXPECT_FALSE(m.view.closed());
        EXPECT_EQ(m.view.caption(), m.uninstallText("Title"));
    }
}

TEST(UninstallDialog, MissingUninstallIniClosesTheDialogWithItsMessage) {
    DialogMachine m;
    m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
    // The package folder is read-only here: work from a copy that lacks the file.
    m.machine.files.writeFile("C:\\COPY\\language\\uninstall.ini",
                              *m.machine.files.readFile("C:\\PKG\\language\\uninstall.ini"));
    m.machine.files.writeFile("C:\\COPY\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=1\r\n");
    m.machine.process.currentDir = "C:\\COPY";
    EXPECT_EQ(m.open(), Outcome::Closed);
    EXPECT_TRUE(m.view.closed());
    EXPECT_EQ(m.boxTexts(), Rows{m.message("IDS_ERR_NOINI")});
    EXPECT_FALSE(m.message("IDS_ERR_NOINI").empty());
    EXPECT_EQ(m.machine.faults.timesCalled("EnumPrintersA"), 0);
    EXPECT_TRUE(m.rows().empty());
    EXPECT_TRUE(m.view.control(kNoteList).items.empty());
}

TEST(UninstallDialog, Windows98ListsMonitorsButNeverAPrintProcessor) {
    DialogMachine m(WindowsVersion::Win98);
    m.installSample("KLM-A100", cfg::kReceipt, "COM1:");
    m.installSample("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
    ASSERT_TRUE(m.machine.spooler.hasProcessor("KLMPrintProc", "Windows 4.0"));
    EXPECT_EQ(m.open(), Outcome::Ready);
    EXPECT_EQ(m.state.osClass, cfg::kOsWin9x);
    EXPECT_EQ(m.rows(), (Rows{"KLM-A100(S)", "KLM-A100(U) 1", "KLM USB Port"}));
    EXPECT_GT(m.machine.faults.timesCalled("EnumPrintProcessorsA"), 0) << "still enumerated";
    EXPECT_EQ(m.state.deletePrinterDriverEx, 0u) << "Windows 98's spooler has no DeletePrinterDriverExA";
}

TEST(UninstallDialog, UsbRemovalNeedsADriverFileAndAPrinterThatAnswers) {
    struct Case {
        const char* name;
        std::vector<const char*> files;
        bool library;
        std::vector<std::uint16_t> printers;
        bool enabled;
        Rows boxes;
    };
    const Case cases[] = {
        {"no driver file, printer connected", {}, true, {9}, false, {}},
        {"VORUZA.sys and one printer", {"VORUZA.sys"}, true, {9}, true, {}},
        {"BULKUSB.sys and one printer", {"BULKUSB.sys"}, true, {1}, true, {}},
        {"driver file, no printer", {"VORUZA.sys"}, true, {}, false, {}},
        {"two printers, no message", {"VORUZA.sys", "BULKUSB.sys"}, true, {1, 2}, true, {}},
        {"no USB library", {"VORUZA.sys"}, false, {9}, false, {"Can not load RuZuvUzu.dll"}},
    };
    for (const auto& c : cases) {
        DialogMachine m;
        for (const char* f : c.files) m.putUsbDriverFile(f);
        m.machine.usb.installLibrary(c.library);
        m.machine.usb.printers = c.printers;
        EXPECT_EQ(m.open(), Outcome::Ready) << c.name;
        EXPECT_EQ(m.view.IsEnabled(kUsbRemovalCheck), c.enabled) << c.name;
        EXPECT_FALSE(m.view.IsChecked(kUsbRemovalCheck)) << c.name;
        EXPECT_EQ(m.boxTexts(), c.boxes) << c.name;
        EXPECT_EQ(m.machine.usb.openHandles(), 0) << c.name;
    }
}

TEST(UninstallDialog, SixtyFourBitWindowsLooksForTheDriverInTheRealSystemFolder) {
    DialogMachine m(WindowsVersion::Win7, true);
    m.putUsbDriverFile("VORUZA.sys");  // in system32\drivers, invisible to a 32-bit program
    m.machine.usb.installLibrary(true);
    m.machine.usb.printers = {9};
    EXPECT_EQ(m.open(), Outcome::Ready);
    EXPECT_TRUE(m.view.IsEnabled(kUsbRemovalCheck));
    EXPECT_TRUE(m.machine.files.redirectionEnabled()) << "switched back on";
    EXPECT_TRUE(m.compatibilityMarked());
    EXPECT_TRUE(m.boxes().empty());

    // A file only in SysWOW64\drivers is no installed USB driver.
    DialogMachine wow(WindowsVersion::Win7, true);
    wow.machine.files.writeFile("C:\\WINDOWS\\SysWOW64\\drivers\\VORUZA.sys", "sys");
    wow.machine.usb.installLibrary(true);
    wow.machine.usb.printers = {9};
    EXPECT_EQ(wow.open(), Outcome::Ready);
    EXPECT_FALSE(wow.view.IsEnabled(kUsbRemovalCheck));
}

TEST(UninstallDialog, RedirectionTroubleLeavesTheUsbRemovalOnOffer) {
    // Redirection cannot be switched off: the initialisation ends before the USB decision
    // and before the compatibility step.
    DialogMachine refused(WindowsVersion::Win7, true);
    refused.machine.faults.failCall("Wow64DisableWow64FsRedirection", plat::kErrorAccessDenied);
    EXPECT_EQ(refused.open(), Outcome::RedirectionUnavailable);
    EXPECT_TRUE(refused.view.IsEnabled(kUsbRemovalCheck));
    EXPECT_FALSE(refused.compatibilityMarked());
    EXPECT_TRUE(refused.boxes().empty());
    EXPECT_EQ(refused.view.caption(), refused.uninstallText("Title"));

    // The switch back is missing: say so, and decide all the same.
    DialogMachine noRevert(WindowsVersion::Win7, true);
    noRevert.machine.process.removeExport("kernel32.dll", "Wow64RevertWow64FsRedirection");
    EXPECT_EQ(noRevert.open(), Outcome::Ready);
    EXPECT_EQ(noRevert.boxTexts(), Rows{"Can't Get Function Wow64RevertWow64FsRedirection Address"});
    EXPECT_FALSE(noRevert.view.IsEnabled(kUsbRemovalCheck));
}

TEST(UninstallDialog, MissingSpoolerLibraryKeepsTheDialogOpenWithoutTheUsbDecision) {
    DialogMachine m;
    m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
    m.machine.process.removeLibrary("winspool.drv");
    EXPECT_EQ(m.open(), Outcome::NoSpoolerLibrary);
    EXPECT_FALSE(m.view.closed());
    EXPECT_EQ(m.boxTexts(), Rows{"no Winspool lib  "});
    EXPECT_EQ(m.boxes()[0].owner, m.self);
    EXPECT_TRUE(m.view.IsEnabled(kUsbRemovalCheck)) << "no file was looked for";
    EXPECT_FALSE(m.compatibilityMarked());
    EXPECT_EQ(m.state.deletePrinterDriverEx, 0u);
    EXPECT_FALSE(m.rows().empty());
}

TEST(UninstallDialog, CompatibilityValueIsWrittenOnVistaAndSevenOnly) {
    for (auto [version, marked] : {std::pair{WindowsVersion::Vista, true}, {WindowsVersion::Win7, true},
                                   {WindowsVersion::WinXP, false}, {WindowsVersion::Server2008, false},
                                   {WindowsVersion::Win10, true}, {WindowsVersion::Server2019, false}}) {
        DialogMachine m(version);  // nothing installed, nothing to remove
        EXPECT_EQ(m.open(), Outcome::Ready);
        EXPECT_EQ(m.compatibilityMarked(), marked) << windowsVersionName(version);
    }
}

TEST(UninstallDialog, SelectChecksEveryRowAndNeverClearsOne) {
    DialogMachine m;
    m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
    m.installSample("KLM-A100", cfg::kReceipt, "COM1:");
    m.installSample("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
    ASSERT_EQ(m.open(), Outcome::Ready);
    ASSERT_GE(m.rows().size(), 5u);
    m.view.RowCheck(kComponentList, 1, true);
    m.dialog->OnSelect();
    for (const auto& row : m.view.control(kComponentList).rows) EXPECT_TRUE(row.second) << row.first;
    m.dialog->OnSelect();
    for (const auto& row : m.view.control(kComponentList).rows) EXPECT_TRUE(row.second) << row.first;
}

// The worker drives the dialog's controls up to its last step: from the Uninstall button
// until the worker has finished, no way of closing may end the dialog.
TEST(UninstallDialog, CloseIsRefusedWhileTheRemovalRuns) {
    enum Phase { Idle, Running, Finished, Refused /* a print job stops the run before the worker */ };
    using Route = UninstallDialog::CloseRoute;
    struct Case {
        Phase phase;
        Route route;
        bool handled;
        bool closed;
    } cases[] = {
        {Idle, Route::Cancel, true, true},
        {Idle, Route::CloseMessage, true, true},
        {Idle, Route::SystemClose, false, false},  // left to Windows, which sends WM_CLOSE
        {Running, Route::Cancel, true, false},
        {Running, Route::CloseMessage, true, false},
        {Running, Route::SystemClose, true, false},
        {Finished, Route::Cancel, true, true},
        {Refused, Route::CloseMessage, true, true},
    };
    for (const auto& c : cases) {
        DialogMachine m;
        m.installSample("KLM-A100", cfg::kReceipt, "LPT1:");
        ASSERT_EQ(m.open(), Outcome::Ready);
        m.view.RowCheck(kComponentList, 0, true);
        const std::size_t rowsBefore = m.rows().size();
        if (c.phase == Refused) m.machine.spooler.setJobs("KLM-A100(P)", 1);
        std::vector<std::function<void()>> workers;
        m.dialog->startWorker = [&](std::function<void()> job) { workers.push_back(std::move(job)); };
        if (c.phase != Idle) {
            m.dialog->OnUninstall();
            m.dialog->OnUninstall();  // a second press before the worker disables the button
        }
        ASSERT_EQ(workers.size(), c.phase == Running || c.phase == Finished ? 1u : 0u) << c.phase;
        if (c.phase == Finished) {
            workers[0]();
            m.dialog->OnRemovalFinished();
            EXPECT_EQ(m.rows().size(), rowsBefore - 1) << "the removal ran";
        }
        EXPECT_EQ(m.dialog->OnCloseRequest(c.route), c.handled) << c.phase << " " << static_cast<int>(c.route);
        EXPECT_EQ(m.view.closed(), c.closed) << c.phase << " " << static_cast<int>(c.route);
        if (c.closed) {
            EXPECT_EQ(m.view.result(), kExitButton);
        }
    }
}

TEST(UninstallDialog, ButtonsAndSystemCommands) {
    DialogMachine m;
    ASSERT_EQ(m.open(1), Outcome::Ready);
    EXPECT_TRUE(m.dialog->applyChineseFont());

    EXPECT_FALSE(UninstallDialog::IsAboutCommand(15));
    EXPECT_TRUE(UninstallDialog::IsAboutCommand(16));
    EXPECT_TRUE(UninstallDialog::IsAboutCommand(31));
    EXPECT_FALSE(UninstallDialog::IsAboutCommand(32));
    EXPECT_FALSE(UninstallDialog::IsAboutCommand(0xF060));  // SC_CLOSE
}

TEST(UninstallDialog, HelpOpensOnceAndIsBroughtForwardTheSecondTime) {
    DialogMachine m;
    m.machine.shell.defineProgram("C:\\PKG\\Uninstall_EN.CHM", {"Uninstall", 3600000, nullptr});
    ASSERT_EQ(m.open(), Outcome::Ready);
    m.dialog->OnHelp();
    ASSERT_EQ(m.machine.shell.starts().size(), 1u);
    EXPECT_EQ(m.machine.shell.starts()[0].verb, "open");
    EXPECT_EQ(m.machine.shell.starts()[0].file, ".\\Uninstall_EN.CHM");
    const plat::WindowHandle help = m.machine.windows.FindWindowByTitle("Uninstall");
    ASSERT_NE(help, 0u);

    m.machine.windows.setActiveWindow(0);
    m.dialog->OnHelp();
    EXPECT_EQ(m.machine.shell.starts().size(), 1u) << "not opened twice";
    EXPECT_EQ(m.machine.windows.foreground(), help);
}

TEST(UninstallDialog, HelpFallsBackToTheChineseFileAndRestoresAMinimisedHelpWindow) {
    DialogMachine m;  // no English help
    m.machine.shell.defineProgram("C:\\PKG\\Uninstall_CN.CHM", {"", 0, nullptr});
    ASSERT_EQ(m.open(), Outcome::Ready);
    m.dialog->OnHelp();
    ASSERT_EQ(m.machine.shell.starts().size(), 2u);
    EXPECT_EQ(m.machine.shell.starts()[0].file, ".\\Uninstall_EN.CHM");
    EXPECT_EQ(m.machine.shell.starts()[1].file, ".\\Uninstall_CN.CHM");

    DialogMachine open;
    const plat::WindowHandle help = open.machine.windows.addWindow("Uninstall", /*iconic=*/true);
    ASSERT_EQ(open.open(), Outcome::Ready);
    open.dialog->OnHelp();
    EXPECT_TRUE(open.machine.shell.starts().empty());
    EXPECT_EQ(open.machine.windows.foreground(), help);
    EXPECT_FALSE(open.machine.windows.window(help)->iconic);
}

// The English dialog is itself titled "Uninstall"; F1 must still open the help.
TEST(UninstallDialog, HelpIsNotMistakenForTheDialogItself) {
    DialogMachine m;
    m.machine.shell.defineProgram("C:\\PKG\\Uninstall_EN.CHM", {"Uninstall", 3600000, nullptr});
    const plat::WindowHandle own = m.machine.windows.addWindow("Uninstall");
    m.dialog = std::make_unique<UninstallDialog>(m.p, m.state, m.view);
    ASSERT_EQ(m.dialog->OnInitDialog(own), Outcome::Ready);
    m.dialog->OnHelp();
    ASSERT_EQ(m.machine.shell.starts().size(), 1u);
    EXPECT_EQ(m.machine.shell.starts()[0].file, ".\\Uninstall_EN.CHM");

    // With the help open, F1 looks past the dialog to it instead of opening it again.
    const auto titled = m.machine.windows.FindWindows("", "Uninstall", "");
    ASSERT_EQ(titled.size(), 2u);
    m.dialog->OnHelp();
    EXPECT_EQ(m.machine.shell.starts().size(), 1u);
    EXPECT_EQ(m.machine.windows.foreground(), titled[1]);
}

TEST(UninstallDialog, AboutBoxTextsAndItsOwnFontFlag) {
    DialogMachine m;
    sim::SimDialogView about;
    UninstallAboutDialog box(m.p, about);
    box.useChineseFont = true;
    box.OnInitDialog();
    EXPECT_FALSE(box.useChineseFont) << "the sample package is English";
    const cfg::LanguageFile texts(m.p, cfg::Program::Uninstall, "About");
    EXPECT_EQ(about.GetText(kAboutVersion), texts.GetText("Version"));
    EXPECT_EQ(about.GetText(kAboutCopyright), texts.GetText("Copyright"));
    EXPECT_EQ(about.GetText(kAboutOk), texts.GetText("OK"));
    EXPECT_EQ(about.caption(), texts.GetText("Title"));
    EXPECT_FALSE(about.caption().empty());

    testing_support::TestMachine chinese(false, "uninstall.exe");
    chinese.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=0\r\n");
    sim::SimDialogView chineseView;
    UninstallAboutDialog chineseBox(chinese.p, chineseView);
    chineseBox.OnInitDialog();
    EXPECT_TRUE(chineseBox.useChineseFont);
}
