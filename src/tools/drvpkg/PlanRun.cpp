#include "tools/drvpkg/PlanRun.h"

#include <cstdio>
#include <map>
#include <memory>

#include "config/PackageConfig.h"
#include "platform/sim/SimDialogView.h"
#include "setup/InstallCommand.h"
#include "setup/InstallModePage.h"
#include "setup/LicensePage.h"
#include "setup/OsPage.h"
#include "setup/PortPage.h"
#include "setup/PrinterTypePage.h"
#include "setup/ProgressDialog.h"
#include "setup/SetupWizardDialog.h"
#include "setup/WizardControls.h"

namespace drvpkg {

namespace {

constexpr const char* kFolder = "C:\\PKG";

// The window side of the wizard with plain control states: the worker runs on the calling
// thread when started, which ends it before the progress window's first tick.
struct PlanWindow : setup::WizardWindow {
    explicit PlanWindow(sim::SimMachine& m) : machine(m) {}
    sim::SimMachine& machine;
    std::map<const setup::WizardPage*, std::unique_ptr<sim::SimDialogView>> views;
    sim::SimDialogView progressView;
    int completion = -1;  // the worker's completion state, once the progress window ran

    void CreatePage(setup::WizardPage& page, int templateId) override {
        auto view = std::make_unique<sim::SimDialogView>();
        if (templateId == setup::kPortPageTemplate) view->control(setup::kPortList).sorted = true;
        page.attach(view.get());
        views[&page] = std::move(view);
        page.OnInitDialog();
    }
    void ShowPage(setup::WizardPage& page, bool) override { page.OnShowWindow(); }
    void DestroyPage(setup::WizardPage&) override {}
    bool LoadSidePicture(const std::string& path) override {
        return machine.fileApi.GetFileAttributes(path) != plat::kInvalidFileAttributes;
    }
    void ApplyChineseFont() override {}
    void AppendAboutMenuEntry(const std::string&) override {}
    void SetProgramIcon() override {}
    void MinimizeTopmost() override {}
    void RunProgress(setup::ProgressDialog& progress) override {
        progress.attach(&progressView);
        progress.OnInitDialog();
        progress.OnTimer();
        completion = progress.completionState.load();
    }
    bool StartWorker(std::function<void()> job) override {
        job();
        return true;
    }
    void WaitForWorker() override {}
};

// What every Windows of the version holds before any package: the universal printer
// driver's files where it keeps them (Vista and later in the DriverStore, 2000 to 2003 in
// the Driver Cache cabinet) and the serial ports' line settings.
void giveWindowsItsOwnFiles(sim::SimMachine& m, bool is64) {
    auto& fs = m.files;
    fs.setRedirection(is64, false, m.process.windowsDir);
    // Windows 8 and later name the package folder after its processor, not "neutral".
    const plat::OsVersionInfo& v = m.system.version;
    const bool win8OrLater = v.majorVersion > 6 || (v.majorVersion == 6 && v.minorVersion >= 2);
    const std::string folder = win8OrLater ? (is64 ? "ntprint.inf_amd64_f3e9" : "ntprint.inf_x86_f3e9")
                                           : (is64 ? "ntprint.inf_amd64_neutral_1a2b" : "ntprint.inf_x86_neutral_1a2b");
    const std::string store = m.process.windowsDir + "\\System32\\DriverStore\\FileRepository\\" + folder + "\\";
    std::vector<std::pair<std::string, std::string>> cabinet;
    for (const char* f : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"}) {
        fs.writeFile(store + "I386\\" + f, std::string("Windows x86 ") + f);
        fs.writeFile(store + "AMD64\\" + f, std::string("Windows x64 ") + f);
        std::string lower = f;
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        cabinet.emplace_back(lower, std::string("Windows ") + f);
    }
    fs.writeFile(m.process.windowsDir + "\\Driver Cache\\" + (is64 ? "AMD64" : "i386") + "\\driver.cab",
                 sim::SimFiles::makeCabinet(cabinet));
    fs.setRedirection(is64, is64, m.process.windowsDir);
    const std::string line = "9600,n,8,1";
    for (const char* port : {"COM1:", "COM2:"})
        m.registry.poke("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", port, plat::kRegSz,
                        std::vector<std::uint8_t>(line.c_str(), line.c_str() + line.size() + 1));
}

// Picks a list item as the user does and tells the page; false when no item matches.
template <class Match>
bool choose(sim::SimDialogView& view, setup::WizardPage& page, int control, Match match) {
    auto& c = view.control(control);
    for (std::size_t i = 0; i < c.items.size(); ++i)
        if (match(c.items[i])) {
            c.selection = static_cast<int>(i);
            page.OnCommand(control, setup::kSelectionChanged);
            return true;
        }
    return false;
}

bool parseAddress(const std::string& text, std::uint32_t* address) {
    unsigned a, b, c, d;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4 || a > 255 || b > 255 || c > 255 || d > 255)
        return false;
    *address = (a << 24) | (b << 16) | (c << 8) | d;
    return true;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == sep) parts.emplace_back();
        else parts.back().push_back(c);
    }
    return parts;
}

