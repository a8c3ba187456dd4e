// Install on the wizard's last page: every validation stops with its message and leaves
// the wizard open with the choices kept; a passing one runs the worker under the progress
// window and reports the worker's outcome, never a failure as success.
#include <gtest/gtest.h>

#include "WizardMachine.h"

using namespace testing_support;
using namespace setup;
using sim::WindowsVersion;

namespace {

struct InstallMachine : WizardMachine {
    using WizardMachine::WizardMachine;

    // Type page to port page with a receipt model, then the port chosen by its name.
    void reachPort(const std::string& model, const std::string& portName, bool advanced = false) {
        open();
        chooseModel(0, model);
        next();
        if (advanced) click(*installMode, kAdvancedRadio);
        while (wizard->currentPage < kPortPageIndex) next();
        ASSERT_EQ(wizard->currentPage, kPortPageIndex);
        choose(*port, kPortList, portName);
        // The package's serial and USB monitors offer these ports on a real machine.
        for (const char* offered : {"QXCOM1:", "USB_KLM-A100_1", "USB_KLM-A100_2"}) machine.spooler.addPort(offered);
        ASSERT_EQ(port->portText, portName);
        machine.windows.clearMessageBoxes();
    }
    bool stayedOpen() { return !frame.closed() && wizard->currentPage == kPortPageIndex && window->workersStarted == 0; }
    const plat::PrinterInfo2* printer(const std::string& name) {
        const sim::SimPrinter* found = machine.spooler.printer(name);
        return found ? &found->info : nullptr;
    }
};

}  // namespace

TEST(InstallCommand, ParallelPortInstallsAndReportsTheWorkersNotice) {
    InstallMachine t;
    t.reachPort("KLM-A100", "LPT1:");
    t.next();
    EXPECT_TRUE(t.frame.closed());
    EXPECT_EQ(t.frame.result(), plat::kIdOk);
    EXPECT_TRUE(t.window->minimizedTopmost);
    EXPECT_EQ(t.window->workersStarted, 1);
    EXPECT_EQ(t.window->workerWaits, 1);
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_INF_NTRESTART")});
    EXPECT_NE(t.printer("KLM-A100(P)"), nullptr);
    // Worker done before the first tick: the bar runs 0 to 99 at once.
    const auto& positions = t.window->progressView->control(kProgressBar).positions;
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), 0);
    EXPECT_EQ(positions.back(), 99);
    ASSERT_EQ(t.window->destroyed.size(), 1u);
    EXPECT_EQ(t.window->destroyed[0], t.port.get());
}

TEST(InstallCommand, NetworkPortNeedsAnAddressAndIsNamedAfterIt) {
    InstallMachine t;
    t.reachPort("KLM-A100", "NET:");
    t.next();
    EXPECT_TRUE(t.stayedOpen());
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_ERR_IPADDRISNULL")});

    t.machine.windows.clearMessageBoxes();
    t.view(*t.port).control(kIpAddress).address = (192u << 24) | (168u << 16) | (1u << 8) | 20u;
    t.next();
    EXPECT_TRUE(t.frame.closed());
    const plat::PrinterInfo2* printer = t.printer("KLM-A100(E)");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName.value_or(""), "IP_192.168.1.20");
}

TEST(InstallCommand, NetworkPortThatCannotBeCreatedStays) {
    InstallMachine t;
    t.reachPort("KLM-A100", "NET:");
    t.view(*t.port).control(kIpAddress).address = 0x0A000001;
    t.machine.faults.failCall("XcvDataW", 5);
    t.next();
    EXPECT_TRUE(t.stayedOpen());
    ASSERT_FALSE(t.boxes().empty());
    EXPECT_EQ(t.boxTexts().back(), t.message("IDS_ERR_ADDPORTERROR")) << "after the system's own text";
}

TEST(InstallCommand, SerialPortCarriesTheChosenLineSettings) {
    InstallMachine t;
    t.reachPort("KLM-A100", "QXCOM1:");
    t.choose(*t.port, kBaudRateList, "19200");
    t.choose(*t.port, kParityList, "Odd");
    t.choose(*t.port, kByteSizeList, "7");
    t.choose(*t.port, kStopBitsList, "2");
    t.choose(*t.port, kProtocolList, "Xon/Xoff");
    t.next();
    ASSERT_TRUE(t.frame.closed());
    const auto line = t.machine.registry.peek("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:");  // QXCOM1: drives COM1:
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(std::string(line->data.begin(), line->data.end() - 1), "19200,o,7,2,x");
    EXPECT_NE(t.printer("KLM-A100(S)"), nullptr);
    EXPECT_EQ(t.wizard->request.variant, cfg::kVariantStd) << "serial ports print without raster";
}

