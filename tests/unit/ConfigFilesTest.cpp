#include <gtest/gtest.h>

#include "config/IniValues.h"
#include "config/ModelConfig.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "TestMachine.h"

using namespace cfg;
using testing_support::TestMachine;

TEST(IniValues, LeadingIntegerConversion) {
    EXPECT_EQ(LeadingInt("  42abc"), 42);
    EXPECT_EQ(LeadingInt("-5"), -5);
    EXPECT_EQ(LeadingInt("+7"), 7);
    EXPECT_EQ(LeadingInt("abc"), 0);
    EXPECT_EQ(LeadingInt(""), 0);
    EXPECT_EQ(LeadingInt("- 3"), 0);
    EXPECT_EQ(LeadingInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(LeadingInt("-99999999999999999999"), -2147483647 - 1);
}

TEST(IniValues, NoFileMeansEmptyOrLeadingZero) {
    EXPECT_TRUE(IsNoFile(""));
    EXPECT_TRUE(IsNoFile("0"));
    EXPECT_TRUE(IsNoFile("0driver.dll"));
    EXPECT_FALSE(IsNoFile("driver0.dll"));
}

TEST(PackageFiles, ModelFileByCategoryAndWidthNotByTarget) {
    EXPECT_EQ(ModelFileName(kReceipt, false), "DRVCONFIG\\setup_receipt.ini");
    EXPECT_EQ(ModelFileName(kLabel, false), "DRVCONFIG\\setup_lable.ini");
    EXPECT_EQ(ModelFileName(kLabel, true), "DRVCONFIG\\setup_lable_64.ini");
    EXPECT_EQ(ModelFileName(kTicket, true, true), "DRVCONFIG\\setup_Ticket_64.ini");
    EXPECT_EQ(ModelFileName(kReceipt, false, true), "DRVCONFIG\\setup_receipt.ini");
    EXPECT_EQ(ModelFileName(4, false), "");
    EXPECT_EQ(ModelFileName(-1, true), "");
}

TEST(PackageFiles, ProgramFolderKeepsTrailingBackslashAndIsCutAt200) {
    TestMachine t(false);
    EXPECT_EQ(ProgramFolder(t.p), "C:\\PKG\\");
    t.machine.process.imagePath = "C:\\" + std::string(250, 'a') + "\\setup.exe";
    // The 200-byte buffer cuts the path before its last backslash: no folder remains
    // but the drive's.
    EXPECT_EQ(ProgramFolder(t.p), "C:\\");
}

TEST(PackageFiles, CapitalisedSpellingFindsTheLowerCaseFileOnTheSampleDisk) {
    TestMachine t;
    for (int category = 0; category < 4; ++category)
        for (bool is64 : {false, true}) {
            const std::string path = "C:\\PKG\\" + ModelFileName(category, is64, true);
            EXPECT_TRUE(t.machine.files.fileExists(path)) << path;
        }
}

TEST(PackageConfig, EntriesOfTheSamplePackage) {
    TestMachine t;
    PackageConfig package(t.p);
    EXPECT_EQ(package.path(), "C:\\PKG\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(package.deviceCount(), 10);
    std::string name;
    EXPECT_EQ(package.deviceEntry(2, &name), kTicket);
    EXPECT_EQ(name, "KLM-B200");
    EXPECT_EQ(package.deviceEntry(6, &name), -1);  // no suffix: left as read
    EXPECT_EQ(name, "KLM-DIAG-Utility");
    EXPECT_EQ(package.defaultEntry(&name), kTicket);
    EXPECT_EQ(name, "KLM-B200");
}

TEST(PackageConfig, SuffixesAreTriedInFixedOrderNotByPosition) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup.ini",
            "[DEVICENAME]\r\nDEVICENUMBER=3\r\n1=X1-LabelPrinter-ReceiptPrinter\r\n2=KLM-B200-TicketPrinter\r\n"
            "3=Plain\r\n");
    PackageConfig package(t.p);
    std::string name;
    EXPECT_EQ(package.deviceEntry(1, &name), kReceipt);
    EXPECT_EQ(name, "X1-LabelPrinter");
    EXPECT_EQ(package.deviceEntry(2, &name), kTicket);
    EXPECT_EQ(name, "KLM-B200");
    EXPECT_EQ(package.deviceEntry(3, &name), -1);
    EXPECT_EQ(package.deviceEntry(4, &name), -1);  // absent entry reads "0"
    EXPECT_EQ(name, "0");
}

