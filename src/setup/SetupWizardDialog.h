// The wizard's frame: the side picture, the page area and Back, Next/Install and Cancel.
// It owns the page order and the hand-over between pages; Install is the install command.
#pragma once
#include <string>
#include <vector>

#include "config/MessageBuffer.h"
#include "engine/InstallChoices.h"
#include "engine/InstallRequest.h"
#include "platform/DialogView.h"
#include "setup/InstallModePage.h"
#include "setup/LicensePage.h"
#include "setup/OsPage.h"
#include "setup/PortPage.h"
#include "setup/PrinterTypePage.h"
#include "setup/SetupState.h"
#include "setup/WizardWindow.h"

namespace setup {

struct WizardPages {
    LicensePage& license;
    PrinterTypePage& printerType;
    InstallModePage& installMode;
    OsPage& os;
    PortPage& port;
};

// What the last press of Install came to, with the choices it took from the pages.
struct InstallOutcome {
    enum Kind {
        NotRun,     // Install was not pressed (or the wizard closed before)
        Refused,    // a check refused the choices; the wizard stayed on the last page
        Failed,     // a step of the installation failed
        Succeeded,
    };
    Kind kind = NotRun;
    engine::InstallChoices choices;  // the port as the page lists it, the model as chosen
    int installMode = 1;             // 1 typical, 0 advanced
    std::string ipAddress;           // dotted, for NET:
    bool rasterOffered = false;      // the raster check box was there to set
    bool accepted = false;           // the agreement was shown and accepted
    std::string printerName;         // as the spooler took it
};

class SetupWizardDialog : public DialogLogic {
public:
    SetupWizardDialog(SetupState& state, WizardPages pages, WizardWindow& window);

    int showAgreement = 0;
    int useChineseFont = 0;
    int currentPage = -1;
    int typeCategory = 0;

    // Start-up registers the five pages in index order.
    void AddPage(const std::string& title, WizardPage* page, int templateId);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    const std::vector<std::string>& titles() const { return titles_; }

    // False when the wizard refused to open (its message was shown and it closed).
    bool OnInitDialog();
    void OnShowWindow();
    virtual bool SetActivePage(int index);
    void OnBack();
    void OnOk();  // the install command
    void OnCancel();
    void OnHelp();
    void OnDestroy();
    // The install command's end: the shown page's window goes.
    void DestroyCurrentPage();
    static bool IsAboutCommand(unsigned systemCommand) { return (systemCommand & 0xFFF0u) == 16u; }

    // Filled by the install command; the worker thread uses them while it runs.
    engine::InstallRequest request;
    cfg::MessageBuffer messages;
    InstallOutcome installOutcome;
    // The Message key of the refusal the wizard closed with as it opened; "" otherwise.
    std::string closedWith;

    plat::DialogView& view() { return DialogLogic::view(); }
    WizardPages& pages() { return typed_; }
    SetupState& state() { return state_; }
    WizardWindow& window() { return window_; }

private:
    void leavePrinterTypePage();
    bool leaveOsPage();

    SetupState& state_;
    WizardPages typed_;
    WizardWindow& window_;
    std::vector<WizardPage*> pages_;
    std::vector<std::string> titles_;
    std::vector<int> templates_;
};

// The About box of setup's system menu.
class SetupAboutDialog : public DialogLogic {
public:
    explicit SetupAboutDialog(plat::Platform& p) : p_(p) {}
    // Reads LANGUAGE itself: 1 when the box makes its own copy of ChineseUiFont.
    int useChineseFont = 0;
    void OnInitDialog();

private:
    plat::Platform& p_;
};

}  // namespace setup