TEST(InstallCommand, EmptyModelAndUnknownPortStay) {
    InstallMachine t;
    t.reachPort("KLM-A100", "LPT1:");
    t.printerType->selectedModel.clear();
    t.wizard->request.modelName.clear();
    t.next();
    EXPECT_TRUE(t.stayedOpen());
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_ERR_SELPRINTER")});

    InstallMachine u;
    u.reachPort("KLM-A100", "LPT1:");
    u.port->portText = "FILE:";
    u.next();
    EXPECT_TRUE(u.stayedOpen());
    EXPECT_EQ(u.boxTexts(), std::vector<std::string>{u.message("IDS_ERR_NOSUPPORTINTERFACE")});
}

TEST(InstallCommand, SupportKeyIsCheckedAgainAtInstall) {
    InstallMachine t;
    t.reachPort("KLM-A100", "LPT1:");
    // The package changed under the wizard: Windows 7 no longer supported.
    t.write("DRVCONFIG\\setup_receipt.ini", "[KLM-A100.PORT]\r\nLPTSUPPORTED=1\r\n");
    t.next();
    EXPECT_TRUE(t.stayedOpen());
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_NOTSUPPORTWin7")});
}

// Vista's support key is the frame's to check when the system page is left; Install tests
// only 2003, NT, 2008 and 7, so a key changed in between does not stop it.
TEST(InstallCommand, VistaSupportIsNotCheckedAgainAtInstall) {
    InstallMachine t(WindowsVersion::Vista);
    t.reachPort("KLM-A100", "LPT1:");
    std::string models = *t.machine.files.readFile("C:\\PKG\\DRVCONFIG\\setup_receipt.ini");
    const std::size_t section = models.find("[KLM-A100.PORT]");
    const std::size_t key = models.find("SystemVistaSupported=1", section);
    ASSERT_NE(key, std::string::npos);
    models.replace(key, 22, "SystemVistaSupported=0");
    t.write("DRVCONFIG\\setup_receipt.ini", models);
    t.next();
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_INF_NTRESTART")});
    EXPECT_NE(t.printer("KLM-A100(P)"), nullptr);
}

