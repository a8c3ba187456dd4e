#include <gtest/gtest.h>

#include "config/PackageFiles.h"
#include "engine/DriverPackage.h"
#include "TestMachine.h"

using namespace engine;
using cfg::MessageBuffer;
using testing_support::TestMachine;

namespace {

const char kModelFile[] =
    "[R1.XP]\r\n"
    "DriverNameS=R1 Serial\r\nDriverNameP=R1 Parallel\r\nDriverNameU=R1 USB\r\nDriverNameN=R1 Net\r\n"
    "GDIDriverName=R1 Old\r\n"
    "GDIDataFile=GDI.GPD\r\nSTDDataFile=STD.GPD\r\nGDIDriverPath=UNIDRV.DLL\r\nSTDDriverPath=UNIDRV.DLL\r\n"
    "GDIConfigFile=UNIDRVUI.DLL\r\nSTDConfigFile=UNIDRVUI.DLL\r\nGDIHelpFile=UNIDRV.HLP\r\nSTDHelpFile=UNIDRV.HLP\r\n"
    "GDIPrintProcessor=GdiProc\r\nSTDPrintProcessor=StdProc\r\nATTRIBUTES=2112\r\n"
    "GDI2KDDKDEV=1\r\nSTD2KDDKDEV=0\r\nGDIDataOemuiDLL=B.DLL\r\nSTDDataOemuiDLL=0\r\n"
    "[R1.NT]\r\nGDIDriverName=R1 NT\r\nGDIDataFile=NTGDI.GPD\r\nSTDDataFile=NTSTD.GPD\r\nGDI2KDDKDEV=1\r\n"
    "[R1.98]\r\nGDIDriverName=R1 98\r\nGDIDataFile=R1.DRV\r\nGDI2KDDKDEV=1\r\n";

struct Fixture {
    TestMachine t{false};
    explicit Fixture(const std::string& switches = "") {
        t.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\n" + switches +
                                            "[COMMON-MONITOR.XP]\r\nCOMMONitorPName=Ser\r\nCOMMONitorPDLLName=ser.dll\r\n"
                                            "USBMONitorPName=Usb\r\nUSBMONitorPDLLName=usb.dll\r\nUSBMONitorVersion=4\r\n"
                                            "USBLMONitorName=Lang\r\nUSBLMONitorDLLName=lang.dll\r\nUSBLMONitorVersion=2\r\n"
                                            "[COMMON-MONITOR.98]\r\nUSBLMONitorName=L\r\nUSBLMONitorDLLName=x\r\n"
                                            "USBLMONitorVersion=0\r\n");
        t.write("DRVCONFIG\\setup_receipt.ini", kModelFile);
    }
    DriverPackage package() {
        DriverPackage p(t.p, false);
        p.category = cfg::kReceipt;
        return p;
    }
};

}  // namespace

TEST(DriverPackage, ForcedVariantByPortWhenGdiStdSignIsSet) {
    Fixture f("GDISTDSign=1\r\n");
    DriverPackage package = f.package();
    EXPECT_EQ(package.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).dataFile, "STD.GPD");
    EXPECT_EQ(package.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantStd, kPortCom).dataFile, "GDI.GPD");
    EXPECT_EQ(package.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantStd, kPortLpt).dataFile, "STD.GPD");
    plat::DriverInfo3 info;
    MessageBuffer messages;
    ASSERT_TRUE(package.readDriverInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb, &info, messages));
    EXPECT_EQ(info.dataFile, "STD.GPD");
    EXPECT_EQ(package.readPrinterInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).printProcessor, "StdProc");

    // NT: driver name from GDIDriverName, driver files from the caller's variant, but the
    // file set follows the forced one.
    ASSERT_TRUE(package.readDriverInfo("R1", cfg::kOsNt4, cfg::kVariantGdi, kPortUsb, &info, messages));
    EXPECT_EQ(info.name, "R1 NT");
    EXPECT_EQ(info.dataFile, "NTGDI.GPD");
    EXPECT_EQ(info.version, 2u);
    EXPECT_EQ(package.readFileSet("R1", cfg::kOsNt4, cfg::kVariantGdi, kPortUsb).dataFile, "NTSTD.GPD");

    Fixture plain;
    DriverPackage unforced = plain.package();
    EXPECT_EQ(unforced.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).dataFile, "GDI.GPD");
}

TEST(DriverPackage, DriverNameByPortKindAndTarget) {
    Fixture f;
    DriverPackage package = f.package();
    plat::DriverInfo3 info;
    MessageBuffer messages;
    const char* expected[] = {"R1 Serial", "R1 Parallel", "R1 USB", "R1 Net"};
    for (int kind = 0; kind < 4; ++kind) {
        ASSERT_TRUE(package.readDriverInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kind, &info, messages));
        EXPECT_EQ(info.name, expected[kind]);
        EXPECT_EQ(package.readPrinterInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kind).driverName, expected[kind]);
    }
    EXPECT_EQ(info.version, 3u);
    EXPECT_FALSE(info.environment.has_value());
}