TEST(PackageConfig, BadCountsAndDefaultsGiveDocumentedValues) {
    TestMachine t(false);
    PackageConfig package(t.p);
    std::string name;
    EXPECT_EQ(package.deviceCount(), 0);  // no file at all
    EXPECT_EQ(package.defaultEntry(&name), -1);

    for (const char* count : {"-5", "abc", "99999"}) {
        t.write("DRVCONFIG\\setup.ini", std::string("[DEVICENAME]\r\nDEVICENUMBER=") + count +
                                            "\r\nDEFAULTNAME=xyz\r\n1=A-ReceiptPrinter\r\n");
        EXPECT_EQ(package.deviceCount(), LeadingInt(count));
        EXPECT_EQ(package.defaultEntry(&name), -1) << "an invalid DEFAULTNAME preselects nothing";
    }
}

TEST(PackageConfig, LongEntryIsCutTo199Bytes) {
    TestMachine t(false);
    const std::string longModel(300, 'M');
    t.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\n1=" + longModel + "-ReceiptPrinter\r\n");
    PackageConfig package(t.p);
    std::string name;
    // The suffix falls beyond the 200-byte buffer, so the entry has no category.
    EXPECT_EQ(package.deviceEntry(1, &name), -1);
    EXPECT_EQ(name, std::string(199, 'M'));
}

TEST(PackageConfig, MonitorsPerTargetSystemWithoutFallback) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup.ini",
            "[COMMON-MONITOR.XP]\r\nCOMMONitorPName=Serial Mon\r\nCOMMONitorPDLLName=ser.dll\r\n"
            "COMMONitorVersion=12abc\r\nUSBLMONitorName=LM\r\nUSBLMONitorDLLName=l\r\nUSBLMONitorVersion=2\r\n"
            "[COMMON-MONITOR.Win7]\r\nUSBLMONitorName=L\r\nUSBLMONitorDLLName=d\r\nUSBLMONitorVersion=3\r\n");
    PackageConfig package(t.p);
    PortMonitors xp = package.portMonitors(kOsWinXP);
    EXPECT_EQ(xp.comName, "Serial Mon");
    EXPECT_EQ(xp.comVersion, 12);
    EXPECT_EQ(xp.usbName, "0");  // no "not configured" rule for the port monitors
    EXPECT_EQ(xp.languageName, "LM");
    EXPECT_EQ(xp.languageVersion, 2);
    // All three language-monitor values one character long: not configured.
    PortMonitors win7 = package.portMonitors(kOsWin7);
    EXPECT_EQ(win7.languageName, "");
    EXPECT_EQ(win7.languageDll, "");
    EXPECT_EQ(win7.languageVersion, 0);
    EXPECT_EQ(win7.comName, "0") << "the .XP section must not be consulted for Win7";
}

TEST(PackageConfig, SampleSwitchesAndUsbDevices) {
    TestMachine t;
    PackageConfig package(t.p);
    EXPECT_EQ(package.loadLicense(), 1);
    EXPECT_EQ(package.language(), 1);
    EXPECT_GT(package.processorVersion(), 0);
    EXPECT_NE(package.supportedUsbDevice("USB_KLM-C5_1"), 0);
    EXPECT_EQ(package.supportedUsbDevice("USB_NOSUCH_1"), 0);
}

TEST(ModelConfig, LabelModelOn64BitWindowsReadsThe64BitLableFileWhateverTheTarget) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup_lable_64.ini", "[L1.XP]\r\nDriverNameU=Label 64\r\n");
    t.write("DRVCONFIG\\setup_lable.ini", "[L1.XP]\r\nDriverNameU=Label 32\r\n");
    ModelConfig model(t.p, kLabel, true);
    EXPECT_EQ(model.path(), "C:\\PKG\\DRVCONFIG\\setup_lable_64.ini");
    EXPECT_EQ(model.osSection("L1", kOsWinXP, kVariantGdi).driverNameU, "Label 64");
}

