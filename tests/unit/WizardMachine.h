// The whole wizard on a simulated machine: the frame, its five pages and a window double
// that creates page views, runs the progress window on the virtual clock and runs the
// worker when asked, so a test drives the wizard as a user clicks it.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EngineMachine.h"
#include "platform/sim/SimDialogView.h"
#include "setup/InstallCommand.h"
#include "setup/ProgressDialog.h"
#include "setup/SetupWizardDialog.h"
#include "setup/WizardControls.h"

namespace testing_support {

struct SimWizardWindow : setup::WizardWindow {
    explicit SimWizardWindow(sim::SimMachine& m) : machine(m) {}

    sim::SimMachine& machine;
    std::map<const setup::WizardPage*, std::unique_ptr<sim::SimDialogView>> views;
    std::map<const setup::WizardPage*, bool> shown;
    std::vector<const setup::WizardPage*> destroyed;
    int chineseFontApplied = 0;
    std::string aboutEntry;
    bool iconSet = false;
    bool minimizedTopmost = false;
    bool failWorkerStart = false;
    int workersStarted = 0;
    int workerWaits = 0;
    // The worker runs at once, so it has ended before the first tick; deferred, it runs
    // only when waited for (a worker still busy when the progress window closes).
    bool deferWorker = false;
    std::function<void()> deferred;
    std::unique_ptr<sim::SimDialogView> progressView;
    int progressRuns = 0;

    void CreatePage(setup::WizardPage& page, int templateId) override {
        auto view = std::make_unique<sim::SimDialogView>();
        if (templateId == setup::kPortPageTemplate) view->control(setup::kPortList).sorted = true;
        if (templateId == setup::kOsPageTemplate) {
            view->control(setup::kOsWin98Radio).visible = false;
            view->control(setup::kOsNtRadio).visible = false;
        }
        page.attach(view.get());
        views[&page] = std::move(view);
        shown[&page] = false;
        page.OnInitDialog();
    }
    void ShowPage(setup::WizardPage& page, bool visible) override {
        shown[&page] = visible;
        page.OnShowWindow();
    }
    void DestroyPage(setup::WizardPage& page) override { destroyed.push_back(&page); }
    bool pictureUnreadable = false;
    bool LoadSidePicture(const std::string& path) override {
        return !pictureUnreadable && machine.fileApi.GetFileAttributes(path) != plat::kInvalidFileAttributes;
    }
    void ApplyChineseFont() override { ++chineseFontApplied; }
    void AppendAboutMenuEntry(const std::string& text) override { aboutEntry = text; }
    void SetProgramIcon() override { iconSet = true; }
    void MinimizeTopmost() override { minimizedTopmost = true; }
    void RunProgress(setup::ProgressDialog& progress) override {
        ++progressRuns;
        progressView = std::make_unique<sim::SimDialogView>();
        progress.attach(progressView.get());
        progress.OnInitDialog();
        progress.OnTimer();
    }
    bool StartWorker(std::function<void()> job) override {
        if (failWorkerStart) return false;
        ++workersStarted;
        if (deferWorker)
            deferred = std::move(job);
        else
            job();
        return true;
    }
    void WaitForWorker() override {
        ++workerWaits;
        if (deferred) {
            auto job = std::move(deferred);
            deferred = nullptr;
            job();
        }
    }
};

struct WizardMachine : EngineMachine {
    explicit WizardMachine(sim::WindowsVersion version = sim::WindowsVersion::Win7, bool sixtyFour = false)
        : EngineMachine(version, sixtyFour) {
        // The maker's USB library is there, no printer is connected: the port page reads
        // the bus quietly.
        machine.usb.installLibrary(true);
    }