TEST(DriverPackage, DependentListForTheUniversalDriver) {
    Fixture f;
    DriverPackage package = f.package();
    plat::DriverInfo3 info;
    MessageBuffer messages;
    ASSERT_TRUE(package.readDriverInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb, &info, messages));
    EXPECT_EQ(info.dependentFiles,
              (std::vector<std::string>{"GDI.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "B.DLL"}));
    // Windows 98: version 0, "Windows 4.0", and no list even with GDI2KDDKDEV set.
    ASSERT_TRUE(package.readDriverInfo("R1", cfg::kOsWin9x, cfg::kVariantGdi, kPortLpt, &info, messages));
    EXPECT_EQ(info.version, 0u);
    EXPECT_EQ(info.environment, std::string("Windows 4.0"));
    EXPECT_TRUE(info.dependentFiles.empty());
    EXPECT_EQ(info.name, "R1 98");
    EXPECT_TRUE(messages.empty());
}

TEST(DriverPackage, DependentListThatDoesNotFitIsRefused) {
    Fixture f;
    f.t.write("DRVCONFIG\\setup_receipt.ini",
              "[R2.Win7]\r\nDriverNameU=R2\r\nGDI2KDDKDEV=1\r\nGDIDataFile=" + std::string(120, 'D') +
                  ".GPD\r\nGDIDataOemuiDLL=" + std::string(40, 'U') + ".DLL\r\n");
    DriverPackage package = f.package();
    plat::DriverInfo3 info;
    MessageBuffer messages;
    EXPECT_FALSE(package.readDriverInfo("R2", cfg::kOsWin7, cfg::kVariantGdi, kPortUsb, &info, messages));
    EXPECT_NE(messages.text().find("dependent"), std::string::npos);
}

TEST(DriverPackage, PrinterRecordCarriesOnlyItsFourFields) {
    Fixture f;
    DriverPackage package = f.package();
    plat::PrinterInfo2 p = package.readPrinterInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortLpt);
    EXPECT_EQ(p.printerName, std::string("R1"));
    EXPECT_EQ(p.printProcessor, std::string("GdiProc"));
    EXPECT_EQ(p.attributes, 2112u);
    EXPECT_FALSE(p.portName.has_value());
    EXPECT_FALSE(p.datatype.has_value());
    EXPECT_EQ(package.readPrinterInfo("R1", cfg::kOsWinXP, 5, kPortLpt).attributes, 0u);
}

TEST(DriverPackage, MonitorsAndLanguageMonitor) {
    Fixture f;
    DriverPackage package = f.package();
    PortMonitorSet m = package.readPortMonitors(cfg::kOsWinXP);
    EXPECT_EQ(m.serial.name, std::string("Ser"));
    EXPECT_EQ(m.usb.dllName, std::string("usb.dll"));
    EXPECT_EQ(m.usbVersion, 4);
    EXPECT_FALSE(m.usb.environment.has_value());
    EXPECT_EQ(package.readPortMonitors(cfg::kOsWin9x).usb.environment, std::string("Windows 4.0"));

    EXPECT_TRUE(package.readLanguageMonitor(cfg::kOsWinXP, kPortUsb).configured());
    EXPECT_EQ(package.readLanguageMonitor(cfg::kOsWinXP, kPortUsb).version, 2);
    EXPECT_FALSE(package.readLanguageMonitor(cfg::kOsWinXP, kPortCom).configured());
    EXPECT_FALSE(package.readLanguageMonitor(cfg::kOsWin9x, kPortUsb).configured()) << "one-letter values";
    EXPECT_FALSE(package.readLanguageMonitor(cfg::kOsWin7, kPortUsb).configured()) << "section absent";
}

TEST(DriverPackage, UsbInternalIdOnlyOn32BitWindowsAndUniversalFlagPerVariant) {
    Fixture f;
    f.t.write("DRVCONFIG\\setup_receipt_64.ini", "[R1.XP]\r\nUSBInternalID=id.dat\r\nSTD2KDDKDEV=1\r\n");
    f.t.write("DRVCONFIG\\setup_receipt.ini", "[R1.XP]\r\nUSBInternalID=id.dat\r\nSTD2KDDKDEV=1\r\n");
    DriverPackage p32(f.t.p, false);
    p32.category = cfg::kReceipt;
    DriverPackage p64(f.t.p, true);
    p64.category = cfg::kReceipt;
    EXPECT_EQ(p32.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).usbInternalId, "id.dat");
    EXPECT_EQ(p64.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).usbInternalId, "");
    EXPECT_TRUE(p64.needsUniversalDriverFiles("R1", cfg::kOsWinXP, cfg::kVariantStd));
    EXPECT_FALSE(p64.needsUniversalDriverFiles("R1", cfg::kOsWinXP, cfg::kVariantGdi));
    EXPECT_FALSE(p64.needsUniversalDriverFiles("R1", cfg::kOsWinXP, 2));
}

TEST(DriverPackage, WrongCategoryReadsOnlyDefaults) {
    Fixture f;
    DriverPackage package(f.t.p, false);
    package.category = 9;
    EXPECT_EQ(package.readFileSet("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).dataFile, "");
    EXPECT_EQ(package.readPrinterInfo("R1", cfg::kOsWinXP, cfg::kVariantGdi, kPortUsb).driverName, "");
}
