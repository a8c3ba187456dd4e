// setup.exe from its command line to its exit code: the run's log, start-up, and then
// either the wizard in its window or, with /quiet, the same wizard driven by an answer
// file without any window.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/MemoryDialogView.h"
#include "platform/Platform.h"
#include "setup/InstallModePage.h"
#include "setup/LicensePage.h"
#include "setup/OsPage.h"
#include "setup/PortPage.h"
#include "setup/PrinterTypePage.h"
#include "setup/SetupStartup.h"
#include "setup/SetupState.h"
#include "setup/SetupWizardDialog.h"
#include "setup/WizardControls.h"

namespace setup {

// The wizard as start-up builds it: the frame with its five pages in index order, the
// flags start-up decided handed to each.
struct SetupWizardParts {
    SetupWizardParts(plat::Platform& p, const StartupDecision& decision, WizardWindow& window);
    SetupWizardParts(const SetupWizardParts&) = delete;
    SetupWizardParts& operator=(const SetupWizardParts&) = delete;

    SetupState state;
    LicensePage license;
    PrinterTypePage printerType;
    InstallModePage installMode;
    OsPage os;
    PortPage port;
    SetupWizardDialog frame;
};

// The window code of a run that shows no window: each page is a control state in memory
// (with what its template gives its controls), the progress window is not shown and the
// worker runs on the calling thread.
class HeadlessWizardWindow : public WizardWindow {
public:
    explicit HeadlessWizardWindow(plat::Platform& p) : p_(p) { PrepareTemplateControls(frameView_, kWizardTemplate); }

    // The controls a template starts with: the sorted port list, the hidden choices of the
    // operating-system page, the frame's disabled Back and Next buttons.
    static void PrepareTemplateControls(plat::MemoryDialogView& view, int templateId);

    plat::MemoryDialogView& view(const WizardPage& page) { return *views_.at(&page); }
    plat::MemoryDialogView& frameView() { return frameView_; }

    void CreatePage(WizardPage& page, int templateId) override;
    void ShowPage(WizardPage& page, bool visible) override;
    void DestroyPage(WizardPage&) override {}
    // The picture is not drawn; it must still be there, as for the wizard.
    bool LoadSidePicture(const std::string& path) override;
    void ApplyChineseFont() override {}
    void AppendAboutMenuEntry(const std::string&) override {}
    void SetProgramIcon() override {}
    void MinimizeTopmost() override {}
    void RunProgress(ProgressDialog&) override {}
    bool StartWorker(std::function<void()> job) override {
        job();
        return true;
    }
    void WaitForWorker() override {}

private:
    plat::Platform& p_;
    std::map<const WizardPage*, std::unique_ptr<plat::MemoryDialogView>> views_;
    plat::MemoryDialogView frameView_;
};

// What the program's window code does for the wizard: its window functions, and showing
// the frame modally until it closes.
class WizardHost {
public:
    virtual ~WizardHost() = default;
    virtual WizardWindow& window() = 0;
    virtual void Run(SetupWizardDialog& frame) = 0;
};

// The exit code of a wizard that has closed, or been driven to its end: how it opened and
// what its last Install came to. `restartWithheld`: the run declined a restart Windows
// was asked for. `outcome` receives the reason in words.
int WizardExitCode(SetupWizardParts& wizard, bool restartWithheld, std::string* outcome);

// The whole program. `commandLine` is the process's, program name first.
int RunSetup(plat::Platform& p, const std::string& commandLine, WizardHost& host);

}  // namespace setup
