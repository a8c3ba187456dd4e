#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "engine/SpoolerRegistration.h"
#include "EngineMachine.h"

using namespace engine;
using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {

std::string text(EngineMachine& m, const char* key) { return cfg::MessageTexts(m.p, cfg::Program::Setup).GetText(key); }

// A printer the spooler can take: driver, processor and port in place.
plat::PrinterInfo2 installablePrinter(EngineMachine& m, const std::string& name) {
    const std::string dir = m.machine.spooler.driverDirectory();
    for (const char* f : {"D.DLL", "D.GPD", "DUI.DLL"}) m.machine.files.writeFile(dir + "\\" + f, f);
    plat::DriverInfo3 driver;
    driver.version = 3;
    driver.name = std::string("Drv");
    driver.driverPath = std::string("D.DLL");
    driver.dataFile = std::string("D.GPD");
    driver.configFile = std::string("DUI.DLL");
    m.machine.spooler.AddPrinterDriver(driver);
    plat::PrinterInfo2 p;
    p.printerName = name;
    p.driverName = std::string("Drv");
    p.portName = std::string("LPT1:");
    p.printProcessor = std::string("WinPrint");
    p.datatype = std::string("RAW");
    return p;
}

}  // namespace

TEST(SpoolerRegistration, FailedPrinterCarriesTheSystemTextAndLosesItsName) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    plat::PrinterInfo2 p = installablePrinter(m, "Receipt");
    p.driverName = std::string("Unknown");
    cfg::MessageBuffer messages;
    EXPECT_EQ(RegisterPrinter(ctx, p, false, messages), 0);
    EXPECT_EQ(messages.text(), text(m, "IDS_ERR_ADDPRINTER") + "\nThe printer driver is unknown.\r\n");
    EXPECT_EQ(p.printerName, std::string());

    // No system text for the code: the language text alone, never an empty buffer.
    plat::PrinterInfo2 q = installablePrinter(m, "Receipt");
    m.machine.faults.failCall("AddPrinterA", 9999, 1);
    cfg::MessageBuffer quiet;
    EXPECT_EQ(RegisterPrinter(ctx, q, false, quiet), 0);
    EXPECT_EQ(quiet.text(), text(m, "IDS_ERR_ADDPRINTER"));
}

TEST(SpoolerRegistration, NamesAreCutTo259BytesBeforeNumbering) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    plat::PrinterInfo2 p = installablePrinter(m, std::string(300, 'n'));
    cfg::MessageBuffer messages;
    EXPECT_EQ(RegisterPrinter(ctx, p, false, messages), 0) << "the spooler refuses names that long";
    EXPECT_LE(messages.text().size(), cfg::MessageBuffer::kCapacity - 1);
}

TEST(SpoolerRegistration, MonitorAlreadyThereCountsAsAddedOtherFailuresDoNot) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    m.machine.files.writeFile("C:\\WINDOWS\\system32\\mon.dll", "x");
    plat::MonitorInfo2 monitor{std::string("Mon"), std::nullopt, std::string("mon.dll")};
    cfg::MessageBuffer messages;
    EXPECT_EQ(RegisterPortMonitor(ctx, monitor, messages), 1);
    EXPECT_EQ(RegisterPortMonitor(ctx, monitor, messages), 1);
    m.machine.faults.failCall("AddMonitorA", plat::kErrorAlreadyExists, 1);
    EXPECT_EQ(RegisterPortMonitor(ctx, plat::MonitorInfo2{std::string("Other"), std::nullopt, std::string("mon.dll")},
                                  messages),
              1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(RegisterPortMonitor(ctx, plat::MonitorInfo2{std::string("Gone"), std::nullopt, std::string("no.dll")},
                                  messages),
              0);
    EXPECT_EQ(messages.text(), text(m, "IDS_ERR_ADDMONITOR") + "\nThe specified module could not be found.\r\n");
}