// The wizard of one plan, from its opening to the press of Install.
class PlanWizard {
public:
    PlanWizard(sim::SimMachine& m, PlanRecorder& recorder, bool is64)
        : state_(recorder.platform(), is64), license_(state_), type_(state_), mode_(state_), os_(state_), port_(state_),
          window_(m), wizard_(state_, setup::WizardPages{license_, type_, mode_, os_, port_}, window_) {
        wizard_.AddPage("license", &license_, setup::kLicensePageTemplate);
        wizard_.AddPage("type", &type_, setup::kPrinterTypePageTemplate);
        wizard_.AddPage("mode", &mode_, setup::kInstallModePageTemplate);
        wizard_.AddPage("os", &os_, setup::kOsPageTemplate);
        wizard_.AddPage("port", &port_, setup::kPortPageTemplate);
        wizard_.attach(&frame_);
        wizard_.OnInitDialog();
        wizard_.OnShowWindow();
    }

    sim::SimDialogView& view(setup::WizardPage& page) { return *window_.views.at(&page); }
    void click(setup::WizardPage& page, int control) {
        view(page).control(control).checked = true;
        page.OnCommand(control, setup::kButtonClicked);
    }
    bool chooseModel(int category, const std::string& model) {
        static const int radios[] = {setup::kReceiptRadio, setup::kTicketRadio, setup::kLabelRadio, setup::kEmbeddedRadio};
        static const int lists[] = {setup::kReceiptList, setup::kTicketList, setup::kLabelList, setup::kEmbeddedList};
        click(type_, radios[category]);
        return choose(view(type_), type_, lists[category], [&](const std::string& item) { return item == model; });
    }
    void next() { wizard_.OnOk(); }
    int page() const { return wizard_.currentPage; }
    int completion() const { return window_.completion; }
    bool closed() const { return frame_.closed(); }

    setup::InstallModePage& modePage() { return mode_; }
    setup::PortPage& portPage() { return port_; }

private:
    setup::SetupState state_;
    setup::LicensePage license_;
    setup::PrinterTypePage type_;
    setup::InstallModePage mode_;
    setup::OsPage os_;
    setup::PortPage port_;
    PlanWindow window_;
    sim::SimDialogView frame_;
    setup::SetupWizardDialog wizard_;
};

std::vector<std::string> boxTexts(sim::SimMachine& m) {
    std::vector<std::string> texts;
    for (const auto& b : m.windows.messageBoxes()) texts.push_back(b.text);
    return texts;
}

}  // namespace

std::vector<SimulatedWindows> SimulatedWindowsList() {
    std::vector<SimulatedWindows> list;
    const std::string end = sim::windowsVersionName(sim::WindowsVersion::Win95);
    // The version table is the simulated machine's: an unknown value names its first entry.
    for (int i = 0; i < 100; ++i) {
        const auto version = static_cast<sim::WindowsVersion>(i);
        std::string name = sim::windowsVersionName(version);
        if (i > 0 && name == end) break;
        if (name.compare(0, 3, "win") == 0) name.erase(0, 3);
        for (bool wide : {false, true}) {
            sim::SimMachine m;
            m.setWindows(version, wide);
            if (m.system.wow64 != wide) continue;  // no edition of that width
            list.push_back({name + (wide ? "-64" : "-32"), version, wide});
        }
    }
    return list;
}

