// The install sequence's rules, one situation at a time, on whole installations.
#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "config/SpoolerService.h"
#include "engine/ComponentUpdates.h"
#include "EngineMachine.h"

using namespace engine;
using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {

std::string text(EngineMachine& m, const char* key) { return cfg::MessageTexts(m.p, cfg::Program::Setup).GetText(key); }

std::string driverDir(EngineMachine& m) { return m.machine.spooler.driverDirectory(); }

std::uint32_t dword(EngineMachine& m, const std::string& key, const std::string& value) {
    auto v = m.machine.registry.peek(key, value);
    if (!v || v->data.size() != 4) return 0xFFFFFFFFu;
    return v->data[0] | (v->data[1] << 8) | (v->data[2] << 16) | (static_cast<std::uint32_t>(v->data[3]) << 24);
}

std::string string(EngineMachine& m, const std::string& key, const std::string& value) {
    auto v = m.machine.registry.peek(key, value);
    if (!v || v->data.empty()) return "";
    return std::string(v->data.begin(), v->data.end() - 1);
}

const std::string kMonitors = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

}  // namespace

TEST(InstallSequence, SecondPrinterOfTheSameModelGetsANumberedNameAndIsTheDefault) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "LPT1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    c.setAsDefault = true;
    auto second = m.install(c);
    ASSERT_EQ(second.state, kSucceeded) << second.messages;
    EXPECT_EQ(second.printerName, "KLM-A100(P)(1)");
    EXPECT_EQ(m.machine.spooler.defaultPrinter(), "KLM-A100(P)(1)");
    EXPECT_EQ(m.install(c).printerName, "KLM-A100(P)(2)");
}

TEST(InstallSequence, UsbPrinterWhoseNameExistsIsRefused) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    auto second = m.install(c);
    EXPECT_EQ(second.state, kFailed);
    EXPECT_EQ(second.messages, text(m, "IDS_ERR_TOOMANY"));
}

TEST(InstallSequence, NinetyEightNumberedNamesAndNoMore) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "LPT1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    for (int n = 1; n <= 98; ++n) ASSERT_EQ(m.install(c).printerName, "KLM-A100(P)(" + std::to_string(n) + ")");
    auto refused = m.install(c);
    EXPECT_EQ(refused.state, kFailed);
    EXPECT_EQ(refused.messages, text(m, "IDS_ERR_TOOMANY"));
    EXPECT_EQ(m.machine.spooler.printer("KLM-A100(P)(99)"), nullptr);
}

TEST(InstallSequence, InstalledMonitorIsNotInstalledAgain) {
    EngineMachine m(WindowsVersion::WinXP, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "COM1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    const int adds = m.machine.faults.timesCalled("AddMonitorA");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    EXPECT_EQ(m.machine.faults.timesCalled("AddMonitorA"), adds);
    EXPECT_EQ(m.machine.services.service("Spooler").stopCount, 0) << "nothing outdated, nothing stopped";
}

TEST(InstallSequence, OutdatedMonitorInUseIsReplacedUnderTheNewNameWithTheSpoolerStopped) {
    EngineMachine m(WindowsVersion::WinXP, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "COM1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    const std::string key = kMonitors + "KLM COM Port";
    ASSERT_NE(dword(m, key, "DriverVersion"), 0xFFFFFFFFu);
    m.machine.registry.poke(key, "DriverVersion", plat::kRegDword, {1, 0, 0, 0});
    m.machine.files.setInUse("C:\\WINDOWS\\system32\\KLMCOM.DLL", true);

    auto r = m.install(c);
    ASSERT_EQ(r.state, kSucceeded) << r.messages;
    EXPECT_EQ(string(m, key, "Driver"), "nKLMCOM.DLL");
    EXPECT_GT(dword(m, key, "DriverVersion"), 1u);
    EXPECT_TRUE(m.machine.files.fileExists("C:\\WINDOWS\\system32\\nKLMCOM.DLL"));
    auto& spooler = m.machine.services.service("Spooler");
    EXPECT_EQ(spooler.stopCount, 1);
    EXPECT_EQ(spooler.startCount, 1);
    // Stop, 500 ms, then 2500 ms after the start on XP.
    const auto& sleeps = m.machine.clock.sleeps;
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 2500u), sleeps.end());
}

