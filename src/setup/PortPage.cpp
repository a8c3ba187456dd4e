#include "setup/PortPage.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/ModelConfig.h"
#include "config/PackageFiles.h"
#include "engine/UsbPrinter.h"
#include "setup/OsPage.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

using cfg::Program;

constexpr std::size_t kPortTextSize = 100;
constexpr std::size_t kModelFileSize = 200;
constexpr std::uint32_t kPortKeySize = 200;
constexpr const char* kNoUsbDriver = "0.0.0.0";

constexpr int kSerialControls[] = {kBaudRateList, kByteSizeList, kParityList, kStopBitsList, kProtocolList};
const char* const kByteSizes[] = {"5", "6", "7", "8"};
const char* const kStopBitChoices[] = {"1", "1.5", "2"};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Windows 9x and NT 4.0 have no USB device driver of the package to look at.
bool checksUsbDriver(cfg::OsClass os) { return cfg::IsWin2000OrLater(os); }

}  // namespace

bool PortPage::OnInitDialog() {
    auto& v = view();
    auto& p = state_.platform;
    const cfg::LanguageFile confirm(p, Program::Setup, "Confirm");

    // Plain dialogs do not run the item lists a template may carry, so the page fills its
    // fixed lists itself; emptying them first keeps them single if a template did.
    v.ListReset(kBaudRateList);
    for (int rate : cfg::kBaudRates) v.ListAdd(kBaudRateList, std::to_string(rate));

    v.ListReset(kParityList);
    for (const char* key : {"Parity.Even", "Parity.Mark", "Parity.None", "Parity.Odd", "Parity.Space"})
        v.ListAdd(kParityList, confirm.GetText(key));
    v.ListSelect(kParityList, 2);

    v.ListReset(kByteSizeList);
    for (const char* size : kByteSizes) v.ListAdd(kByteSizeList, size);
    v.ListSelect(kByteSizeList, 3);

    v.ListReset(kStopBitsList);
    for (const char* bits : kStopBitChoices) v.ListAdd(kStopBitsList, bits);
    v.ListSelect(kStopBitsList, 0);

    v.ListSelect(kPortList, 0);

    v.ListReset(kProtocolList);
    for (const char* key : {"Protocol.None", "Protocol.Xonoff", "Protocol.Hardware"})
        v.ListAdd(kProtocolList, confirm.GetText(key));
    v.ListSelect(kProtocolList, 2);

    portText.clear();
    byteSize = 8;
    stopBits = 1.0;
    parity = 'n';
    protocol = 'p';
    usbIdentifier = -1;
    installMode = engine::kTypicalMode;
    lastModel = "PRINTER";

    // As the template has them; the list building decides from here on.
    v.Enable(kRasterCheck, false);
    v.Show(kUsbDriverNote, false);
    v.Show(kSerialNote, false);
    return true;
}

void PortPage::OnShowWindow() {
    auto& v = view();
    const cfg::LanguageFile confirm(state_.platform, Program::Setup, "Confirm");
    const std::pair<int, const char*> texts[] = {
        {kPortGroup, "Set"},          {kPortsLabel, "Ports"},       {kSerialGroup, "Com"},
        {kBaudRateLabel, "BaudRate"}, {kParityLabel, "Parity"},     {kByteSizeLabel, "ByteSize"},
        {kStopBitsLabel, "StopBits"}, {kProtocolLabel, "Protocol"}, {kRasterCheck, "Raster"},
    };
    for (const auto& t : texts) v.SetText(t.first, confirm.GetText(t.second));
}

bool PortPage::SaveData() {
    rasterPrinting = view().IsChecked(kRasterCheck) ? 1 : 0;
    return true;
}

void PortPage::OnCommand(int control, int notification) {
    if (notification != kSelectionChanged) return;
    switch (control) {
        case kPortList: OnPortSelected(); break;
        case kBaudRateList: baudRate = cfg::LeadingInt(selectedText(control)); break;
        case kByteSizeList: byteSize = cfg::LeadingInt(selectedText(control)); break;
        case kStopBitsList: stopBits = std::strtod(selectedText(control).c_str(), nullptr); break;
        case kParityList: {
            // Nothing selected gives no letter; a NUL would end the serial settings line.
            const std::string text = selectedText(control);
            if (!text.empty()) parity = text[0];
            break;
        }
        case kProtocolList: {
            const std::string text = selectedText(control);
            if (text == "Xon/Xoff") protocol = 'x';
            else if (text == "Hardware") protocol = 'p';
            else if (text == "None") protocol = ' ';
            break;
        }
        default: break;
    }
}

