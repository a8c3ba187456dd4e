#include <gtest/gtest.h>

#include "uninstall/UninstallIni.h"
#include "TestMachine.h"

using testing_support::TestMachine;
using namespace uninstall;

namespace {

// An uninstaller whose Uninstall.ini the test writes (or the sample package's).
struct IniMachine : TestMachine {
    UninstallState state;
    explicit IniMachine(const std::string& ini = "", cfg::OsClass os = cfg::kOsWin7, bool wow64 = false)
        : TestMachine(ini.empty(), "uninstall.exe") {
        if (ini.empty()) {
            state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
        } else {
            write("DRVCONFIG\\Uninstall.ini", ini);
            state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
        }
        state.osClass = os;
        state.is64BitWindows = wow64;
    }

    // A printer on LPT1: whose driver has the given name.
    void addPrinter(const std::string& printerName, const std::string& driverName) {
        const std::string dir = machine.spooler.driverDirectory();
        for (const char* f : {"D.DLL", "D.GPD", "DUI.DLL"}) machine.files.writeFile(dir + "\\" + f, f);
        if (!machine.spooler.hasDriver(driverName)) {
            plat::DriverInfo3 driver;
            driver.version = 3;
            driver.name = driverName;
            driver.driverPath = std::string("D.DLL");
            driver.dataFile = std::string("D.GPD");
            driver.configFile = std::string("DUI.DLL");
            ASSERT_TRUE(machine.spooler.AddPrinterDriver(driver));
        }
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
    int profileReads() const { return machine.faults.timesCalled("GetPrivateProfileStringA"); }
};

// The per-call lookups and the lists read once must give the same answer for every name.
void expectListsAgree(IniMachine& t, const std::vector<std::string>& names) {
    const UninstallLists lists = UninstallLists::Load(t.p, t.state);
    for (const auto& name : names) {
        EXPECT_EQ(lists.isListedMonitor(name), IsListedMonitor(t.p, t.state, name)) << name;
        EXPECT_EQ(lists.isListedProcessor(name), IsListedProcessor(t.p, t.state, name)) << name;
    }
    for (const auto& printer : t.machine.spooler.printerNames())
        EXPECT_EQ(lists.isListedPrinter(t.p, printer), IsListedPrinter(t.p, t.state, printer)) << printer;
}

}  // namespace

TEST(UninstallIni, EntryKeysAreTheBaseNameAndOneCharacter) {
    EXPECT_EQ(EntryKey("PRINTERNAME", 0), "PRINTERNAME1");
    EXPECT_EQ(EntryKey("PRINTERNAME", 8), "PRINTERNAME9");
    EXPECT_EQ(EntryKey("PRINTERNAME", 9), "PRINTERNAME:");
    EXPECT_EQ(EntryKey("PROCNAME", 10), "PROCNAME;");
    EXPECT_EQ(EntryKey("MONITORNAME", kMaxEntries - 1), std::string("MONITORNAME") + '\xFF');

    // The tenth entry lives under "PRINTERNAME:", never under "PRINTERNAME10".
    std::string ini = "[QXPRINTER]\r\nPRINTERNUM=10\r\n";
    for (int i = 1; i <= 9; ++i) ini += "PRINTERNAME" + std::to_string(i) + "=Model" + std::to_string(i) + "\r\n";
    IniMachine tenth(ini + "PRINTERNAME:=Tenth\r\nPRINTERNAME10=Wrong\r\n");
    const std::vector<std::string> names = ReadListedNames(tenth.p, tenth.state.iniPath, ListKind::Printer);
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names[9], "Tenth");
    tenth.addPrinter("Desk", "Tenth Driver");
    tenth.addPrinter("Other", "Wrong Driver");
    EXPECT_TRUE(IsListedPrinter(tenth.p, tenth.state, "Desk"));
    EXPECT_FALSE(IsListedPrinter(tenth.p, tenth.state, "Other"));
    expectListsAgree(tenth, {});
}