TEST(InstallSequence, OnlyOneComponentIsUpdatedPerInstallation) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "COM1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    const std::string processorKey =
        "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\KLMPrintProc";
    ASSERT_NE(dword(m, processorKey, "DriverVersion"), 0xFFFFFFFFu) << "version recorded at the first install";
    m.machine.registry.poke(processorKey, "DriverVersion", plat::kRegDword, {0, 0, 0, 0});
    m.machine.registry.poke(kMonitors + "KLM COM Port", "DriverVersion", plat::kRegDword, {0, 0, 0, 0});
    ASSERT_EQ(m.install(c).state, kSucceeded);
    EXPECT_GT(dword(m, kMonitors + "KLM COM Port", "DriverVersion"), 0u);
    EXPECT_EQ(dword(m, processorKey, "DriverVersion"), 0u) << "the processor waits for the next installation";
    ASSERT_EQ(m.install(c).state, kSucceeded);
    EXPECT_GT(dword(m, processorKey, "DriverVersion"), 0u);
}

TEST(InstallSequence, FailedUpdateStillRestartsTheSpooler) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "LPT1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    const std::string processorKey =
        "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\KLMPrintProc";
    m.machine.registry.poke(processorKey, "DriverVersion", plat::kRegDword, {0, 0, 0, 0});
    m.machine.files.setInUse(m.machine.spooler.processorDirectory() + "\\klmproc.dll", true);
    auto r = m.install(c);
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages, text(m, "IDS_ERR_COPYFIEL") + "C:\\PKG\\W32\\klmproc.dll");
    EXPECT_EQ(m.machine.services.currentState("Spooler"), plat::kServiceRunning);
}

TEST(InstallSequence, SpoolerThatDoesNotComeBackEndsTheInstallation) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "COM1:");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    m.machine.registry.poke(kMonitors + "KLM COM Port", "DriverVersion", plat::kRegDword, {0, 0, 0, 0});
    m.machine.services.service("Spooler").hangsStarting = true;
    auto r = m.install(c);
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages, "StartSpoolService error");
}

