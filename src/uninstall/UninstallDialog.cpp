#include "uninstall/UninstallDialog.h"

#include "config/CompatibilityAssistant.h"
#include "config/SpoolerEnvironment.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/UserAdmin.h"
#include "config/Wow64.h"
#include "engine/UsbPrinter.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallStartup.h"

namespace uninstall {

namespace {

using cfg::Program;

constexpr std::uint32_t kShowWindow = 5;  // SW_SHOW
constexpr std::uint32_t kPathSize = 260;
constexpr const char* kHelpWindowTitle = "Uninstall";
constexpr const char* kHelpFiles[2] = {".\\Uninstall_EN.CHM", ".\\Uninstall_CN.CHM"};
constexpr const char* kUsbDriverFiles[2] = {"\\System32\\drivers\\VORUZA.sys", "\\System32\\drivers\\BULKUSB.sys"};

// The spooler's two-call protocol: the size first, then the list.
template <typename Enumerate>
std::vector<std::string> enumerateNames(plat::Platform& p, Enumerate enumerate) {
    std::vector<std::string> names;
    std::uint32_t needed = 0;
    if (enumerate(0, &names, &needed)) return names;
    if (p.process.GetLastError() != plat::kErrorInsufficientBuffer) return {};
    names.clear();
    if (!enumerate(needed, &names, &needed)) return {};
    return names;
}

std::string uninstallText(plat::Platform& p, const char* key) {
    return cfg::LanguageFile(p, Program::Uninstall, "Uninstall").GetText(key);
}

std::string messageText(plat::Platform& p, const char* key) {
    return cfg::MessageTexts(p, Program::Uninstall).GetText(key);
}

bool fileExists(plat::Platform& p, const std::string& path) {
    return p.files.GetFileAttributes(path) != plat::kInvalidFileAttributes;
}

}  // namespace

plat::OptText ProcessorEnvironment(cfg::OsClass os, bool is64BitWindows) {
    return std::string(cfg::SpoolerEnvironmentName(os, is64BitWindows));
}

std::vector<std::string> EnumerateLocalPrinters(plat::Platform& p) {
    return enumerateNames(p, [&](std::uint32_t size, std::vector<std::string>* names, std::uint32_t* needed) {
        return p.spooler.EnumPrinters5(size, names, needed);
    });
}

std::vector<std::string> EnumerateMonitors(plat::Platform& p) {
    return enumerateNames(p, [&](std::uint32_t size, std::vector<std::string>* names, std::uint32_t* needed) {
        return p.spooler.EnumMonitors1(size, names, needed);
    });
}

std::vector<std::string> EnumerateProcessors(plat::Platform& p, const UninstallState& state) {
    const plat::OptText environment = ProcessorEnvironment(state.osClass, state.is64BitWindows);
    return enumerateNames(p, [&](std::uint32_t size, std::vector<std::string>* names, std::uint32_t* needed) {
        return p.spooler.EnumPrintProcessors1(environment, size, names, needed);
    });
}

std::vector<std::string> ListRemovableComponents(plat::Platform& p, const UninstallState& state,
                                                 std::vector<ComponentKind>* kinds) {
    // Reading the three lists per printer and per entry made a machine with many printers
    // wait seconds for the dialog; the answers are the same when the file is read once.
    const UninstallLists lists = UninstallLists::Load(p, state);
    std::vector<std::string> items;
    if (kinds) kinds->clear();
    auto add = [&](const std::string& name, ComponentKind kind) {
        items.push_back(name);
        if (kinds) kinds->push_back(kind);
    };
    for (const auto& printer : EnumerateLocalPrinters(p))
        if (lists.isListedPrinter(p, printer)) add(printer, ComponentKind::Printer);
    for (const auto& monitor : EnumerateMonitors(p))
        if (lists.isListedMonitor(monitor)) add(monitor, ComponentKind::Monitor);
    // Enumerated on Windows 9x too, although nothing there is ever offered.
    for (const auto& processor : EnumerateProcessors(p, state))
        if (lists.isListedProcessor(processor)) add(processor, ComponentKind::Processor);
    return items;
}

UninstallDialog::UninstallDialog(plat::Platform& p, UninstallState& state, plat::DialogView& view)
    : p_(p), state_(state), view_(view) {}

UninstallDialog::~UninstallDialog() {
    if (!spoolerLibrary_) return;
    if (state_.spoolerLibrary == spoolerLibrary_) {
        state_.spoolerLibrary = 0;
        state_.deletePrinterDriverEx = 0;
    }
    p_.process.FreeLibrary(spoolerLibrary_);
}

UninstallDialog::InitOutcome UninstallDialog::OnInitDialog(plat::WindowHandle self) {
    self_ = self;
    applyChineseFont_ = useChineseFont == 1;
    aboutMenuText_ = messageText(p_, "IDS_ABOUTBOX");
    state_.is64BitWindows = cfg::IsWow64(p_);

    state_.iniPath.clear();
    state_.osClass = cfg::DetectOsClass(p_, Program::Uninstall);
    // Windows 9x and NT 4 have no Administrators check worth asking.
    if (cfg::IsWin2000OrLater(state_.osClass) && !cfg::IsUserAdmin(p_)) {
        state_.closedWith = "IDS_ADMIN";
        cfg::ShowWindowMessage(p_, self_, messageText(p_, "IDS_ADMIN"), plat::kMbOk);
        view_.Close(kExitButton);
        return InitOutcome::Closed;
    }
    const IniSearchResult ini = FindUninstallIni(p_, state_, self_);
    if (ini.outcome != IniSearchResult::Found) {
        state_.closedWith = ini.messageKey;
        view_.Close(kExitButton);
        return InitOutcome::Closed;
    }

    buildComponentList();
    if (view_.RowCount(kComponentList) == 0) view_.Enable(kSelectButton, false);
    view_.ListAdd(kNoteList, messageText(p_, "IDS_SELECTPRN1"));

    view_.SetText(kNoteText, uninstallText(p_, "Note"));
    view_.SetText(kUninstallButton, uninstallText(p_, "Uninstall"));
    view_.SetText(kSelectButton, uninstallText(p_, "Select"));
    view_.SetText(kExitButton, uninstallText(p_, "Exit"));
    view_.SetText(kUsbRemovalCheck, uninstallText(p_, "USBuninstall"));
    view_.SetCaption(uninstallText(p_, "Title"));

    if (!loadSpoolerLibrary()) return InitOutcome::NoSpoolerLibrary;
    return decideUsbRemoval();
}

void UninstallDialog::buildComponentList() {
    for (const auto& item : ListRemovableComponents(p_, state_, &state_.rowKinds)) view_.RowAdd(kComponentList, item);
}

bool UninstallDialog::loadSpoolerLibrary() {
    spoolerLibrary_ = p_.process.LoadLibrary("Winspool.drv");
    if (!spoolerLibrary_) {
        state_.closedWith = "no Winspool lib";
        cfg::ShowWindowMessage(p_, self_, "no Winspool lib  ", plat::kMbOk);
        return false;
    }
    state_.spoolerLibrary = spoolerLibrary_;
    // Windows 2000 and later have it; without it the removal deletes drivers the old way.
    state_.deletePrinterDriverEx = p_.process.GetProcAddress(spoolerLibrary_, "DeletePrinterDriverExA");
    return true;
}

void UninstallDialog::markCompatibility() {
    cfg::MarkCompatibilityHandled(p_, Program::Uninstall, state_.osClass, state_.is64BitWindows);
}

UninstallDialog::InitOutcome UninstallDialog::decideUsbRemoval() {
    std::string windows;
    p_.process.GetWindowsDirectory(kPathSize, &windows);
    bool driverInstalled = false;
    auto lookForDriverFiles = [&] {
        for (const char* file : kUsbDriverFiles) driverInstalled = fileExists(p_, windows + file) || driverInstalled;
        markCompatibility();
    };

    if (state_.is64BitWindows) {
        // The USB driver files live in the real system32, which a 32-bit program sees only
        // with redirection off.
        const plat::ModuleHandle kernel32 = p_.process.LoadLibrary("Kernel32.dll");
        const plat::ProcAddress disable =
            kernel32 ? p_.process.GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection") : 0;
        const plat::ProcAddress revert =
            kernel32 ? p_.process.GetProcAddress(kernel32, "Wow64RevertWow64FsRedirection") : 0;
        if (!revert)
            cfg::ShowWindowMessage(p_, self_, "Can't Get Function Wow64RevertWow64FsRedirection Address", plat::kMbOk);
        void* oldValue = nullptr;
        if (!disable || !p_.system.CallWow64DisableWow64FsRedirection(disable, &oldValue)) {
            if (kernel32) p_.process.FreeLibrary(kernel32);
            return InitOutcome::RedirectionUnavailable;
        }
        lookForDriverFiles();
        if (revert) p_.system.CallWow64RevertWow64FsRedirection(revert, oldValue);
        p_.process.FreeLibrary(kernel32);
    } else {
        lookForDriverFiles();
    }

    if (!driverInstalled) {
        view_.Enable(kUsbRemovalCheck, false);
        return InitOutcome::Ready;
    }
    // Several printers still mean a USB driver is in use: removal stays on offer.
    view_.Enable(kUsbRemovalCheck, engine::ReadUsbDeviceId(p_, Program::Uninstall) != engine::kUsbNoPrinter);
    return InitOutcome::Ready;
}

bool UninstallDialog::IsAboutCommand(unsigned commandId) {
    return commandId >= kAboutCommand && commandId <= kAboutCommandLast;
}

void UninstallDialog::OnUninstall() {
    // The worker disables the button only once it runs: a second press can still arrive.
    if (removalRunning_ || !startWorker) return;
    // Set before the worker can start, so no close slips in between; a worker that ends at
    // once (or never starts) clears it through OnRemovalFinished.
    removalRunning_ = true;
    if (!RunUninstallCommand(p_, state_, view_, currentItemName, askRestart, startWorker)) removalRunning_ = false;
}

void UninstallDialog::OnRemovalFinished() { removalRunning_ = false; }

bool UninstallDialog::OnCloseRequest(CloseRoute route) {
    if (removalRunning_) return true;
    if (route == CloseRoute::SystemClose) return false;
    view_.Close(kExitButton);
    return true;
}

void UninstallDialog::OnSelect() {
    const int rows = view_.RowCount(kComponentList);
    for (int row = 0; row < rows; ++row) view_.RowCheck(kComponentList, row, true);
}

void UninstallDialog::OnHelp() {
    // The English package titles this dialog "Uninstall" as well; taking it for the help
    // window would make F1 do nothing there.
    // Every window so titled is looked at: the first one found may be this dialog.
    for (plat::WindowHandle help : p_.windows.FindWindows(std::string(), kHelpWindowTitle, std::string())) {
        if (help == self_) continue;
        p_.windows.SetForegroundWindow(help);
        if (p_.windows.IsIconic(help)) p_.windows.OpenIcon(help);
        return;
    }
    // English first whatever the package's language: not every package ships both.
    for (const char* file : kHelpFiles)
        if (p_.shell.ShellExecute(self_, "open", file, std::nullopt, std::nullopt, kShowWindow) > 32) return;
}

void UninstallAboutDialog::OnInitDialog() {
    useChineseFont = false;
    if (ReadLanguageSwitch(p_) == 0) useChineseFont = true;
    const cfg::LanguageFile about(p_, Program::Uninstall, "About");
    view_.SetText(kAboutVersion, about.GetText("Version"));
    view_.SetText(kAboutCopyright, about.GetText("Copyright"));
    view_.SetText(kAboutOk, about.GetText("OK"));
    view_.SetCaption(about.GetText("Title"));
}

}  // namespace uninstall
