#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "engine/UsbPrinter.h"
#include "TestMachine.h"

using namespace engine;
using testing_support::TestMachine;
using Texts = std::vector<std::string>;
using Sleeps = std::vector<std::uint32_t>;

namespace {

const char* const kPackageSys = "USBDRV\\USBDriver\\VORUZA.sys";
const char* const kPackageSys64 = "USBDRV\\USBDriver_x64\\VORUZA.sys";
const char* const kInstalledSys = "C:\\WINDOWS\\system32\\drivers\\VORUZA.sys";

struct UsbMachine : TestMachine {
    explicit UsbMachine(std::vector<std::uint16_t> printers = {}) {
        machine.usb.installLibrary(true);
        machine.usb.printers = std::move(printers);
    }
    std::string message(const char* key) { return cfg::MessageTexts(p, cfg::Program::Setup).GetText(key); }
    Texts texts() const {
        Texts out;
        for (const auto& b : boxes()) out.push_back(b.text);
        return out;
    }
    void expectReleased() const {
        EXPECT_EQ(machine.usb.openHandles(), 0);
        EXPECT_EQ(machine.process.loadedLibraryCount(), 0);
    }
    void packageDriver(const char* version, const char* path = kPackageSys) {
        write(path, sim::SimFiles::withVersion(version));
    }
    void installedDriver(const char* version) { machine.files.writeFile(kInstalledSys, sim::SimFiles::withVersion(version)); }
};

}  // namespace

TEST(UsbPrinter, ReadsTheOnePrinterAndRefusesTwo) {
    UsbMachine t({0x1209});
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Setup), 0x1209) << "both bytes of bcdDevice";
    EXPECT_TRUE(t.boxes().empty());
    t.expectReleased();

    t.machine.usb.printers = {1, 2};
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Uninstall), kUsbSeveralPrinters);
    EXPECT_TRUE(t.boxes().empty()) << "the uninstaller stays quiet";
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Setup), kUsbSeveralPrinters);
    EXPECT_EQ(t.texts(), Texts{t.message("IDS_ERR_ONEPRINTER")});
    t.expectReleased();
}

TEST(UsbPrinter, ReadFailuresGiveMinusOne) {
    TestMachine bare;  // no library installed
    EXPECT_EQ(ReadUsbDeviceId(bare.p, cfg::Program::Setup), kUsbNoPrinter);
    EXPECT_EQ(bare.boxes().at(0).text, "Can not load RuZuvUzu.dll");

    UsbMachine t({3});
    t.machine.faults.failCall("GetProcAddress", plat::kErrorProcNotFound, 1, 1);
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Setup), kUsbNoPrinter);
    t.machine.usb.descriptorFails = true;
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Setup), kUsbNoPrinter);
    t.machine.usb.printers.clear();
    EXPECT_EQ(ReadUsbDeviceId(t.p, cfg::Program::Setup), kUsbNoPrinter);
    EXPECT_EQ(t.texts(), (Texts{"open function error", "Get Device ID error"})) << "no printer: no message";
    t.expectReleased();
}

TEST(UsbPrinter, WritesTheIdentifierCommand) {
    UsbMachine t({0x0100});
    ASSERT_TRUE(WriteUsbDeviceId(t.p, 3));
    const auto& v = sim::SimUsb::vendorBytes();
    EXPECT_EQ(t.machine.usb.written.at(0), (std::vector<std::uint8_t>{0x1B, 0x73, v[0], v[1], v[2], v[3], 0x1D, 0x49, 0x20, 2}));
    EXPECT_EQ(UsbDeviceNumber(ReadUsbDeviceId(t.p, cfg::Program::Setup)), 3) << "the printer took it";
    EXPECT_TRUE(t.boxes().empty());
    t.expectReleased();
}

TEST(UsbPrinter, WriteRefusals) {
    UsbMachine t({0});
    EXPECT_FALSE(WriteUsbDeviceId(t.p, 0) || WriteUsbDeviceId(t.p, 9) || WriteUsbDeviceId(t.p, -1));
    EXPECT_TRUE(t.boxes().empty() && t.machine.usb.written.empty());

    t.machine.faults.failCall("uWrite", 31, 1);
    EXPECT_FALSE(WriteUsbDeviceId(t.p, 2));
    t.expectReleased();
    t.machine.faults.failCall("LoadLibraryA", plat::kErrorModNotFound, 1);
    EXPECT_FALSE(WriteUsbDeviceId(t.p, 2));
    t.machine.usb.printers.clear();
    EXPECT_FALSE(WriteUsbDeviceId(t.p, 2));
    t.machine.process.removeExport(sim::SimUsb::kLibrary, "uWrite");
    EXPECT_FALSE(WriteUsbDeviceId(t.p, 2));
    EXPECT_EQ(t.texts(), (Texts{"write ID error", "Can not load RuZuvUzu.dll", "Can not find USB device.",
                                "open function error"}));
    t.expectReleased();
}