PlanResult RunPlan(const std::string& packageDir, const PlanOptions& o) {
    PlanResult r;
    r.windows = o.windows;
    r.model = o.model;
    r.port = o.port;
    const SimulatedWindows* chosen = nullptr;
    const auto all = SimulatedWindowsList();
    std::string names;
    for (const auto& w : all) {
        names += (names.empty() ? "" : ", ") + w.name;
        if (w.name == o.windows) chosen = &w;
    }
    if (!chosen) return r.usageError = "unknown Windows \"" + o.windows + "\"; one of: " + names, r;
    if (o.mode != "typical" && o.mode != "advanced") return r.usageError = "--mode is typical or advanced", r;
    std::uint32_t address = 0;
    if (!parseAddress(o.ip, &address)) return r.usageError = "--ip takes A.B.C.D", r;
    const auto serial = split(o.serial, ',');
    if (!o.serial.empty() && serial.size() != 5) return r.usageError = "--serial takes rate,parity,bits,stop,flow", r;
    if (o.usbId < 1 || o.usbId > 8) return r.usageError = "--usb-id is 1 to 8", r;

    sim::SimMachine m;
    m.setWindows(chosen->version, chosen->sixtyFourBit);
    const bool is64 = m.system.wow64;
    m.installProgram(packageDir, kFolder, "setup.exe");
    giveWindowsItsOwnFiles(m, is64);
    r.osClass = cfg::DetectOsClass(m.platform(), cfg::Program::Setup);

    // The model's category, as the printer-type page lists it.
    cfg::PackageConfig package(m.platform());
    std::string models;
    for (int n = 1; n <= package.modelEntryCount(); ++n) {
        std::string name;
        const int category = package.deviceEntry(n, &name);
        if (category < 0) continue;
        models += (models.empty() ? "" : ", ") + name;
        if (name == o.model) r.category = category;
    }
    if (r.category < 0) return r.usageError = "the package has no model \"" + o.model + "\"; models: " + models, r;

    const bool usb = o.port.compare(0, 4, "USB_") == 0;
    if (usb) {
        m.usb.installLibrary(true);
        m.usb.printers = {static_cast<std::uint16_t>(o.usbId - 1)};
        m.files.writeFile(m.process.windowsDir + "\\system32\\drivers\\VORUZA.sys", sim::SimFiles::withVersion("9.9.9.9"));
        r.notes.push_back("USB device driver installed; one USB printer with identifier " + std::to_string(o.usbId) +
                          " connected");
    }

    PlanRecorder recorder(m);
    PlanWizard w(m, recorder, is64);
    if (!w.chooseModel(r.category, o.model)) return r.usageError = "the printer-type page does not list " + o.model, r;
    w.next();
    if (o.mode == "advanced") {
        if (!w.view(w.modePage()).control(setup::kAdvancedRadio).enabled)
            return r.usageError = o.model + " installs in typical mode only", r;
        w.click(w.modePage(), setup::kAdvancedRadio);
    }
    while (w.page() < setup::kPortPageIndex && m.windows.messageBoxes().empty()) w.next();
    if (w.page() != setup::kPortPageIndex) {
        r.messages = boxTexts(m);
        r.outcome = "stopped";
        return r;
    }
    auto& portView = w.view(w.portPage());
    if (!choose(portView, w.portPage(), setup::kPortList, [&](const std::string& item) { return item == o.port; })) {
        std::string offered;
        for (const auto& item : portView.control(setup::kPortList).items) offered += (offered.empty() ? "" : ", ") + item;
        return r.usageError = "the port page does not offer " + o.port + " to " + o.model + " in " + o.mode +
                              " mode; it offers: " + offered, r;
    }
    if (!o.serial.empty()) {
        const char parity = serial[1].empty() ? 'n' : serial[1][0];
        const char flow = serial[4].empty() ? 'n' : serial[4][0];
        const std::string protocol = flow == 'x' ? "Xon/Xoff" : (flow == 'p' || flow == 'h') ? "Hardware" : "None";
        const bool chosenAll =
            choose(portView, w.portPage(), setup::kBaudRateList, [&](const std::string& i) { return i == serial[0]; }) &&
            choose(portView, w.portPage(), setup::kParityList,
                   [&](const std::string& i) { return !i.empty() && (i[0] | 0x20) == (parity | 0x20); }) &&
            choose(portView, w.portPage(), setup::kByteSizeList, [&](const std::string& i) { return i == serial[2]; }) &&
            choose(portView, w.portPage(), setup::kStopBitsList, [&](const std::string& i) { return i == serial[3]; }) &&
            choose(portView, w.portPage(), setup::kProtocolList, [&](const std::string& i) { return i == protocol; });
        if (!chosenAll) return r.usageError = "the port page offers no such serial setting: " + o.serial, r;
    }
    portView.control(setup::kIpAddress).address = address;
    // The package's own serial and USB monitors offer their ports once they run; a fresh
    // machine does not have them yet.
    bool known = false;
    for (const auto& name : m.spooler.portNames()) known = known || name == o.port;
    if (!known && o.port != "NET:") {
        m.spooler.addPort(o.port);
        r.notes.push_back("port " + o.port + " offered by the package's port monitor");
    }

    m.windows.clearMessageBoxes();
    recorder.recording = true;
    w.next();
    recorder.recording = false;
    r.steps = recorder.steps();
    r.messages = boxTexts(m);
    r.outcome = w.completion() == engine::kSucceeded ? "installed" : w.completion() == engine::kFailed ? "failed" : "stopped";
    return r;
}

}  // namespace drvpkg