TEST(InstallSequence, MissingHelpFileStopsBeforeAnyCopyButZeroPasses) {
    EngineMachine m(WindowsVersion::Win7, false);
    m.write("DRVCONFIG\\setup_receipt.ini",
            "[R1.Win7]\r\nDriverNameP=R1\r\nGDIDriverPath=R1.DLL\r\nGDIDataFile=R1.GPD\r\nGDIConfigFile=R1UI.DLL\r\n"
            "GDIHelpFile=\r\nGDIPrintProcessor=WinPrint\r\n"
            "[R2.Win7]\r\nDriverNameP=R2\r\nGDIDriverPath=R1.DLL\r\nGDIDataFile=R1.GPD\r\nGDIConfigFile=R1UI.DLL\r\n"
            "GDIHelpFile=0\r\nGDIPrintProcessor=WinPrint\r\n"
            "[R3.Win7]\r\nDriverNameP=R3\r\nGDIDriverPath=R1.DLL\r\nGDIDataFile=R1.GPD\r\nGDIConfigFile=R1UI.DLL\r\n"
            "GDIHelpFile=R3.HLP\r\nGDIPrintProcessor=WinPrint\r\n");
    for (const char* f : {"R1.DLL", "R1.GPD", "R1UI.DLL"}) m.write(std::string("W32\\") + f, f);
    auto r = m.install(m.choices("R1", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages, text(m, "IDS_ERR_LOSTDRIVERFILE"));
    EXPECT_FALSE(m.machine.files.fileExists(driverDir(m) + "\\R1UI.DLL"));

    auto zero = m.install(m.choices("R2", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(zero.state, kSucceeded) << zero.messages;
    EXPECT_TRUE(m.machine.files.fileExists(driverDir(m) + "\\R1UI.DLL"));
    // "0" names no help file: the spooler is not sent looking for a file called "0".
    ASSERT_NE(m.machine.spooler.driver("R2"), nullptr);
    EXPECT_FALSE(m.machine.spooler.driver("R2")->helpFile.has_value());

    // A help file the package lacks is a failure with its reason, never a driver without it.
    auto absent = m.install(m.choices("R3", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(absent.state, kFailed);
    EXPECT_EQ(absent.messages.rfind(text(m, "IDS_ERR_COPYFIEL"), 0), 0u) << absent.messages;
    EXPECT_FALSE(m.machine.spooler.hasDriver("R3"));
}

TEST(InstallSequence, DriverFileInUseIsSkippedSilently) {
    EngineMachine m(WindowsVersion::WinXP, false);
    m.machine.files.writeFile(driverDir(m) + "\\KLMUI.DLL", "old");
    m.machine.files.setInUse(driverDir(m) + "\\KLMUI.DLL", true);
    auto r = m.install(m.choices("KLM-A100", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(r.state, kSucceeded) << r.messages;
    EXPECT_EQ(*m.machine.files.readFile(driverDir(m) + "\\KLMUI.DLL"), "old");
}

TEST(InstallSequence, SixtyFourBitSkipsTheUsbIdFileAndTheXpSystemFiles) {
    EngineMachine xp32(WindowsVersion::WinXP, false);
    ASSERT_EQ(xp32.install(xp32.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    EXPECT_TRUE(xp32.machine.files.fileExists(driverDir(xp32) + "\\3\\KLMUSBID.DAT"));
    EXPECT_TRUE(xp32.machine.files.fileExists("C:\\WINDOWS\\system32\\SRCLIENT.DLL"));
    EXPECT_TRUE(xp32.machine.files.fileExists("C:\\WINDOWS\\system32\\wbem\\FRAMEDYN.DLL"));

    EngineMachine xp64(WindowsVersion::WinXP64, true);
    ASSERT_EQ(xp64.install(xp64.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    EXPECT_FALSE(xp64.machine.files.fileExists(driverDir(xp64) + "\\3\\KLMUSBID.DAT"));
    xp64.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    EXPECT_FALSE(xp64.machine.files.fileExists("C:\\WINDOWS\\system32\\SRCLIENT.DLL"));
    EXPECT_FALSE(xp64.machine.files.fileExists("C:\\WINDOWS\\SysWOW64\\SRCLIENT.DLL"));
}

TEST(InstallSequence, DmcolorOnlyForWindows98AndTwoModels) {
    EngineMachine m98(WindowsVersion::Win98, false);
    ASSERT_EQ(m98.install(m98.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    EXPECT_TRUE(m98.machine.files.fileExists(driverDir(m98) + "\\DMCOLOR.DLL"));
    EngineMachine other(WindowsVersion::Win98, false);
    ASSERT_EQ(other.install(other.choices("KLM-A200", cfg::kReceipt, "COM1:")).state, kSucceeded);
    EXPECT_FALSE(other.machine.files.fileExists(driverDir(other) + "\\DMCOLOR.DLL"));
    EngineMachine xp(WindowsVersion::WinXP, false);
    ASSERT_EQ(xp.install(xp.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    EXPECT_FALSE(xp.machine.files.fileExists(driverDir(xp) + "\\DMCOLOR.DLL"));
}

TEST(InstallSequence, WinPrintIsNeverCheckedButItsNameInOtherCaseIs) {
    EngineMachine m(WindowsVersion::Win7, false);
    m.write("DRVCONFIG\\setup_receipt.ini",
            "[R1.Win7]\r\nDriverNameP=R1\r\nSTDDriverPath=R1.DLL\r\nSTDDataFile=R1.GPD\r\nSTDConfigFile=R1UI.DLL\r\n"
            "STDHelpFile=R1.HLP\r\nSTDPrintProcessor=WinPrint\r\n"
            "[R2.Win7]\r\nDriverNameP=R2\r\nSTDDriverPath=R1.DLL\r\nSTDDataFile=R1.GPD\r\nSTDConfigFile=R1UI.DLL\r\n"
            "STDHelpFile=R1.HLP\r\nSTDPrintProcessor=winprint\r\n");
    for (const char* f : {"R1.DLL", "R1.GPD", "R1UI.DLL", "R1.HLP"}) m.write(std::string("W32\\") + f, f);
    auto c = m.choices("R1", cfg::kReceipt, "LPT1:");
    c.variant = cfg::kVariantStd;
    EXPECT_EQ(m.install(c).state, kSucceeded);
    EXPECT_EQ(m.machine.faults.timesCalled("AddPrintProcessorA"), 0);
    c.model = "R2";
    auto r = m.install(c);
    EXPECT_EQ(m.machine.faults.timesCalled("AddPrintProcessorA"), 1) << "winprint is another name";
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages, text(m, "IDS_ERR_ADDPROCESSOR"));
}

TEST(InstallSequence, UniversalDriverFilesFromTheDriverCacheOnceAndFromTheDriverStore) {
    EngineMachine xp(WindowsVersion::WinXP, false);
    ASSERT_EQ(xp.install(xp.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    EXPECT_EQ(xp.machine.faults.timesCalled("SetupIterateCabinetA"), 1);
    EXPECT_EQ(*xp.machine.files.readFile(driverDir(xp) + "\\UNIRES.DLL"), "cab unires.dll");
    EXPECT_FALSE(xp.machine.files.fileExists("C:\\TEMP\\other.dll")) << "only the universal driver's files";

    EngineMachine w7(WindowsVersion::Win7, true);
    ASSERT_EQ(w7.install(w7.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded);
    w7.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    EXPECT_EQ(*w7.machine.files.readFile(driverDir(w7) + "\\UNIRES.DLL"), "store64 UNIRES.DLL")
        << "from the AMD64 folder of the DriverStore, not from the package";

    // Windows 10 lists other ntprint packages first; the one that holds the files is used.
    for (bool is64 : {false, true}) {
        EngineMachine w10(WindowsVersion::Win10, is64);
        w10.writeNative(w10.storeFolder + (is64 ? "AMD64" : "I386") + "\\UNIRES.DLL", "the right folder");
        ASSERT_EQ(w10.install(w10.choices("KLM-A100", cfg::kReceipt, "LPT1:")).state, kSucceeded) << is64;
        EXPECT_EQ(w10.machine.files.readFileNative(driverDir(w10) + "\\UNIRES.DLL").value_or(""), "the right folder") << is64;
    }
}

TEST(InstallSequence, WithoutADriverStoreTheUniversalDriverCannotBeInstalled) {
    EngineMachine m(WindowsVersion::Vista, false);
    m.machine.files.removeFile(
        "C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\ntprint.inf_x86_neutral_1a2b\\I386\\UNIDRV.DLL");
    for (const char* f : {"UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD", "UNIDRV.DLL"})
        for (const char* arch : {"I386", "AMD64"})
            m.machine.files.removeFile(std::string("C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\ntprint.inf_x86_neutral_1a2b\\") +
                                       arch + "\\" + f);
    auto r = m.install(m.choices("KLM-A100", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages.rfind("Couldn't find system files.", 0), 0u) << r.messages;

    // On Windows 10 matching folders that all lack the file fail with where it was sought.
    EngineMachine w10(WindowsVersion::Win10, true);
    w10.removeNative(w10.storeFolder + "AMD64\\UNIDRV.DLL");
    r = w10.install(w10.choices("KLM-A100", cfg::kReceipt, "LPT1:"));
    EXPECT_EQ(r.state, kFailed);
    EXPECT_EQ(r.messages,
              "Couldn't find system files.\nC:\\WINDOWS\\System32\\DriverStore\\FileRepository\\ntprint*\\AMD64\\UNIDRV.DLL");
}

TEST(InstallSequence, NoSerialSettingsOrPortRecordForParallelAndNetworkPorts) {
    for (const char* port : {"LPT1:", "NET"}) {
        EngineMachine m(WindowsVersion::Win7, false);
        ASSERT_EQ(m.install(m.choices("KLM-A100", cfg::kReceipt, port)).state, kSucceeded);
        EXPECT_EQ(string(m, "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:"), "9600,n,8,1");
        EXPECT_FALSE(m.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT")) << port;
    }
}

TEST(InstallSequence, SerialSettingsOfTheRequestWithTheParityLowered) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "COM2:");
    c.serial = ComPortSettings{19200, 'E', 7, 1.5, 'x'};
    ASSERT_EQ(m.install(c).state, kSucceeded);
    EXPECT_EQ(string(m, "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM2:"), "19200,e,7,1.5,x");
}

TEST(InstallSequence, LanguageMonitorOfAUsbPrinterIsRegistered) {
    EngineMachine m(WindowsVersion::Win7, false);
    ASSERT_EQ(m.install(m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_2")).state, kSucceeded);
    const auto* lm = m.machine.spooler.monitor("KLM Language Monitor");
    ASSERT_NE(lm, nullptr);
    const auto* printer = m.machine.spooler.printer("KLM-A100(U) 2");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(m.machine.spooler.driver(*printer->info.driverName)->monitorName, std::string("KLM Language Monitor"));

    EngineMachine m64(WindowsVersion::Win7, true);
    ASSERT_EQ(m64.install(m64.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_2")).state, kSucceeded);
    EXPECT_EQ(m64.machine.spooler.monitor("KLM Language Monitor"), nullptr) << "not on 64-bit Windows";
}

TEST(InstallSequence, RunningSpoolerHoldsItsMonitorUntilTheUpdateStopsIt) {
    EngineMachine m(WindowsVersion::Win7, false);
    auto c = m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
    ASSERT_EQ(m.install(c).state, kSucceeded);
    const std::string dll = "C:\\WINDOWS\\system32\\klmusb.dll";
    EXPECT_TRUE(m.machine.files.inUse(dll)) << "loaded by the running spooler";

    // An outdated monitor is replaced under its own name: the spooler is stopped first.
    m.machine.registry.poke(kMonitors + "KLM USB Port", "DriverVersion", plat::kRegDword, {1, 0, 0, 0});
    c.portName = "USB_KLM-A100_2";
    auto r = m.install(c);
    ASSERT_EQ(r.state, kSucceeded) << r.messages;
    EXPECT_EQ(string(m, kMonitors + "KLM USB Port", "Driver"), "KLMUSB.DLL");
    EXPECT_FALSE(m.machine.files.fileExists("C:\\WINDOWS\\system32\\nKLMUSB.DLL"));
    EXPECT_EQ(m.machine.services.service("Spooler").stopCount, 1);
}

// The spooler of 64-bit Windows is a 64-bit service: it prints only with x64 drivers and
// processors and loads only x64 monitors. A 32-bit installer that names no environment
// would register everything as "Windows NT x86", in the x86 folders.
TEST(InstallSequence, On64BitWindowsEverythingGoesToTheX64EnvironmentAndItsFolders) {
    for (WindowsVersion version : {WindowsVersion::WinXP64, WindowsVersion::Server2003, WindowsVersion::Win7}) {
        EngineMachine m(version, true);
        auto r = m.install(m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1"));
        ASSERT_EQ(r.state, kSucceeded) << sim::windowsVersionName(version) << ": " << r.messages;
        const auto& spooler = m.machine.spooler;
        const std::string driverName = *spooler.printer(r.printerName)->info.driverName;
        const plat::DriverInfo3* driver = spooler.driver(driverName, "Windows x64");
        ASSERT_NE(driver, nullptr) << sim::windowsVersionName(version);
        EXPECT_FALSE(spooler.hasDriver(driverName, "Windows NT x86"));
        const std::string x64Drivers = spooler.driverDirectory("Windows x64");
        EXPECT_TRUE(sim::equalsNoCase(x64Drivers, "C:\\WINDOWS\\System32\\spool\\drivers\\x64")) << x64Drivers;
        EXPECT_EQ(m.machine.files.readFile(x64Drivers + "\\" + *driver->dataFile), "w64 " + *driver->dataFile);
        EXPECT_TRUE(spooler.hasProcessor("KLMPrintProc", "Windows x64"));
        EXPECT_FALSE(spooler.hasProcessor("KLMPrintProc", "Windows NT x86"));
        EXPECT_EQ(m.machine.files.readFile(spooler.processorDirectory("Windows x64") + "\\KLMPROC.DLL"), "w64 klmproc.dll");
        EXPECT_NE(dword(m, "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print Processors\\KLMPrintProc",
                        "DriverVersion"),
                  0xFFFFFFFFu);
        ASSERT_NE(spooler.monitor("KLM USB Port"), nullptr);
        EXPECT_EQ(spooler.monitor("KLM USB Port")->environment, "Windows x64");
    }
}

// An update replaces a DLL the spooler loads. The spooler holds it until its process has
// ended, however long the stop takes; a package on read-only media makes read-only copies.
// Neither may end in a monitor whose recorded file was never written, nor in a stopped
// spooler.
TEST(InstallSequence, UpdatesSurviveSlowStopsHeldFilesAndReadOnlyPackages) {
    struct Case {
        const char* what;
        std::uint32_t stopDelayMs;
        bool readOnlyPackage;
        const char* recordedDll;  // what the monitor's Driver value must name afterwards
    };
    const Case cases[] = {
        {"stop of 3 s", 3000, false, "KLMUSB.DLL"},
        {"read-only package", 0, true, "KLMUSB.DLL"},
        {"stop past the limit", cfg::kSpoolerStopLimitMs + 60000, false, "nKLMUSB.DLL"},
    };
    for (const Case& c : cases) {
        for (bool sixtyFour : {false, true}) {
            EngineMachine m(WindowsVersion::Win7, sixtyFour);
            const char* w = sixtyFour ? "W64\\" : "W32\\";
            if (c.readOnlyPackage)
                for (const char* f : {"klmusb.dll", "klmusbui.dll", "klmproc.dll", "KLMA100.DRV"})
                    m.machine.files.setAttributes(std::string("C:\\PKG\\") + w + f,
                                                  plat::kFileAttributeReadOnly | plat::kFileAttributeArchive);
            auto choice = m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1");
            auto first = m.install(choice);
            ASSERT_EQ(first.state, kSucceeded) << c.what;
            plat::PrinterHandle printer = 0;  // a USB printer's name may not exist twice
            ASSERT_TRUE(m.p.spooler.OpenPrinter(first.printerName, &printer));
            ASSERT_TRUE(m.p.spooler.DeletePrinter(printer));
            m.p.spooler.ClosePrinter(printer);
            m.machine.services.service("Spooler").stopDelayMs = c.stopDelayMs;
            m.write(std::string(w) + "klmusb.dll", "newer klmusb.dll");
            m.machine.registry.poke(kMonitors + "KLM USB Port", "DriverVersion", plat::kRegDword, {0, 0, 0, 0});

            auto r = m.install(choice);
            EXPECT_EQ(r.state, kSucceeded) << c.what << ": " << r.messages;
            EXPECT_EQ(string(m, kMonitors + "KLM USB Port", "Driver"), c.recordedDll) << c.what;
            EXPECT_EQ(m.machine.files.readFileNative(std::string("C:\\WINDOWS\\System32\\") + c.recordedDll),
                      "newer klmusb.dll")
                << c.what << (sixtyFour ? " 64-bit" : " 32-bit");
            EXPECT_GT(dword(m, kMonitors + "KLM USB Port", "DriverVersion"), 0u) << c.what;
            EXPECT_EQ(m.machine.services.currentState("Spooler"), plat::kServiceRunning) << c.what;
            // The spooler loaded the new file when it started again.
            ASSERT_NE(m.machine.spooler.monitor("KLM USB Port"), nullptr) << c.what;
            EXPECT_TRUE(sim::equalsNoCase(m.machine.spooler.monitor("KLM USB Port")->dll, c.recordedDll)) << c.what;
        }
    }
}
