// The port page over a simulated dialog: which ports a model offers on which Windows and in
// which install mode, what is preselected, and how the controls follow the chosen port.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "config/LanguageFile.h"
#include "config/PackageFiles.h"
#include "platform/sim/SimDialogView.h"
#include "setup/OsPage.h"
#include "setup/PortPage.h"
#include "setup/WizardControls.h"
#include "TestMachine.h"

using namespace setup;
using testing_support::TestMachine;
using Texts = std::vector<std::string>;

namespace {

constexpr int kTypical = 1, kAdvanced = 0;
const char* const kInstalledDriver = "C:\\WINDOWS\\system32\\drivers\\VORUZA.sys";

std::string section(const std::string& model, std::initializer_list<const char*> keys) {
    std::string s = "[" + model + ".PORT]\r\n";
    for (const char* k : keys) s += std::string(k) + "\r\n";
    return s;
}
const std::initializer_list<const char*> kAllKinds = {"USBSUPPORTED=1", "LPTSUPPORTED=1", "COMSUPPORTED=1",
                                                      "NETSUPPORTED=1"};

// Over the sample package (for its wording), with model files written by each test.
struct PortMachine : TestMachine {
    SetupState state;
    OsPage osPage{state};
    PortPage page{state};
    sim::SimDialogView view;
    cfg::MessageBuffer messages;