void PortPage::BuildPortList(const std::string& model, cfg::OsClass os, int category, cfg::MessageBuffer& messages) {
    (void)messages;  // the list building reports nothing through it
    if (model == lastModel && installMode == state_.lastBuildInstallMode) return;
    lastModel = model;
    state_.lastBuildInstallMode = installMode;

    auto& v = view();
    auto& p = state_.platform;
    v.ListReset(kPortList);

    const bool typical = installMode == engine::kTypicalMode;
    const std::string modelFile =
        cfg::CutTo(cfg::ProgramFolder(p) + cfg::ModelFileName(category, state_.is64BitWindows, true), kModelFileSize);
    const std::string section = cfg::ModelConfig::PortSectionName(model);
    auto key = [&](const char* name) { return cfg::ReadIniNumber(p, modelFile, section, name, kPortKeySize); };
    const int usbSupported = key("USBSUPPORTED");
    const int lptSupported = key("LPTSUPPORTED");
    const int comSupported = key("COMSUPPORTED");
    const int netSupported = key("NETSUPPORTED");
    const int lptDefault = key("LPTDEFAULT");
    const int rasterVisible = typical ? 0 : key("RASTERVISIABLE");

    auto add = [&](const std::string& name) { v.ListAdd(kPortList, name); };
    auto disableSerialAndIp = [&] {
        enableSerialControls(false);
        v.Enable(kIpAddress, false);
    };

    if (os != cfg::kOsWin9x) {
        if (lptSupported)
            for (int n = 1; n <= 3; ++n) add("LPT" + std::to_string(n) + ":");
        if (comSupported == 0) {
            v.SetText(kSerialNote, cfg::MessageTexts(p, Program::Setup).GetText("IDS_ERR_UNSUPPORTCOM"));
            v.Show(kSerialNote, true);
        } else {
            // The package's own serial ports on 32-bit Windows, the system's on 64-bit.
            const std::string prefix = state_.is64BitWindows ? "COM" : "QXCOM";
            for (int n = 1; n <= 8; ++n) add(prefix + std::to_string(n) + ":");
        }
    } else {
        // On Windows 9x the two keys cross over: LPTSUPPORTED offers serial ports, COMSUPPORTED
        // the parallel one.
        if (lptSupported) {
            add("COM1:");
            add("COM2:");
        }
        if (comSupported) add("LPT1:");
    }

    if (netSupported) {
        add("NET:");
        v.Enable(kIpAddress, true);
    }

    const int release = engine::ReadUsbDeviceId(p, Program::Setup);
    bool printerConnected = release >= 0;
    auto usbName = [&](int n) { return "USB_" + model + "_" + std::to_string(n); };

    // A preselected USB port needs its name in the list: NT 4.0 has none, and the printer
    // then leaves the choice to the usual default.
    bool preselected = false;
    if (typical) {
        if (usbSupported && os != cfg::kOsNt4) {
            add(usbName(1));
            disableSerialAndIp();
        }
        if (usbSupported && printerConnected) {
            usbIdentifier = engine::UsbDeviceNumber(release);
            preselected = selectFirstPortWith("USB");
            if (preselected) disableSerialAndIp();
        }
    } else {
        if (!usbSupported) {
            printerConnected = false;
        } else if (os != cfg::kOsNt4) {
            for (int n = 1; n <= 4; ++n) add(usbName(n));
            disableSerialAndIp();
        }
        if (!lptSupported) v.ListSelect(kPortList, 0);
        if (printerConnected) {
            usbIdentifier = engine::UsbDeviceNumber(release);
            if (usbIdentifier > 4) {
                v.ListSelect(kPortList, 0);
                preselected = true;
            } else {
                preselected = selectFirstPortWith("USB", "_" + std::to_string(usbIdentifier));
            }
            if (preselected) disableSerialAndIp();
        }
    }

    if (!preselected) {
        // The list is sorted, so item 0 is the alphabetically first name.
        if (!(lptDefault && lptSupported && selectFirstPortWith("LPT"))) v.ListSelect(kPortList, 0);
    }

    takeSelectedPort();
    if (contains(portText, "USB")) {
        if (checksUsbDriver(os)) {
            if (engine::ReadInstalledUsbDriverVersion(state_.engine) == kNoUsbDriver) {
                v.SetText(kUsbDriverNote, cfg::MessageTexts(p, Program::Setup).GetText("IDS_ERR_UPDATEUSB"));
                if (!typical) v.Show(kUsbDriverNote, true);
            } else {
                v.Show(kUsbDriverNote, false);
            }
        }
        v.Enable(kRasterCheck, true);
        rasterPrinting = 1;
    } else if (contains(portText, "LPT")) {
        v.Show(kUsbDriverNote, false);
        v.Enable(kRasterCheck, true);
        rasterPrinting = 1;
        disableSerialAndIp();
    } else if (contains(portText, "NET")) {
        v.Show(kUsbDriverNote, false);
        v.Enable(kRasterCheck, true);
        rasterPrinting = 1;
        enableSerialControls(false);
        v.Enable(kIpAddress, true);
    } else {
        enableSerialControls(true);
        v.Show(kUsbDriverNote, false);
        v.Enable(kRasterCheck, false);
        rasterPrinting = 0;
    }

    if (typical) {
        v.Show(kRasterCheck, false);
    } else if (rasterVisible == 0) {
        v.Show(kRasterCheck, true);
    } else if (rasterVisible == 1) {
        v.Show(kRasterCheck, false);
    }
    v.SetCheck(kRasterCheck, rasterPrinting != 0);
}