TEST(UninstallIni, AbsentAndEmptyEntriesNameNothing) {
    // Three entries counted, one given, one empty: the default "0" must not match names
    // holding a zero, and "" must not match everything.
    IniMachine t("[QXPRINTER]\r\nPRINTERNUM=3\r\nPRINTERNAME2=KLM\r\nPRINTERNAME3=\r\n"
                 "[QXMONITOR]\r\nMonitorNUM=2\r\nMONITORNAME1=0\r\n"
                 "[QXPROC]\r\nPROCNUM=2\r\nPROCNAME2=KLMProc\r\n");
    t.addPrinter("Office", "LaserJet 1020");
    t.addPrinter("Till", "KLM A100 Receipt");
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "Office"));
    EXPECT_TRUE(IsListedPrinter(t.p, t.state, "Till"));
    EXPECT_FALSE(IsListedMonitor(t.p, t.state, "Port 10 Monitor"));
    EXPECT_FALSE(IsListedProcessor(t.p, t.state, "Proc2000"));
    EXPECT_TRUE(IsListedProcessor(t.p, t.state, "KLMProc"));
    EXPECT_EQ(ReadListedNames(t.p, t.state.iniPath, ListKind::Printer), std::vector<std::string>{"KLM"});
    EXPECT_TRUE(ReadListedNames(t.p, t.state.iniPath, ListKind::Monitor).empty());
    expectListsAgree(t, {"Port 10 Monitor", "Proc2000", "KLMProc", "", "0"});

    // A name that merely begins with a zero is a real entry.
    IniMachine leadingZero("[QXMONITOR]\r\nMonitorNUM=1\r\nMONITORNAME1=007 Port\r\n");
    EXPECT_TRUE(IsListedMonitor(leadingZero.p, leadingZero.state, "Agent 007 Port"));
}

TEST(UninstallIni, CountsThatAreZeroNegativeOrNotNumbersListNothing) {
    for (const char* count : std::initializer_list<const char*>{"0", "-1", "-2147483648", "abc", "", nullptr}) {
        std::string ini = "[QXMONITOR]\r\n";
        if (count) ini += std::string("MonitorNUM=") + count + "\r\n";
        IniMachine t(ini + "MONITORNAME1=USB\r\n");
        const std::string shown = count ? count : "(absent)";
        EXPECT_FALSE(IsListedMonitor(t.p, t.state, "QX USB Port")) << shown;
        EXPECT_TRUE(ReadListedNames(t.p, t.state.iniPath, ListKind::Monitor).empty()) << shown;
    }
    IniMachine leading("[QXMONITOR]\r\nMonitorNUM= 2 monitors\r\nMONITORNAME2=COM\r\n");
    EXPECT_TRUE(IsListedMonitor(leading.p, leading.state, "QX COM Port"));
}

TEST(UninstallIni, HugeCountReadsNoMoreKeysThanCanExist) {
    IniMachine t("[QXPRINTER]\r\nPRINTERNUM=2000000000\r\nPRINTERNAME1=KLM\r\n");
    const int before = t.profileReads();
    EXPECT_EQ(ReadListedNames(t.p, t.state.iniPath, ListKind::Printer).size(), 1u);
    EXPECT_EQ(t.profileReads() - before, 1 + kMaxEntries);
    t.addPrinter("Office", "Other Driver");
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "Office"));
}

TEST(UninstallIni, MonitorsMatchAnyListedPartCaseSensitively) {
    IniMachine t("[QXMONITOR]\r\nMonitorNUM=2\r\nMONITORNAME1=USB\r\nMONITORNAME2=COM\r\n");
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, "QX USB Port"));
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, "QX COM Port"));
    EXPECT_FALSE(IsListedMonitor(t.p, t.state, "Local Port"));
    EXPECT_FALSE(IsListedMonitor(t.p, t.state, "QX usb Port"));
    // A kind is decided as monitor first: the processor list is a different list.
    EXPECT_FALSE(IsListedProcessor(t.p, t.state, "QX USB Port"));
    expectListsAgree(t, {"QX USB Port", "QX COM Port", "Local Port", "QX usb Port", "COM"});
}