TEST(UsbPrinter, NumbersFromReleasesPortsAndVersions) {
    EXPECT_EQ(UsbDeviceNumber(9), 2);
    EXPECT_EQ(UsbDeviceNumber(0), 1);
    EXPECT_EQ(UsbDeviceNumber(0xFFFF), 8);
    EXPECT_EQ(UsbPortIdentifier("USB_KLM-A100_3"), 3);
    EXPECT_EQ(UsbPortIdentifier("USB_K_4X_1"), 4) << "the largest found anywhere";
    EXPECT_EQ(UsbPortIdentifier("USB_KLM_5"), 0);
}

TEST(UsbPrinter, DriverVersionsCompareNumberByNumber) {
    struct Case {
        const char *older, *newer;
    } const cases[] = {
        {"1.0.0.2", "1.0.0.3"}, {"1.0.0.9", "1.0.1.0"}, {"2.0.0.0", "3.0.0.0"},  // one-digit parts, as always
        {"9.0.0.0", "10.0.0.0"}, {"1.9.0.0", "1.10.0.0"}, {"6.1.7600.9", "6.1.7600.16385 (rtm)"},
        {"1.2", "1.2.0.1"},      {"1, 0, 0, 2", "1.0.0.3"},
    };
    for (const Case& c : cases) {
        EXPECT_LT(CompareDriverVersions(c.older, c.newer), 0) << c.older << " < " << c.newer;
        EXPECT_GT(CompareDriverVersions(c.newer, c.older), 0) << c.newer << " > " << c.older;
    }
    EXPECT_EQ(CompareDriverVersions("1.2", "1.2.0.0"), 0) << "a missing part is 0";
    for (const char* none : {"0.0.0.0", "", "none"}) EXPECT_TRUE(IsNoDriverVersion(none)) << none;
    EXPECT_FALSE(IsNoDriverVersion("0.0.0.1"));
}

TEST(UsbPrinter, FileVersionStringOrZeros) {
    UsbMachine t;
    t.packageDriver("1.0.0.3");
    const std::string sys = std::string("C:\\PKG\\") + kPackageSys;
    EXPECT_EQ(ReadFileVersionString(t.p, sys), "1.0.0.3");
    t.write("plain.dll", "no resource");
    EXPECT_EQ(ReadFileVersionString(t.p, "C:\\PKG\\plain.dll"), "0.0.0.0");
    EXPECT_EQ(ReadFileVersionString(t.p, "C:\\PKG\\missing.dll"), "0.0.0.0");
    t.machine.faults.failCall("VerQueryValueA", 1813, 1);
    EXPECT_EQ(ReadFileVersionString(t.p, sys), "0.0.0.0");
}

TEST(UsbPrinter, InstalledDriverMissingOlderOrCurrent) {
    UsbMachine t;
    EngineContext ctx(t.p, false);
    t.packageDriver("1.0.0.3");
    EXPECT_EQ(CompareUsbDriverVersion(ctx), -1);
    t.installedDriver("1.0.0.2");
    EXPECT_EQ(CompareUsbDriverVersion(ctx), 1);
    t.installedDriver("1.0.0.3");
    EXPECT_EQ(CompareUsbDriverVersion(ctx), 0);
    t.installedDriver("1.0.1.0");
    EXPECT_EQ(CompareUsbDriverVersion(ctx), 0) << "newer";
}