TEST(ModelConfig, MissingKeyInTargetSectionReadsZeroWithoutFallback) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup_receipt.ini",
            "[R1.XP]\r\nDriverNameU=Receipt XP\r\nGDIDriverPath=gdi.dll\r\nSTDDriverPath=std.dll\r\n"
            "[R1.Win7]\r\nGDIDriverPath=\r\n");
    ModelConfig model(t.p, kReceipt, false);
    ModelOsSection win7 = model.osSection("R1", kOsWin7, kVariantGdi);
    EXPECT_EQ(win7.driverNameU, "0");
    EXPECT_EQ(win7.driverPath, "");
    EXPECT_TRUE(IsNoFile(win7.driverPath));
    EXPECT_EQ(model.osSection("R1", kOsWinXP, kVariantStd).driverPath, "std.dll");
    EXPECT_EQ(model.osSection("R1", kOsWinXP, kVariantGdi).driverPath, "gdi.dll");
}

TEST(ModelConfig, VariantFamiliesAndTheUniversalDriverFlags) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup_receipt.ini",
            "[R1.Win7]\r\nGDI2KDDKDEV=1\r\nSTD2KDDKDEV=0\r\nGDIPrintProcessor=GdiProc\r\n"
            "STDPrintProcessor=StdProc\r\nUSBInternalID=usbid.dat\r\nControlFontFile=font.fnt\r\n");
    ModelConfig model32(t.p, kReceipt, false);
    ModelOsSection gdi = model32.osSection("R1", kOsWin7, kVariantGdi);
    ModelOsSection std = model32.osSection("R1", kOsWin7, kVariantStd);
    EXPECT_TRUE(gdi.needsUniversalFiles);
    EXPECT_FALSE(std.needsUniversalFiles);
    EXPECT_EQ(std.dependentListFlag, 1) << "the dependent list always reads the GDI key";
    EXPECT_EQ(gdi.printProcessor, "GdiProc");
    EXPECT_EQ(std.printProcessor, "StdProc");
    EXPECT_EQ(std.controlFontFile, "font.fnt");
    EXPECT_EQ(gdi.usbInternalId, "usbid.dat");

    ModelOsSection other = model32.osSection("R1", kOsWin7, 2);
    EXPECT_EQ(other.driverPath, "") << "a variant other than 0 or 1 reads no driver files";
    EXPECT_EQ(other.controlFontFile, "font.fnt");

    t.write("DRVCONFIG\\setup_receipt_64.ini", "[R1.Win7]\r\nUSBInternalID=usbid.dat\r\n");
    ModelConfig model64(t.p, kReceipt, true);
    EXPECT_EQ(model64.osSection("R1", kOsWin7, kVariantGdi).usbInternalId, "") << "32-bit Windows only";
}

TEST(ModelConfig, PortSectionAndSupportedSystems) {
    TestMachine t;
    ModelConfig ticket(t.p, kTicket, false);
    ModelPortSection b300 = ticket.portSection("KLM-B300");
    EXPECT_EQ(b300.comSupported, 0);
    EXPECT_NE(b300.usbSupported, 0);
    EXPECT_TRUE(b300.supportsOs(kOsVista));
    EXPECT_FALSE(b300.supportsOs(kOsWin7));
    EXPECT_FALSE(b300.supportsOs(kOsServer2008));
    for (OsClass never : {kOsWin9x, kOsWin2000, kOsWinXP}) EXPECT_TRUE(b300.supportsOs(never));

    ModelPortSection absent = ticket.portSection("NO-SUCH-MODEL");
    EXPECT_FALSE(absent.supportsOs(kOsNt4));
    EXPECT_TRUE(absent.supportsOs(kOsWinXP));
}