    explicit PortMachine(bool is64 = false) : state(p, is64) {
        machine.setWindows(sim::WindowsVersion::Win7, is64);
        machine.usb.installLibrary(true);
        view.control(kPortList).sorted = true;
        state.osPage = &osPage;
        page.attach(&view);
        page.OnInitDialog();
    }
    void models(const std::string& sections) {
        write(state.is64BitWindows ? "DRVCONFIG\\setup_receipt_64.ini" : "DRVCONFIG\\setup_receipt.ini", sections);
    }
    void build(cfg::OsClass os, int mode, const std::string& model = "M") {
        osPage.selectedOs = os;
        page.installMode = mode;
        page.BuildPortList(model, os, cfg::kReceipt, messages);
    }
    Texts ports() { return view.control(kPortList).items; }
    std::string selected() { return view.ListItem(kPortList, view.ListSelection(kPortList)); }
    void choose(int control, const std::string& item) {
        const auto& items = view.control(control).items;
        const auto at = std::find(items.begin(), items.end(), item);
        ASSERT_NE(at, items.end()) << item;
        view.ListSelect(control, static_cast<int>(at - items.begin()));
        page.OnCommand(control, kSelectionChanged);
    }
    int serialEnabled() {
        int n = 0;
        for (int c : {kBaudRateList, kByteSizeList, kParityList, kStopBitsList, kProtocolList}) n += view.IsEnabled(c);
        return n;
    }
    bool rasterOn() { return view.IsEnabled(kRasterCheck) && view.IsChecked(kRasterCheck) && page.rasterPrinting == 1; }
    bool rasterOff() { return !view.IsEnabled(kRasterCheck) && !view.IsChecked(kRasterCheck) && page.rasterPrinting == 0; }
    void driver(const char* version) { machine.files.writeFile(kInstalledDriver, sim::SimFiles::withVersion(version)); }
    std::string message(const char* key) { return cfg::MessageTexts(p, cfg::Program::Setup).GetText(key); }
};

Texts names(const char* prefix, int from, int to, const char* suffix) {
    Texts out;
    for (int n = from; n <= to; ++n) out.push_back(prefix + std::to_string(n) + suffix);
    return out;
}
Texts join(std::initializer_list<Texts> parts) {
    Texts out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace

TEST(PortPage, On32BitWindowsEveryKindSortedWithThePackagesSerialPorts) {
    PortMachine t;
    t.models(section("M", kAllKinds) + "LPTDEFAULT=1\r\n");
    t.build(cfg::kOsWinXP, kAdvanced);
    EXPECT_EQ(t.ports(), join({names("LPT", 1, 3, ":"), {"NET:"}, names("QXCOM", 1, 8, ":"), names("USB_M_", 1, 4, "")}));
    EXPECT_EQ(t.selected(), "LPT1:");
    EXPECT_EQ(t.page.portText, "LPT1:");
    EXPECT_EQ(t.serialEnabled(), 0);
    EXPECT_FALSE(t.view.IsEnabled(kIpAddress));
    EXPECT_TRUE(t.rasterOn());
    EXPECT_TRUE(t.view.IsVisible(kRasterCheck)) << "RASTERVISIABLE absent reads 0";
    EXPECT_FALSE(t.view.IsVisible(kSerialNote));

    t.build(cfg::kOsWinXP, kTypical);
    EXPECT_EQ(t.ports(), join({names("LPT", 1, 3, ":"), {"NET:"}, names("QXCOM", 1, 8, ":"), {"USB_M_1"}}));
    EXPECT_FALSE(t.view.IsVisible(kRasterCheck)) << "typical mode never offers the choice";
    EXPECT_TRUE(t.view.IsChecked(kRasterCheck));
}

TEST(PortPage, On64BitWindowsTheSystemSerialPortsAndTheFirstOneIsPreselected) {
    PortMachine t(true);
    t.models(section("M", kAllKinds) + section("D", kAllKinds) + "LPTDEFAULT=1\r\n");  // only the _64 file exists
    t.build(cfg::kOsWin7, kAdvanced);
    EXPECT_EQ(t.ports(), join({names("COM", 1, 8, ":"), names("LPT", 1, 3, ":"), {"NET:"}, names("USB_M_", 1, 4, "")}));
    EXPECT_EQ(t.page.portText, "COM1:");
    EXPECT_EQ(t.serialEnabled(), 5);
    EXPECT_TRUE(t.rasterOff());
    EXPECT_EQ(t.page.usbIdentifier, -1);

    t.build(cfg::kOsWin7, kAdvanced, "D");
    EXPECT_EQ(t.page.portText, "LPT1:");
    t.machine.usb.printers = {5};
    t.build(cfg::kOsWin7, kTypical, "D");
    t.build(cfg::kOsWin7, kAdvanced, "D");
    EXPECT_EQ(t.page.portText, "COM1:") << "identifier 6 has no port: item 0, not the LPT default";
    EXPECT_EQ(t.page.usbIdentifier, 6);
    EXPECT_EQ(t.serialEnabled(), 5);
}

TEST(PortPage, Nt4HasNoUsbAndTheNineXClassSwapsParallelAndSerial) {
    PortMachine t;
    t.models(section("M", kAllKinds) + "LPTDEFAULT=1\r\n" + section("N", {"USBSUPPORTED=1", "LPTSUPPORTED=1"}) +
             section("S", {"COMSUPPORTED=1"}) + section("T", {"LPTSUPPORTED=1", "NETSUPPORTED=1"}));
    t.machine.usb.printers = {0};
    t.build(cfg::kOsNt4, kTypical);
    EXPECT_EQ(t.ports(), join({names("LPT", 1, 3, ":"), {"NET:"}, names("QXCOM", 1, 8, ":")}));
    EXPECT_EQ(t.page.portText, "LPT1:") << "the connected printer has no port to take";
    t.build(cfg::kOsNt4, kAdvanced);
    EXPECT_EQ(t.ports().size(), 12u);

    t.build(cfg::kOsWin9x, kTypical, "N");
    EXPECT_EQ(t.ports(), (Texts{"COM1:", "COM2:", "USB_N_1"}));
    EXPECT_EQ(t.page.portText, "USB_N_1");
    EXPECT_FALSE(t.view.IsVisible(kSerialNote)) << "COMSUPPORTED 0 is no note on Windows 9x";
    t.build(cfg::kOsWin9x, kTypical, "S");
    EXPECT_EQ(t.ports(), Texts{"LPT1:"});
    EXPECT_FALSE(t.view.IsEnabled(kIpAddress));
    t.build(cfg::kOsWin9x, kTypical, "T");
    EXPECT_EQ(t.page.portText, "COM1:");
    EXPECT_TRUE(t.view.IsEnabled(kIpAddress)) << "offering NET: enables the address whatever is chosen";
}

TEST(PortPage, ConnectedPrinterPreselectsItsPort) {
    PortMachine t;
    t.models(section("M", kAllKinds) + "LPTDEFAULT=1\r\n" + section("X", {"LPTSUPPORTED=1", "LPTDEFAULT=1"}));
    t.driver("1.0.0.3");
    struct Case {
        std::uint16_t release;
        int mode;
        const char* port;
        int identifier;
    } cases[] = {{0, kTypical, "USB_M_1", 1},  {8, kTypical, "USB_M_1", 1}, {5, kTypical, "USB_M_1", 6},
                 {2, kAdvanced, "USB_M_3", 3}, {9, kAdvanced, "USB_M_2", 2}, {5, kAdvanced, "LPT1:", 6}};
    for (const auto& c : cases) {
        t.page.lastModel = "PRINTER";
        t.machine.usb.printers = {c.release};
        t.build(cfg::kOsWinXP, c.mode);
        EXPECT_EQ(t.page.portText, c.port) << c.release << " mode " << c.mode;
        EXPECT_EQ(t.selected(), c.port);
        EXPECT_EQ(t.page.usbIdentifier, c.identifier);
        EXPECT_EQ(t.serialEnabled(), 0);
        t.page.usbIdentifier = -1;
    }
    EXPECT_TRUE(t.boxes().empty());

    t.machine.usb.printers = {2, 3};
    t.build(cfg::kOsWinXP, kTypical);
    EXPECT_EQ(t.page.portText, "LPT1:") << "several printers preselect none";
    EXPECT_EQ(t.page.usbIdentifier, -1);
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxes()[0].text, t.message("IDS_ERR_ONEPRINTER"));

    t.machine.usb.printers = {2};
    t.build(cfg::kOsWinXP, kAdvanced, "X");
    EXPECT_EQ(t.ports(), names("LPT", 1, 3, ":"));
    EXPECT_EQ(t.page.usbIdentifier, -1) << "a model without USB ignores the printer";
}

TEST(PortPage, ModelKeysForSerialNetworkAndRaster) {
    PortMachine t;
    t.models(section("A", {"LPTSUPPORTED=1", "RASTERVISIABLE=1"}) +
             section("B", {"NETSUPPORTED=1", "COMSUPPORTED=1", "RASTERVISIABLE=2"}) +
             section("C", {"NETSUPPORTED=1", "RASTERVISIABLE=0"}));
    t.build(cfg::kOsWinXP, kAdvanced, "A");
    EXPECT_EQ(t.view.GetText(kSerialNote), t.message("IDS_ERR_UNSUPPORTCOM"));
    EXPECT_TRUE(t.view.IsVisible(kSerialNote));
    EXPECT_FALSE(t.view.IsVisible(kRasterCheck));

    t.build(cfg::kOsWinXP, kAdvanced, "B");
    EXPECT_TRUE(t.view.IsVisible(kSerialNote)) << "once shown, stays";
    EXPECT_FALSE(t.view.IsVisible(kRasterCheck)) << "2 leaves it as it was";
    EXPECT_EQ(t.ports().front(), "NET:");
    EXPECT_TRUE(t.view.IsEnabled(kIpAddress));
    EXPECT_EQ(t.serialEnabled(), 0);
    EXPECT_TRUE(t.rasterOn());

    t.build(cfg::kOsWinXP, kAdvanced, "C");
    EXPECT_TRUE(t.view.IsVisible(kRasterCheck));
    t.build(cfg::kOsWinXP, kAdvanced, "B");
    EXPECT_TRUE(t.view.IsVisible(kRasterCheck));
}

TEST(PortPage, UsbDriverNoteOnBuildingAndOnSelection) {
    PortMachine t;
    t.models(section("M", kAllKinds));
    t.machine.usb.printers = {0};
    const std::string note = t.message("IDS_ERR_UPDATEUSB");
    ASSERT_FALSE(note.empty());

    // Building: a missing driver is pointed out, in the advanced mode only.
    t.build(cfg::kOsWinXP, kTypical);
    EXPECT_EQ(t.view.GetText(kUsbDriverNote), note);
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote));
    t.build(cfg::kOsWinXP, kAdvanced);
    EXPECT_TRUE(t.view.IsVisible(kUsbDriverNote));

    // Selecting: the note appears for an installed driver, in the advanced mode only.
    t.choose(kPortList, "USB_M_2");
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote));
    EXPECT_FALSE(t.view.IsEnabled(kIpAddress));
    t.driver("1.0.0.3");
    t.choose(kPortList, "USB_M_3");
    EXPECT_TRUE(t.view.IsVisible(kUsbDriverNote));
    EXPECT_EQ(t.page.portText, "USB_M_3");
    t.choose(kPortList, "LPT2:");
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote));

    t.build(cfg::kOsWinXP, kTypical);
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote)) << "installed driver: hidden on building";
    t.choose(kPortList, "USB_M_1");
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote));

    t.osPage.selectedOs = cfg::kOsNt4;
    t.view.Show(kUsbDriverNote, true);
    t.choose(kPortList, "USB_M_1");
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote)) << "no driver to look at before Windows 2000";
}