void PortPage::OnPortSelected() {
    auto& v = view();
    takeSelectedPort();
    if (contains(portText, "COM")) {
        enableSerialControls(true);
        v.Enable(kRasterCheck, false);
        v.Show(kUsbDriverNote, false);
        v.Enable(kIpAddress, false);
        rasterPrinting = 0;
    } else {
        enableSerialControls(false);
        v.Enable(kRasterCheck, true);
        v.Enable(kIpAddress, false);
        rasterPrinting = 1;
        const cfg::OsClass os = state_.osPage ? state_.osPage->selectedOs : cfg::kOsWin9x;
        if (contains(portText, "USB") && checksUsbDriver(os)) {
            const bool installed = engine::ReadInstalledUsbDriverVersion(state_.engine) != kNoUsbDriver;
            v.SetText(kUsbDriverNote,
                      cfg::MessageTexts(state_.platform, Program::Setup).GetText("IDS_ERR_UPDATEUSB"));
            if (installed) {
                v.Show(kUsbDriverNote, state_.lastBuildInstallMode != engine::kTypicalMode);
            } else {
                v.Show(kUsbDriverNote, false);
                v.Enable(kIpAddress, false);
            }
        } else {
            v.Show(kUsbDriverNote, false);
        }
    }
    if (contains(portText, "NET")) v.Enable(kIpAddress, true);
    v.SetCheck(kRasterCheck, rasterPrinting != 0);
}

void PortPage::PresetBaudRate(int rate) {
    baudRate = rate;
    view().ListSelect(kBaudRateList, cfg::BaudRateIndex(rate));
}

engine::ComPortSettings PortPage::serialSettings() const {
    engine::ComPortSettings s;
    s.baudRate = baudRate;
    s.parity = parity;
    s.byteSize = byteSize;
    s.stopBits = stopBits;
    s.protocol = protocol;
    return s;
}

bool PortPage::rasterOffered() { return view().IsVisible(kRasterCheck) && view().IsEnabled(kRasterCheck); }

std::uint32_t PortPage::ipAddress() { return view().GetAddress(kIpAddress); }

std::string PortPage::ipAddressText() {
    const std::uint32_t a = ipAddress();
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>((a >> 24) & 0xFF),
                  static_cast<unsigned>((a >> 16) & 0xFF), static_cast<unsigned>((a >> 8) & 0xFF),
                  static_cast<unsigned>(a & 0xFF));
    return text;
}

void PortPage::enableSerialControls(bool enabled) {
    for (int control : kSerialControls) view().Enable(control, enabled);
}

void PortPage::takeSelectedPort() { portText = cfg::CutTo(selectedText(kPortList), kPortTextSize); }

bool PortPage::selectFirstPortWith(const std::string& part, const std::string& alsoPart) {
    auto& v = view();
    const int count = v.ListCount(kPortList);
    for (int i = 0; i < count; ++i) {
        const std::string item = v.ListItem(kPortList, i);
        if (contains(item, part) && contains(item, alsoPart)) {
            v.ListSelect(kPortList, i);
            return true;
        }
    }
    return false;
}

std::string PortPage::selectedText(int control) {
    const int selection = view().ListSelection(control);
    return selection < 0 ? std::string() : view().ListItem(control, selection);
}

}  // namespace setup