// Windows 8 and later read their own section when the package has one, else the
// Windows 7 (Server: 2008) one; section by section, never key by key.
TEST(ModelConfig, NewerWindowsFallBackSectionBySection) {
    TestMachine t(false);
    t.write("DRVCONFIG\\setup_receipt.ini",
            "[R1.Win7]\r\nDriverNameU=Seven\r\nControlFontFile=seven.ttf\r\n[R1.Win10]\r\nDriverNameU=Ten\r\n"
            "[R2.Win7]\r\nDriverNameU=Seven2\r\n[R2.2008]\r\nDriverNameU=Server\r\n"
            "[R3.Win10]\r\n[R3.Win7]\r\nDriverNameU=Three\r\n"
            "[A.PORT]\r\nSystemWin7Supported=1\r\n"
            "[B.PORT]\r\nSystemWin7Supported=0\r\nSystemWin10Supported=1\r\nSystem2008Supported=1\r\n"
            "System2012Supported=0\r\n"
            "[C.PORT]\r\nSystemWin7Supported=1\r\nSystemWin10Supported=\r\n");
    ModelConfig model(t.p, kReceipt, false);
    struct Row {
        const char* model;
        OsClass os;
        const char* driverName;
        const char* font;
    };
    for (const Row& r : {Row{"R1", kOsWin10, "Ten", "0"}, Row{"R1", kOsWin7, "Seven", "seven.ttf"},
                         Row{"R2", kOsWin10, "Seven2", "0"}, Row{"R2", kOsServer2012, "Server", "0"},
                         Row{"R3", kOsWin10, "Three", "0"}, Row{"R2", kOsVista, "0", "0"}}) {
        const ModelOsSection s = model.osSection(r.model, r.os, kVariantGdi);
        EXPECT_EQ(s.driverNameU, r.driverName) << r.model << " " << r.os;
        EXPECT_EQ(s.controlFontFile, r.font) << r.model << " " << r.os;
    }
    const ModelPortSection a = model.portSection("A"), b = model.portSection("B"), c = model.portSection("C");
    EXPECT_TRUE(a.supportsOs(kOsWin10));
    EXPECT_FALSE(a.supportsOs(kOsServer2012));
    EXPECT_TRUE(b.supportsOs(kOsWin10)) << "its own key wins over Windows 7's";
    EXPECT_FALSE(b.supportsOs(kOsServer2012)) << "its own key wins over 2008's";
    EXPECT_TRUE(c.supportsOs(kOsWin10)) << "an empty key says nothing";

    t.write("DRVCONFIG\\setup.ini", "[COMMON-MONITOR.Win7]\r\nUSBMONitorPName=Seven\r\n"
                                   "[COMMON-MONITOR.2012]\r\nUSBMONitorPName=Twelve\r\n");
    PackageConfig package(t.p);
    EXPECT_EQ(package.portMonitors(kOsWin10).usbName, "Seven");
    EXPECT_EQ(package.portMonitors(kOsServer2012).usbName, "Twelve");
}

TEST(ModelConfig, UnknownCategoryReadsNothing) {
    TestMachine t;
    ModelConfig none(t.p, 7, false);
    EXPECT_EQ(none.path(), "");
    EXPECT_EQ(none.osSection("KLM-A100", kOsWin7, kVariantGdi).driverNameU, "");
    EXPECT_EQ(none.portSection("KLM-A100").usbSupported, 0);
}

TEST(ModelConfig, SectionNamesAreCutTo199Bytes) {
    const std::string model(250, 'x');
    EXPECT_EQ(ModelConfig::OsSectionName(model, kOsWin7).size(), 199u);
    EXPECT_EQ(ModelConfig::PortSectionName("KLM-A100"), "KLM-A100.PORT");
    EXPECT_EQ(ModelConfig::OsSectionName("KLM-A100", kOsServer2003), "KLM-A100.2003");
}

TEST(BaudRate, ListEntryByValueWith38400ForAnythingElse) {
    EXPECT_EQ(BaudRateIndex(110), 0);
    EXPECT_EQ(BaudRateIndex(9600), 5);
    EXPECT_EQ(BaudRateIndex(115200), 9);
    EXPECT_EQ(BaudRateIndex(38400), 7);
    EXPECT_EQ(BaudRateIndex(12345), 7);
    EXPECT_EQ(BaudRateIndex(0), 7);  // a missing BaudRate
}