TEST(UninstallIni, PrinterIsListedByItsDriverNameWhateverItIsCalled) {
    IniMachine t("[QXPRINTER]\r\nPRINTERNUM=1\r\nPRINTERNAME1=KLM-A100\r\n");
    t.addPrinter("Front desk", "KLM-A100 Driver");
    t.addPrinter("KLM-A100 copy", "Generic / Text Only");
    EXPECT_TRUE(IsListedPrinter(t.p, t.state, "Front desk"));
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "KLM-A100 copy"));
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "No such printer"));
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);
    expectListsAgree(t, {});

    // Read in two steps (size, then record), and closed once.
    const int gets = t.machine.faults.timesCalled("GetPrinterA");
    const int closes = t.machine.faults.timesCalled("ClosePrinter");
    EXPECT_TRUE(IsListedPrinter(t.p, t.state, "Front desk"));
    EXPECT_EQ(t.machine.faults.timesCalled("GetPrinterA") - gets, 2);
    EXPECT_EQ(t.machine.faults.timesCalled("ClosePrinter") - closes, 1);
}

TEST(UninstallIni, PrinterThatCannotBeReadIsNotListedAndIsClosed) {
    struct Case {
        const char* api;
        std::uint32_t error;
        int skip;
    } cases[] = {{"OpenPrinterA", plat::kErrorAccessDenied, 0},
                 {"GetPrinterA", plat::kErrorAccessDenied, 0},  // the size query
                 {"GetPrinterA", plat::kErrorNotEnoughMemory, 1}};
    for (const auto& c : cases) {
        IniMachine t("[QXPRINTER]\r\nPRINTERNUM=1\r\nPRINTERNAME1=KLM\r\n");
        t.addPrinter("Till", "KLM A100 Receipt");
        const UninstallLists lists = UninstallLists::Load(t.p, t.state);
        t.machine.faults.failCall(c.api, c.error, 1, c.skip);
        EXPECT_FALSE(IsListedPrinter(t.p, t.state, "Till")) << c.api << c.skip;
        EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u) << c.api << c.skip;
        t.machine.faults.failCall(c.api, c.error, 1, c.skip);
        EXPECT_FALSE(lists.isListedPrinter(t.p, "Till")) << c.api << c.skip;
        EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u) << c.api << c.skip;
        EXPECT_TRUE(IsListedPrinter(t.p, t.state, "Till")) << "the fault was one call only";
    }
}

TEST(UninstallIni, SectionNamesUseTheUninstallersSuffixes) {
    EXPECT_EQ(MonitorSectionName("QX USB Port", cfg::kOsWinXP), "QXUSBPort.2K");
    EXPECT_EQ(ProcessorSectionName("QX Proc", cfg::kOsWinXP), "QX Proc.2K");
    EXPECT_EQ(MonitorSectionName("QX USB Port", cfg::kOsWin2000), "QXUSBPort.2K");
    EXPECT_EQ(MonitorSectionName(" A  B ", cfg::kOsWin9x), "AB.98");
    EXPECT_EQ(ProcessorSectionName("P", 10), "P");
    EXPECT_EQ(ProcessorSectionName("P", cfg::kOsWin10), "P.Win10");
    EXPECT_EQ(MonitorSectionName("Q R", cfg::kOsServer2012), "QR.2012");
    EXPECT_EQ(MonitorSectionName("P Q", -1), "PQ");
    // 29 characters at most, the suffix included.
    EXPECT_EQ(MonitorSectionName("A Very Long Port Monitor Name Here", cfg::kOsWin7), "AVeryLongPortMonitorNameHere.");
    EXPECT_EQ(ProcessorSectionName(std::string(27, 'p'), cfg::kOsVista), std::string(27, 'p') + ".V");
}

