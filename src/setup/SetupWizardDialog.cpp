#include "setup/SetupWizardDialog.h"

#include "config/CompatibilityAssistant.h"
#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/ModelConfig.h"
#include "config/OsClass.h"
#include "config/PackageFiles.h"
#include "config/UserAdmin.h"
#include "setup/InstallCommand.h"
#include "setup/SetupStartup.h"
#include "setup/WizardControls.h"

namespace setup {

using cfg::Program;

namespace {

const char kSidePicturePath[] = "DRVCONFIG\\Left.bmp";

std::string setupText(plat::Platform& p, const char* key) {
    return cfg::LanguageFile(p, Program::Setup, "Setup").GetText(key);
}

std::string messageText(plat::Platform& p, const char* key) {
    return cfg::MessageTexts(p, Program::Setup).GetText(key);
}

}  // namespace

SetupWizardDialog::SetupWizardDialog(SetupState& state, WizardPages pages, WizardWindow& window)
    : request(state.platform, state.is64BitWindows), state_(state), typed_(pages), window_(window) {}

void SetupWizardDialog::AddPage(const std::string& title, WizardPage* page, int templateId) {
    pages_.push_back(page);
    titles_.push_back(title);
    templates_.push_back(templateId & 0xFFFF);
}

bool SetupWizardDialog::OnInitDialog() {
    plat::Platform& p = state_.platform;
    window_.AppendAboutMenuEntry(messageText(p, "IDS_ABOUTBOX"));
    window_.SetProgramIcon();
    state_.gdiStdSign = ReadIniInt(p, cfg::kPackageFile, "DEVICENAME", "GDISTDSign") != 0 ? 1 : 0;
    if (useChineseFont == 1) window_.ApplyChineseFont();

    if (!pages_.empty()) {
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            pages_[i]->frame = &view();
            window_.CreatePage(*pages_[i], templates_[i]);
        }
        if (showAgreement == 1) {
            SetActivePage(kLicensePageIndex);
        } else {
            view().Enable(kNextButton, true);
            SetActivePage(kPrinterTypePageIndex);
        }
    }
    view().SetText(kBackButton, setupText(p, "Back"));
    view().SetText(kNextButton, setupText(p, pages_.size() < 2 ? "Install" : "Next"));
    view().SetText(kCancelButton, setupText(p, "Cancel"));

    // The picture is looked at before the rights: without it a non-administrator only
    // hears about the picture.
    if (!window_.LoadSidePicture(kSidePicturePath)) {
        closedWith = "IDS_ERR_NOLEFT";
        cfg::ShowWindowMessage(p, view().Window(), messageText(p, "IDS_ERR_NOLEFT"), plat::kMbOk);
        OnCancel();
        return false;
    }
    const cfg::OsClass os = cfg::DetectOsClass(p, Program::Setup);
    if (cfg::IsWin2000OrLater(os) && !cfg::IsUserAdmin(p)) {
        closedWith = "IDS_ADMIN";
        cfg::ShowWindowMessage(p, view().Window(), messageText(p, "IDS_ADMIN"), plat::kMbOk);
        OnCancel();
        return false;
    }
    if (cfg::IsVistaOrLaterWorkstation(os))
        cfg::MarkCompatibilityHandled(p, Program::Setup, os, state_.is64BitWindows);
    return true;
}

void SetupWizardDialog::OnShowWindow() {
    // A second setup finds the running one by this caption.
    view().SetCaption(setupText(state_.platform, "Caption"));
    view().SetText(kHelpHint, setupText(state_.platform, "Help"));
}