TEST(SpoolerRegistration, PrintProcessorAnswersArePassedBack) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    m.machine.files.writeFile(m.machine.spooler.processorDirectory() + "\\proc.dll", "x");
    EXPECT_EQ(RegisterPrintProcessor(ctx, "Proc", "proc.dll", cfg::kOsWin7), 1);
    EXPECT_EQ(RegisterPrintProcessor(ctx, "Proc", "proc.dll", cfg::kOsWin7), 3005);
    for (std::uint32_t code : {87u, 183u}) {
        m.machine.faults.failCall("AddPrintProcessorA", code, 1);
        EXPECT_EQ(RegisterPrintProcessor(ctx, "New", "proc.dll", cfg::kOsWin7), static_cast<int>(code));
    }
    EXPECT_EQ(RegisterPrintProcessor(ctx, "New", "missing.dll", cfg::kOsWin7), 0);
    // The Windows 98 target registers under its own environment, beside the native one,
    // with the file in that environment's folder.
    m.machine.files.writeFile(m.machine.spooler.processorDirectory("Windows 4.0") + "\\proc.dll", "x");
    EXPECT_EQ(RegisterPrintProcessor(ctx, "Proc", "proc.dll", cfg::kOsWin9x), 1);
    EXPECT_TRUE(m.machine.spooler.hasProcessor("Proc", "Windows 4.0"));
}

TEST(SpoolerRegistration, DefaultPrinterOnEachPlatform) {
    {
        EngineMachine m(WindowsVersion::Win7, false);
        EngineContext ctx(m.p, false);
        plat::PrinterInfo2 p = installablePrinter(m, "Seven");
        cfg::MessageBuffer messages;
        ASSERT_EQ(RegisterPrinter(ctx, p, false, messages), 1);
        EXPECT_EQ(MakeDefaultPrinter(ctx, std::nullopt), 0);
        EXPECT_EQ(MakeDefaultPrinter(ctx, std::string("Seven")), 1);
        EXPECT_EQ(m.machine.spooler.defaultPrinter(), "Seven");
        EXPECT_EQ(m.machine.process.loadedLibraryCount(), 0) << "winspool.drv freed";
        ASSERT_EQ(m.machine.windows.broadcasts().size(), 1u);
        EXPECT_FALSE(m.machine.windows.broadcasts()[0].lParamText.has_value());
        EXPECT_EQ(MakeDefaultPrinter(ctx, std::string("Nobody")), 0);
    }
    {
        EngineMachine m(WindowsVersion::Win98, false);
        EngineContext ctx(m.p, false);
        plat::PrinterInfo2 p = installablePrinter(m, "Ninety");
        cfg::MessageBuffer messages;
        ASSERT_EQ(RegisterPrinter(ctx, p, false, messages), 1);
        EXPECT_EQ(MakeDefaultPrinter(ctx, std::string("Ninety")), 1);
        EXPECT_EQ(m.machine.spooler.defaultPrinter(), "Ninety");
        ASSERT_EQ(m.machine.windows.broadcasts().size(), 1u);
        EXPECT_EQ(m.machine.windows.broadcasts()[0].lParamText, std::string("windows"));
        EXPECT_EQ(m.machine.spooler.openHandleCount(), 0u);
    }
    {
        EngineMachine m(WindowsVersion::Nt4, false);
        EngineContext ctx(m.p, false);
        plat::PrinterInfo2 p = installablePrinter(m, "Four");
        cfg::MessageBuffer messages;
        ASSERT_EQ(RegisterPrinter(ctx, p, false, messages), 1);
        EXPECT_EQ(MakeDefaultPrinter(ctx, std::string("Four")), 1);
        EXPECT_EQ(m.p.profile.GetProfileString("windows", "device", "", 260), "Four,Drv,LPT1:");
        EXPECT_EQ(m.machine.spooler.openHandleCount(), 0u);
    }
}

TEST(SpoolerRegistration, PortListIsReadWithAtLeast1000BytesAndRetriedOnce) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    cfg::MessageBuffer messages;
    EXPECT_EQ(ProbePortList(ctx, messages), 1);
    EXPECT_EQ(m.machine.faults.timesCalled("EnumPortsA"), 2) << "size, then the list";

    // The first real read fails, the retry with the same arguments succeeds.
    m.machine.faults.failCall("EnumPortsA", plat::kErrorRpcServerUnavailable, 1, 1);
    EXPECT_EQ(ProbePortList(ctx, messages), 1);
    EXPECT_TRUE(messages.empty());

    m.machine.faults.failCall("EnumPortsA", plat::kErrorRpcServerUnavailable, 2, 1);
    EXPECT_EQ(ProbePortList(ctx, messages), 0);
    EXPECT_EQ(messages.text(), text(m, "IDS_ERR_ALLOCMEMORY") + "\nThe RPC server is unavailable.\r\n");

    // Many ports: the size asked for is above 300 bytes and is used as it is.
    for (int i = 0; i < 60; ++i) m.machine.spooler.addPort("USB_MANY_PORTS_" + std::to_string(i));
    cfg::MessageBuffer many;
    EXPECT_EQ(ProbePortList(ctx, many), 1);
}