TEST(UninstallIni, SamplePackageOnWindows7) {
    IniMachine t;
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, "KLM USB Port"));
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, "KLM COM Port"));
    EXPECT_FALSE(IsListedMonitor(t.p, t.state, "Standard TCP/IP Port"));
    EXPECT_TRUE(IsListedProcessor(t.p, t.state, "KLMPrintProc"));
    EXPECT_FALSE(IsListedProcessor(t.p, t.state, "WinPrint"));

    MonitorFiles usb = ReadMonitorFiles(t.p, t.state, "KLM USB Port");
    EXPECT_EQ(usb.monitorDll, "klmusb.dll");
    EXPECT_EQ(usb.monitorUiDll, "klmusbui.dll");
    EXPECT_EQ(usb.extraDll, "klmlm.dll");
    EXPECT_EQ(ReadExtraMonitorName(t.p, t.state, "KLM USB Port"), "KLM Language Monitor");
    EXPECT_EQ(ReadMonitorFiles(t.p, t.state, "KLM COM Port").extraDll, "0");
    EXPECT_EQ(ReadExtraMonitorName(t.p, t.state, "KLM COM Port"), "0");
    EXPECT_EQ(ReadProcessorFile(t.p, t.state, "KLMPrintProc"), "klmproc.dll");
    EXPECT_EQ(ReadProcessorFile(t.p, t.state, "WinPrint"), "0");

    t.addPrinter("Receipt at the till", "KLM A100 Receipt");
    t.addPrinter("KLM A100 Receipt", "Microsoft XPS Document Writer");
    t.addPrinter("Office 2010", "LaserJet 1020");
    EXPECT_TRUE(IsListedPrinter(t.p, t.state, "Receipt at the till"));
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "KLM A100 Receipt"));
    EXPECT_FALSE(IsListedPrinter(t.p, t.state, "Office 2010"));
    expectListsAgree(t, {"KLM USB Port", "KLM COM Port", "Local Port", "KLMPrintProc", "WinPrint"});
}

TEST(UninstallIni, SamplePackageOnXpReadsTheSharedSections) {
    IniMachine t("", cfg::kOsWinXP);
    MonitorFiles usb = ReadMonitorFiles(t.p, t.state, "KLM USB Port");
    EXPECT_EQ(usb.monitorDll, "klmusb.dll");
    EXPECT_EQ(usb.extraDll, "klmlm.dll");
    EXPECT_EQ(ReadProcessorFile(t.p, t.state, "KLMPrintProc"), "klmproc.dll");

    IniMachine own("[QXUSBPort.2K]\r\nMonitorPDLLName=a.dll\r\n[QXUSBPort.XP]\r\nMonitorPDLLName=b.dll\r\n"
                   "[QX Proc.2K]\r\nProcessorDllName=p.dll\r\n",
                   cfg::kOsWinXP);
    EXPECT_EQ(ReadMonitorFiles(own.p, own.state, "QX USB Port").monitorDll, "a.dll");
    EXPECT_EQ(ReadProcessorFile(own.p, own.state, "QX Proc"), "p.dll");
    EXPECT_EQ(ReadProcessorFile(own.p, own.state, "QXProc"), "0") << "blanks stay in processor sections";
}