    std::unique_ptr<setup::SetupState> state;
    std::unique_ptr<setup::LicensePage> license;
    std::unique_ptr<setup::PrinterTypePage> printerType;
    std::unique_ptr<setup::InstallModePage> installMode;
    std::unique_ptr<setup::OsPage> osPage;
    std::unique_ptr<setup::PortPage> port;
    std::unique_ptr<SimWizardWindow> window;
    std::unique_ptr<setup::SetupWizardDialog> wizard;
    sim::SimDialogView frame;
    bool opened = false;
    bool sidePictureUnreadable = false;

    // Builds the wizard as start-up does and opens it.
    setup::SetupWizardDialog& open(int showAgreement = 0, int useChineseFont = 0) {
        state = std::make_unique<setup::SetupState>(p, is64);
        license = std::make_unique<setup::LicensePage>(*state);
        printerType = std::make_unique<setup::PrinterTypePage>(*state);
        installMode = std::make_unique<setup::InstallModePage>(*state);
        osPage = std::make_unique<setup::OsPage>(*state);
        port = std::make_unique<setup::PortPage>(*state);
        window = std::make_unique<SimWizardWindow>(machine);
        window->pictureUnreadable = sidePictureUnreadable;
        wizard = std::make_unique<setup::SetupWizardDialog>(
            *state, setup::WizardPages{*license, *printerType, *installMode, *osPage, *port}, *window);
        wizard->showAgreement = showAgreement;
        wizard->useChineseFont = useChineseFont;
        license->showAgreement = showAgreement;
        for (setup::WizardPage* page : {static_cast<setup::WizardPage*>(license.get()),
                                        static_cast<setup::WizardPage*>(printerType.get()),
                                        static_cast<setup::WizardPage*>(installMode.get()),
                                        static_cast<setup::WizardPage*>(osPage.get()),
                                        static_cast<setup::WizardPage*>(port.get())})
            page->useChineseFont = useChineseFont;
        wizard->AddPage("license", license.get(), setup::kLicensePageTemplate);
        wizard->AddPage("type", printerType.get(), setup::kPrinterTypePageTemplate);
        wizard->AddPage("mode", installMode.get(), setup::kInstallModePageTemplate);
        wizard->AddPage("os", osPage.get(), setup::kOsPageTemplate);
        wizard->AddPage("port", port.get(), setup::kPortPageTemplate);
        // As template 102 has them.
        frame.control(setup::kBackButton).enabled = false;
        frame.control(setup::kNextButton).enabled = false;
        wizard->attach(&frame);
        opened = wizard->OnInitDialog();
        wizard->OnShowWindow();
        return *wizard;
    }

    sim::SimDialogView& view(const setup::WizardPage& page) { return *window->views.at(&page); }
    bool visible(const setup::WizardPage& page) { return window->shown.at(&page); }

    void next() { wizard->OnOk(); }
    void back() { wizard->OnBack(); }
    void click(setup::WizardPage& page, int control) {
        view(page).control(control).checked = true;
        page.OnCommand(control, setup::kButtonClicked);
    }
    // Picks a list item by its text, as the user does, and tells the page.
    void choose(setup::WizardPage& page, int control, const std::string& item) {
        auto& c = view(page).control(control);
        for (std::size_t i = 0; i < c.items.size(); ++i)
            if (c.items[i] == item) c.selection = static_cast<int>(i);
        page.OnCommand(control, setup::kSelectionChanged);
    }
    void chooseModel(int category, const std::string& model) {
        static const int radios[] = {setup::kReceiptRadio, setup::kTicketRadio, setup::kLabelRadio, setup::kEmbeddedRadio};
        static const int lists[] = {setup::kReceiptList, setup::kTicketList, setup::kLabelList, setup::kEmbeddedList};
        click(*printerType, radios[category]);
        choose(*printerType, lists[category], model);
    }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : boxes()) texts.push_back(b.text);
        return texts;
    }
    std::string message(const std::string& key) {
        return cfg::MessageTexts(p, cfg::Program::Setup).GetText(key);
    }
};

}  // namespace testing_support