TEST(InstallCommand, TypicalUsbWithPrinterOneAsksNothing) {
    InstallMachine t;
    t.machine.usb.installLibrary(true);
    t.machine.usb.printers = {0};  // identifier 1
    t.machine.files.writeFile("C:\\WINDOWS\\system32\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("9.9.9.9"));
    t.reachPort("KLM-A100", "USB_KLM-A100_1");
    t.next();
    ASSERT_TRUE(t.frame.closed()) << ::testing::PrintToString(t.boxTexts());
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_INF_USBRESTART")});
    EXPECT_NE(t.printer("KLM-A100(U) 1"), nullptr);
}

// The KLM-C5 family shares one set of USB ports: a KLM-C5E chosen on USB_KLM-C5E_1 is
// installed on USB_KLM-C5_1, with that port's record.
TEST(InstallCommand, KlmC5FamilyIsInstalledOnTheSharedPortName) {
    InstallMachine t;
    std::string package = *t.machine.files.readFile("C:\\PKG\\DRVCONFIG\\setup.ini");
    package.replace(package.find("5=KLM-C5-ReceiptPrinter"), 23, "5=KLM-C5E-ReceiptPrinter");
    t.write("DRVCONFIG\\setup.ini", package);
    std::string models = *t.machine.files.readFile("C:\\PKG\\DRVCONFIG\\setup_receipt.ini");
    for (std::size_t at = models.find("[KLM-C5."); at != std::string::npos; at = models.find("[KLM-C5.", at))
        models.replace(at, 8, "[KLM-C5E.");
    t.write("DRVCONFIG\\setup_receipt.ini", models);
    t.machine.usb.installLibrary(true);
    t.machine.usb.printers = {0};
    t.machine.files.writeFile("C:\\WINDOWS\\system32\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("9.9.9.9"));
    t.reachPort("KLM-C5E", "USB_KLM-C5E_1");
    t.machine.spooler.addPort("USB_KLM-C5_1");
    t.next();
    ASSERT_TRUE(t.frame.closed()) << ::testing::PrintToString(t.boxTexts());
    const plat::PrinterInfo2* printer = t.printer("KLM-C5E(U) 1");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->portName, std::string("USB_KLM-C5_1"));
    EXPECT_TRUE(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME", "USB_KLM-C5_1"));
    EXPECT_FALSE(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME", "USB_KLM-C5E_1"));
}

TEST(InstallCommand, AdvancedUsbWithoutTheDeviceDriverStays) {
    InstallMachine t;
    t.machine.usb.installLibrary(true);
    t.machine.usb.printers = {0};
    t.write("USBDRV\\USBDriver\\VORUZA.sys", sim::SimFiles::withVersion("1.0.0.3"));
    t.reachPort("KLM-A100", "USB_KLM-A100_1", true);
    t.next();
    EXPECT_TRUE(t.stayedOpen());
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_ERR_FIRSTSETUPUSB")});
}

TEST(InstallCommand, AdvancedUsbChangesThePrintersIdentifierWhenAsked) {
    InstallMachine t;
    t.machine.usb.installLibrary(true);
    t.machine.usb.printers = {2};  // identifier 3
    t.machine.files.writeFile("C:\\WINDOWS\\system32\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("9.9.9.9"));
    t.reachPort("KLM-A100", "USB_KLM-A100_2", true);
    t.machine.windows.scriptAnswers({plat::kIdNo});
    t.next();
    EXPECT_TRUE(t.stayedOpen()) << "refusing the change stops";
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_INF_CHANGEID")});

    t.machine.windows.clearMessageBoxes();
    t.machine.windows.scriptAnswers({plat::kIdYes});
    t.next();
    ASSERT_TRUE(t.frame.closed());
    EXPECT_EQ(engine::UsbDeviceNumber(t.machine.usb.printers.at(0)), 2);
    EXPECT_NE(t.printer("KLM-A100(U) 2"), nullptr);
}

TEST(InstallCommand, FailedInstallationShowsTheFailureNotTheNotice) {
    InstallMachine t;
    t.reachPort("KLM-A100", "LPT1:");
    t.machine.faults.failCall("AddPrinterA", 5);
    t.next();
    ASSERT_TRUE(t.frame.closed()) << "the wizard ends after an installation either way";
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_NE(t.boxTexts()[0], t.message("IDS_INF_NTRESTART"));
    EXPECT_FALSE(t.boxTexts()[0].empty());
    const auto& positions = t.window->progressView->control(kProgressBar).positions;
    EXPECT_EQ(positions.back(), 0) << "the bar runs back to zero";
}

TEST(InstallCommand, WorkerThatCannotStartIsAFailure) {
    InstallMachine t;
    t.reachPort("KLM-A100", "LPT1:");
    t.window->failWorkerStart = true;
    t.next();
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxTexts()[0], "The installation could not be started.");
    EXPECT_EQ(t.printer("KLM-A100(P)"), nullptr);
}

TEST(InstallCommand, Windows98TargetWaitsForTheWorkerThenOffersARestart) {
    // Windows 95 marks no system: the target class is 0, the 9x path.
    InstallMachine t(WindowsVersion::Win95);
    t.reachPort("KLM-A100", "LPT1:");
    t.window->deferWorker = true;
    t.machine.windows.scriptAnswers({plat::kIdOk, plat::kIdNo});
    t.next();
    // The bar closed at 90 with the worker still pending; it ran only when waited for.
    const auto& positions = t.window->progressView->control(kProgressBar).positions;
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 89);
    EXPECT_EQ(t.window->workerWaits, 1);
    ASSERT_EQ(t.boxes().size(), 2u);
    // Reported only once the worker has ended: its success, with the printer behind it.
    EXPECT_EQ(t.boxTexts()[0], t.message("IDS_INF_NTRESTART"));
    EXPECT_NE(t.printer("KLM-A100(P)"), nullptr);
    EXPECT_EQ(t.boxTexts()[1], t.message("IDS_INF_RESTART"));
    EXPECT_TRUE(t.frame.closed());
}