// Windows 8 and later read the Windows 7 (or 2008) section when the file has none of its
// own; a section of its own is read alone, even where it lacks a key.
TEST(UninstallIni, NewerWindowsFallBackSectionBySection) {
    IniMachine sample("", cfg::kOsWin10);
    EXPECT_EQ(ReadMonitorFiles(sample.p, sample.state, "KLM USB Port").monitorDll, "klmusb.dll");
    EXPECT_EQ(ReadProcessorFile(sample.p, sample.state, "KLMPrintProc"), "klmproc.dll");

    const std::string ini =
        "[QXUSBPort.Win7]\r\nMonitorPDLLName=seven.dll\r\nMONitorPUIDLLName=sevenui.dll\r\n"
        "[QXUSBPort.Win10]\r\nMonitorPDLLName=ten.dll\r\n"
        "[QX Proc.2008]\r\nProcessorDllName=p2008.dll\r\n[QX Proc.Win10]\r\n";
    IniMachine ten(ini, cfg::kOsWin10);
    const MonitorFiles usb = ReadMonitorFiles(ten.p, ten.state, "QX USB Port");
    EXPECT_EQ(usb.monitorDll, "ten.dll");
    EXPECT_EQ(usb.monitorUiDll, "0") << "never a key of the older section";
    EXPECT_EQ(ReadProcessorFile(ten.p, ten.state, "QX Proc"), "0") << "an empty section counts as none; no .Win7";
    IniMachine server(ini, cfg::kOsServer2012);
    EXPECT_EQ(ReadProcessorFile(server.p, server.state, "QX Proc"), "p2008.dll");
    EXPECT_EQ(ReadMonitorFiles(server.p, server.state, "QX USB Port").monitorDll, "0");
}

TEST(UninstallIni, ExtraMonitorDllOnlyForUsbOrComAndNeverUnderWow64) {
    const std::string ini =
        "[QXUSBPort.Win7]\r\nMonitorPDLLName=u.dll\r\nMONitorPUIDLLName=uui.dll\r\nUSBMONitorDLLName=lm.dll\r\n"
        "[QXCOMPort.Win7]\r\nMonitorPDLLName=c.dll\r\nUSBMONitorDLLName=lm.dll\r\n"
        "[QXNetPort.Win7]\r\nMonitorPDLLName=n.dll\r\nUSBMONitorDLLName=lm.dll\r\n"
        "[QXusbPort.Win7]\r\nMonitorPDLLName=l.dll\r\nUSBMONitorDLLName=lm.dll\r\n";
    IniMachine native(ini);
    EXPECT_EQ(ReadMonitorFiles(native.p, native.state, "QX USB Port").extraDll, "lm.dll");
    EXPECT_EQ(ReadMonitorFiles(native.p, native.state, "QX COM Port").extraDll, "lm.dll");
    EXPECT_EQ(ReadMonitorFiles(native.p, native.state, "QX Net Port").extraDll, "0");
    EXPECT_EQ(ReadMonitorFiles(native.p, native.state, "QX usb Port").extraDll, "0");
    EXPECT_EQ(ReadMonitorFiles(native.p, native.state, "QX Net Port").monitorDll, "n.dll");

    IniMachine wow64(ini, cfg::kOsWin7, /*wow64=*/true);
    MonitorFiles usb = ReadMonitorFiles(wow64.p, wow64.state, "QX USB Port");
    EXPECT_EQ(usb.monitorDll, "u.dll");
    EXPECT_EQ(usb.monitorUiDll, "uui.dll");
    EXPECT_EQ(usb.extraDll, "0");
    EXPECT_EQ(ReadMonitorFiles(wow64.p, wow64.state, "QX COM Port").extraDll, "0");

    IniMachine noSection("");
    noSection.state.iniPath = "C:\\PKG\\DRVCONFIG\\missing.ini";
    MonitorFiles none = ReadMonitorFiles(noSection.p, noSection.state, "QX USB Port");
    EXPECT_EQ(none.monitorDll, "0");
    EXPECT_EQ(none.monitorUiDll, "0");
    EXPECT_EQ(none.extraDll, "0");
}