TEST(UsbPrinter, On64BitWindowsTheRealSystemFolderAndThe64BitCopyCount) {
    UsbMachine t;
    t.machine.setWindows(sim::WindowsVersion::Win7, true);
    EngineContext ctx(t.p, true);
    t.packageDriver("1.0.0.9");
    t.packageDriver("1.0.0.3", kPackageSys64);
    t.machine.files.writeFile("C:\\WINDOWS\\SysWOW64\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("1.0.0.1"));
    EXPECT_EQ(CompareUsbDriverVersion(ctx), -1) << "the redirected copy is not the installed driver";
    t.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    t.installedDriver("1.0.0.3");
    t.machine.files.setRedirection(true, true, "C:\\WINDOWS");
    EXPECT_EQ(CompareUsbDriverVersion(ctx), 0);
}

TEST(UsbPrinter, DriverCheckRefusesInAdvancedModeOnWindows2000To7Only) {
    UsbMachine t;
    t.packageDriver("1.0.0.3");
    EngineContext ctx(t.p, false);
    UsbInstallSteps advanced(ctx, kAdvancedMode);
    EXPECT_TRUE(advanced.RunDriverCheck(cfg::kOsNt4));
    EXPECT_TRUE(advanced.RunDriverCheck(cfg::kOsWin9x));
    EXPECT_FALSE(advanced.RunDriverCheck(cfg::kOsWin2000));
    EXPECT_EQ(t.texts(), Texts{t.message("IDS_ERR_FIRSTSETUPUSB")});
    t.installedDriver("1.0.0.3");
    EXPECT_TRUE(UsbInstallSteps(ctx, kTypicalMode).RunDriverCheck(cfg::kOsWin7));
    EXPECT_TRUE(t.machine.shell.starts().empty() && t.machine.clock.sleeps.empty());
}

TEST(UsbPrinter, TypicalModeRunsTheInstallerAndWaitsForItsWindow) {
    UsbMachine t;
    t.packageDriver("1.0.0.3");
    t.write("USBDRV\\USBDriver\\VORUZA.INF", "[Version]");
    t.machine.files.setAttributes(std::string("C:\\PKG\\") + kPackageSys, plat::kFileAttributeReadOnly);
    t.installedDriver("1.0.0.2");
    std::string parameters;
    t.machine.shell.defineProgram("C:\\PKG\\USBDRV\\USBDriver\\Install.exe",
                                  {"USB Driver Installer", 4500, [&](const std::string& args) { parameters = args; }});
    EngineContext ctx(t.p, false);
    EXPECT_TRUE(UsbInstallSteps(ctx, kTypicalMode).RunDriverCheck(cfg::kOsWinXP));

    ASSERT_EQ(t.machine.shell.starts().size(), 1u);
    EXPECT_EQ(t.machine.shell.starts()[0].verb, "open");
    EXPECT_EQ(parameters, "2");
    // The window lives from 0 to 4500 ms: seen at 500, 1500, 2500 and 3500, gone at 4500.
    EXPECT_EQ(t.machine.clock.sleeps, (Sleeps{500, 1000, 1000, 1000, 1000, 1000, 2000}));
    EXPECT_EQ(t.machine.files.attributes(std::string("C:\\PKG\\") + kPackageSys), plat::kFileAttributeArchive);
    EXPECT_EQ(t.machine.files.attributes("C:\\PKG\\USBDRV\\USBDriver\\VORUZA.INF"), plat::kFileAttributeArchive);
    EXPECT_TRUE(t.boxes().empty());
}

TEST(UsbPrinter, InstallerThatDoesNotStartShowsTheCodeAndGoesOn) {
    UsbMachine t;
    t.machine.setWindows(sim::WindowsVersion::Vista, true);
    t.packageDriver("1.0.0.3", kPackageSys64);
    EngineContext ctx(t.p, true);
    EXPECT_TRUE(UsbInstallSteps(ctx, kTypicalMode).RunDriverCheck(cfg::kOsVista));
    EXPECT_EQ(t.machine.shell.starts().at(0).file, "C:\\PKG\\USBDRV\\USBDriver_x64\\Install.exe");
    EXPECT_EQ(t.texts(), Texts{"2"}) << "file not found, in decimal";
    EXPECT_EQ(t.machine.clock.sleeps, (Sleeps{500, 1000, 2000}));
}

TEST(UsbPrinter, InstallerWaitNeedsACaptionToLookFor) {
    UsbMachine t;
    t.packageDriver("1.0.0.3");
    t.write("language\\setup.ini", "[Setup]\r\nCaption=Printer Driver Setup\r\n");
    t.machine.windows.addWindow("", false, 3600 * 1000);  // some untitled window
    EngineContext ctx(t.p, false);
    EXPECT_TRUE(UsbInstallSteps(ctx, kTypicalMode).RunDriverCheck(cfg::kOsWin7));
    EXPECT_EQ(t.machine.clock.sleeps, (Sleeps{500, 1000, 2000}));
}

TEST(UsbPrinter, AdvancedModeMatchesOrRewritesTheIdentifier) {
    UsbMachine t({9});
    EngineContext ctx(t.p, false);
    UsbInstallSteps advanced(ctx, kAdvancedMode);
    EXPECT_TRUE(advanced.Identify("USB_KLM-A100_2")) << "release 9 is identifier 2";
    EXPECT_TRUE(t.boxes().empty());

    t.machine.usb.printers = {0};
    t.machine.windows.scriptAnswers({plat::kIdNo, plat::kIdYes});
    EXPECT_FALSE(advanced.Identify("USB_KLM-A100_3"));
    EXPECT_TRUE(t.machine.usb.written.empty());
    EXPECT_TRUE(advanced.Identify("USB_KLM-A100_3"));
    EXPECT_EQ(t.machine.usb.written.at(0).back(), 2);
    EXPECT_EQ(t.texts(), Texts(2, t.message("IDS_INF_CHANGEID")));
    EXPECT_EQ(t.boxes()[0].type & plat::kMbTypeMask, plat::kMbYesNo);
    t.expectReleased();
}

TEST(UsbPrinter, AdvancedModeStops) {
    UsbMachine t;
    EngineContext ctx(t.p, false);
    UsbInstallSteps advanced(ctx, kAdvancedMode);
    EXPECT_FALSE(advanced.Identify("USB_KLM-A100_1"));
    t.machine.usb.printers = {0};
    t.machine.faults.failCall("uWrite", 31, 1);
    EXPECT_FALSE(advanced.Identify("USB_KLM-A100_4"));
    EXPECT_EQ(t.texts(), (Texts{t.message("IDS_ERR_NOUSBDEVICE"), t.message("IDS_INF_CHANGEID"), "write ID error",
                                "Failed to set Printer ID!"}));
}

TEST(UsbPrinter, TwoPrintersStopBothModes) {
    for (int mode : {kAdvancedMode, kTypicalMode}) {
        UsbMachine t({0, 1});
        EngineContext ctx(t.p, false);
        EXPECT_FALSE(UsbInstallSteps(ctx, mode).Identify("USB_KLM-A100_1")) << mode;
        EXPECT_EQ(t.texts(), Texts{t.message("IDS_ERR_ONEPRINTER")}) << mode;
    }
}

TEST(UsbPrinter, TypicalModeWantsIdentifierOne) {
    UsbMachine t({8});  // identifier 1
    EngineContext ctx(t.p, false);
    UsbInstallSteps typical(ctx, kTypicalMode);
    EXPECT_TRUE(typical.Identify("USB_KLM-A100_1"));
    t.machine.usb.printers.clear();
    EXPECT_TRUE(typical.Identify("USB_KLM-A100_1")) << "no printer needed";
    EXPECT_TRUE(t.boxes().empty());

    t.machine.usb.printers = {2};  // identifier 3
    t.machine.windows.scriptAnswers({plat::kIdYes, plat::kIdYes, plat::kIdOk, plat::kIdNo});
    EXPECT_TRUE(typical.Identify("USB_KLM-A100_1"));
    EXPECT_EQ(t.machine.usb.written.at(0).back(), 0);
    t.machine.usb.printers = {2};
    t.machine.faults.failCall("uWrite", 31, 1);
    EXPECT_FALSE(typical.Identify("USB_KLM-A100_1"));
    EXPECT_FALSE(typical.Identify("USB_KLM-A100_1"));
    const std::string ask = t.message("IDS_INF_CHANGEID");
    EXPECT_EQ(t.texts(), (Texts{ask, ask, "write ID error", ask})) << "no further message after a failed write";
}

TEST(UsbPrinter, NameMarksAndInstalledPort) {
    EXPECT_EQ(UsbInstallSteps::PrinterNameMarks("KLM-A100", "USB_KLM-A100_2"), "KLM-A100(U) 2");
    EXPECT_EQ(UsbInstallSteps::PrinterNameMarks("K", "USB_K_4_1"), "K(U) 1(U) 4") << "each mark on its own, in order";
    EXPECT_EQ(UsbInstallSteps::PrinterNameMarks(std::string(256, 'n'), "USB_N_3"), std::string(256, 'n') + "(U)");
    EXPECT_EQ(UsbInstallSteps::InstalledPortName("USB_KLM-C5_2"), "USB_KLM-C5_2");
    EXPECT_EQ(UsbInstallSteps::InstalledPortName("USB_KLM-C5E_3"), "USB_KLM-C5_3");
    EXPECT_EQ(UsbInstallSteps::InstalledPortName("USB_KLM-A100_2"), "USB_KLM-A100_2");
}