TEST(PortPage, On64BitWindowsTheInstalledDriverIsReadFromTheRealSystemFolder) {
    PortMachine t(true);
    t.models(section("M", kAllKinds));
    t.machine.usb.printers = {0};
    t.machine.files.writeFile("C:\\WINDOWS\\SysWOW64\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("1.0.0.3"));
    t.build(cfg::kOsWin7, kAdvanced);
    EXPECT_TRUE(t.view.IsVisible(kUsbDriverNote)) << "the redirected copy is not the installed driver";
    t.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    t.driver("1.0.0.3");
    t.machine.files.setRedirection(true, true, "C:\\WINDOWS");
    t.build(cfg::kOsWin7, kTypical);
    EXPECT_FALSE(t.view.IsVisible(kUsbDriverNote));
}

TEST(PortPage, RebuildsOnlyForAnotherModelOrMode) {
    PortMachine t;
    t.models(section("M", kAllKinds) + section("N", {"LPTSUPPORTED=1"}));
    t.build(cfg::kOsWinXP, kAdvanced);
    t.choose(kPortList, "NET:");
    t.build(cfg::kOsWinXP, kAdvanced);
    EXPECT_EQ(t.selected(), "NET:");
    EXPECT_EQ(t.page.portText, "NET:");
    EXPECT_EQ(t.ports().size(), 16u);

    t.build(cfg::kOsWinXP, kTypical);
    EXPECT_EQ(t.state.lastBuildInstallMode, kTypical);
    EXPECT_EQ(t.ports().size(), 13u);
    EXPECT_EQ(t.page.portText, "LPT1:");
    t.build(cfg::kOsWinXP, kTypical, "N");
    EXPECT_EQ(t.ports(), names("LPT", 1, 3, ":"));
    EXPECT_EQ(t.page.lastModel, "N");
}

TEST(PortPage, ChoosingAPortSwitchesSerialRasterAndAddress) {
    PortMachine t;
    t.models(section("M", kAllKinds));
    t.build(cfg::kOsWinXP, kAdvanced);
    t.choose(kPortList, "QXCOM4:");
    EXPECT_EQ(t.serialEnabled(), 5);
    EXPECT_TRUE(t.rasterOff());
    t.choose(kPortList, "NET:");
    EXPECT_EQ(t.serialEnabled(), 0);
    EXPECT_TRUE(t.rasterOn());
    EXPECT_TRUE(t.view.IsEnabled(kIpAddress));
    t.choose(kPortList, "LPT3:");
    EXPECT_FALSE(t.view.IsEnabled(kIpAddress));
    EXPECT_TRUE(t.rasterOn());

    t.view.SetCheck(kRasterCheck, false);
    ASSERT_TRUE(t.page.SaveData());
    EXPECT_EQ(t.page.rasterPrinting, 0);
    t.view.SetAddress(kIpAddress, 0xC0A80114);
    EXPECT_EQ(t.page.ipAddressText(), "192.168.1.20");
}

TEST(PortPage, LongModelNamesGiveAPortTextOf99Characters) {
    PortMachine t;
    const std::string model(120, 'K');
    t.models(section(model, {"USBSUPPORTED=1"}));
    t.build(cfg::kOsWinXP, kTypical, model);
    EXPECT_EQ(t.page.portText, ("USB_" + model).substr(0, 99));
}

TEST(PortPage, SerialSettingsFromTheLists) {
    PortMachine t;
    t.page.OnShowWindow();
    const cfg::LanguageFile confirm(t.p, cfg::Program::Setup, "Confirm");
    EXPECT_EQ(t.view.GetText(kSerialGroup), confirm.GetText("Com"));
    EXPECT_EQ(t.view.GetText(kRasterCheck), confirm.GetText("Raster"));
    EXPECT_EQ(t.view.ListItem(kParityList, t.view.ListSelection(kParityList)), "None");
    EXPECT_EQ(t.view.ListItem(kByteSizeList, t.view.ListSelection(kByteSizeList)), "8");
    EXPECT_EQ(t.view.ListItem(kProtocolList, t.view.ListSelection(kProtocolList)), "Hardware");
    t.choose(kParityList, "Odd");
    t.choose(kByteSizeList, "7");
    t.choose(kStopBitsList, "1.5");
    t.choose(kBaudRateList, "115200");
    t.choose(kProtocolList, "Xon/Xoff");
    const auto s = t.page.serialSettings();
    EXPECT_EQ(s.parity, 'O');
    EXPECT_EQ(s.byteSize, 7);
    EXPECT_DOUBLE_EQ(s.stopBits, 1.5);
    EXPECT_EQ(s.baudRate, 115200);
    EXPECT_EQ(s.protocol, 'x');
    t.choose(kProtocolList, "None");
    EXPECT_EQ(t.page.protocol, ' ');
    t.choose(kProtocolList, "Hardware");
    EXPECT_EQ(t.page.protocol, 'p');
    t.view.control(kProtocolList).items = {"None at all", "Xon/Xoff flow", "Hardware"};
    t.choose(kProtocolList, "None at all");
    t.choose(kProtocolList, "Xon/Xoff flow");
    EXPECT_EQ(t.page.protocol, 'p') << "only the exact texts count";

    const std::pair<int, int> presets[] = {{57600, 8}, {110, 0}, {38400, 7}, {14400, 7}, {0, 7}};
    for (auto [rate, item] : presets) {
        t.page.PresetBaudRate(rate);
        EXPECT_EQ(t.view.ListSelection(kBaudRateList), item) << rate;
        EXPECT_EQ(t.page.baudRate, rate) << "the configured number is kept";
    }
    EXPECT_EQ(t.view.ListItem(kBaudRateList, 8), "57600");
}