TEST(UninstallIni, ValuesAreCutTo29Characters) {
    const std::string longName(40, 'x');
    IniMachine t("[QXMONITOR]\r\nMonitorNUM=1\r\nMONITORNAME1=" + longName + "\r\n[QXPROC.Win7]\r\nProcessorDllName=" +
                 longName + ".dll\r\n");
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, std::string(29, 'x')));
    EXPECT_FALSE(IsListedMonitor(t.p, t.state, std::string(28, 'x')));
    EXPECT_EQ(ReadProcessorFile(t.p, t.state, "QXPROC"), std::string(29, 'x'));
}

TEST(UninstallIni, Windows98NeverListsAProcessor) {
    IniMachine t("", cfg::kOsWin9x);
    EXPECT_FALSE(IsListedProcessor(t.p, t.state, "KLMPrintProc"));
    EXPECT_TRUE(IsListedMonitor(t.p, t.state, "KLM USB Port"));
    EXPECT_EQ(ReadMonitorFiles(t.p, t.state, "KLM USB Port").monitorDll, "klmusb9x.dll");
    EXPECT_EQ(ReadProcessorFile(t.p, t.state, "KLMPrintProc"), "klmproc9x.dll");
    const UninstallLists lists = UninstallLists::Load(t.p, t.state);
    EXPECT_FALSE(lists.isListedProcessor("KLMPrintProc"));
    expectListsAgree(t, {"KLMPrintProc", "KLM USB Port"});

    IniMachine nt4("", cfg::kOsNt4);
    EXPECT_TRUE(IsListedProcessor(nt4.p, nt4.state, "KLMPrintProc"));
}

TEST(UninstallIni, ListsReadOnceAnswerWithoutTouchingTheFileAgain) {
    IniMachine t;
    const UninstallLists lists = UninstallLists::Load(t.p, t.state);
    EXPECT_EQ(lists.printers().size(), 9u);
    EXPECT_EQ(lists.monitors(), (std::vector<std::string>{"KLM COM Port", "KLM USB Port"}));
    EXPECT_EQ(lists.processors(), std::vector<std::string>{"KLMPrintProc"});
    const int reads = t.profileReads();
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(lists.isListedDriver("KLM E20 Embedded"));
        EXPECT_FALSE(lists.isListedDriver("Printer " + std::to_string(i)));
    }
    EXPECT_EQ(t.profileReads(), reads);

    // The file is read when loaded: a later edit changes nothing.
    t.write("DRVCONFIG\\Uninstall.ini", "[QXPRINTER]\r\nPRINTERNUM=0\r\n");
    EXPECT_TRUE(lists.isListedDriver("KLM A100 Receipt"));
    EXPECT_FALSE(UninstallLists::Load(t.p, t.state).isListedDriver("KLM A100 Receipt"));
}

TEST(UninstallIni, ListsAgreeWithPerCallLookupsOnEdgeCaseFiles) {
    const std::vector<std::string> files = {
        "",  // no file at all
        "[QXMONITOR]\r\nMonitorNUM=3\r\nMONITORNAME1=USB\r\nMONITORNAME3=\r\n[QXPROC]\r\nPROCNUM=abc\r\nPROCNAME1=P\r\n",
        "[QXMONITOR]\r\nMonitorNUM=-5\r\nMONITORNAME1=Port\r\n[QXPROC]\r\nPROCNUM=12\r\nPROCNAME;=Eleventh\r\n",
        "[QXPRINTER]\r\nPRINTERNUM=4\r\nPRINTERNAME1=0\r\nPRINTERNAME4=A1\r\n[QXPROC]\r\nPROCNUM=1\r\nPROCNAME1=0x\r\n",
    };
    const std::vector<std::string> names = {"QX USB Port", "Port 0", "P", "Eleventh Proc", "0x10", "", "A10"};
    for (const auto& content : files) {
        IniMachine t(content.empty() ? "[none]\r\n" : content);
        t.addPrinter("Zero 0", "Driver 0");
        t.addPrinter("A", "A1 Receipt");
        t.addPrinter("B", "B2 Ticket");
        expectListsAgree(t, names);
    }
}