bool SetupWizardDialog::SetActivePage(int index) {
    if (currentPage >= 0 && currentPage < pageCount()) {
        if (!pages_[static_cast<std::size_t>(currentPage)]->SaveData()) return false;
        window_.ShowPage(*pages_[static_cast<std::size_t>(currentPage)], false);
    }
    if (index < 0 || index >= pageCount()) return false;
    if (currentPage == kInstallModePageIndex && index < kInstallModePageIndex) state_.rebaseBaudRate = 1;
    if (currentPage == kLicensePageIndex) view().Enable(kNextButton, typed_.printerType.hasModels != 0);
    if (index > currentPage) {
        if (currentPage == kPrinterTypePageIndex) leavePrinterTypePage();
        if (currentPage == kOsPageIndex && !leaveOsPage()) {
            window_.ShowPage(*pages_[kOsPageIndex], true);
            return false;
        }
    }
    currentPage = index;
    window_.ShowPage(*pages_[static_cast<std::size_t>(index)], true);
    return true;
}

void SetupWizardDialog::leavePrinterTypePage() {
    typeCategory = typed_.printerType.selectedCategory;
    const std::string model = cfg::CutTo(typed_.printerType.selectedModel, 200);
    state_.chooseModel(typeCategory, model);
    typed_.installMode.ApplyModelRestriction(state_.portKey("AdvancedSetup") != 0);
}

bool SetupWizardDialog::leaveOsPage() {
    plat::Platform& p = state_.platform;
    const cfg::ModelPortSection port = cfg::ModelConfig::ReadPortSection(p, state_.modelFile, state_.portSection);
    if (state_.rebaseBaudRate == 1) {
        typed_.port.PresetBaudRate(port.baudRate);
        state_.rebaseBaudRate = 0;
    }
    // Windows 98, 2000 and XP have no support key and always pass.
    const cfg::OsClass os = typed_.os.selectedOs;
    if (!port.supportsOs(os)) {
        cfg::ShowAppMessage(p, Program::Setup, messageText(p, cfg::NotSupportedMessageKey(os)), plat::kMbOk);
        return false;
    }
    return true;
}

void SetupWizardDialog::OnBack() {
    if (currentPage <= 0) return;
    view().SetText(kNextButton, setupText(state_.platform, "Next"));
    SetActivePage(currentPage - 1);
    if ((showAgreement == 0 && currentPage == kPrinterTypePageIndex) || currentPage == kLicensePageIndex) {
        view().Enable(kBackButton, false);
        view().SetFocus(kNextButton);
    }
    view().Enable(kNextButton, true);
}

void SetupWizardDialog::OnOk() { OnForward(*this); }

void SetupWizardDialog::OnCancel() { view().Close(plat::kIdCancel); }

void SetupWizardDialog::OnHelp() {
    plat::Platform& p = state_.platform;
    const cfg::LanguageFile help(p, Program::Setup, "Help Guide");
    if (plat::WindowHandle w = p.windows.FindWindowByAnsiTitle(help.GetText("Caption"))) {
        p.windows.SetForegroundWindow(w);
        if (p.windows.IsIconic(w)) p.windows.OpenIcon(w);
        return;
    }
    const std::string file = cfg::CutTo(".\\" + help.GetText("Name"), 100);
    p.shell.ShellExecute(view().Window(), "open", file, std::nullopt, std::nullopt, plat::kSwShowNormal);
}

void SetupWizardDialog::OnDestroy() {
    pages_.clear();
    titles_.clear();
    templates_.clear();
}

void SetupWizardDialog::DestroyCurrentPage() {
    if (currentPage >= 0 && currentPage < pageCount())
        window_.DestroyPage(*pages_[static_cast<std::size_t>(currentPage)]);
}

void SetupAboutDialog::OnInitDialog() {
    useChineseFont = ReadIniInt(p_, cfg::kPackageFile, "DEVICENAME", "LANGUAGE") == 0 ? 1 : 0;
    const cfg::LanguageFile about(p_, Program::Setup, "About");
    view().SetText(kAboutVersion, about.GetText("Version"));
    view().SetText(kAboutCopyright, about.GetText("Copyright"));
    view().SetText(kAboutOk, about.GetText("OK"));
    view().SetCaption(about.GetText("Caption"));
}

}  // namespace setup
