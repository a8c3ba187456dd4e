#include "setup/InstallCommand.h"

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/ModelConfig.h"
#include "config/PackageFiles.h"
#include "config/RunLog.h"
#include "setup/AnswerFile.h"
#include "engine/InstallChoices.h"
#include "engine/InstallWorker.h"
#include "engine/PortSetup.h"
#include "engine/UsbPrinter.h"
#include "setup/ProgressDialog.h"
#include "setup/SetupWizardDialog.h"
#include "setup/WizardControls.h"

namespace setup {

using cfg::Program;

namespace {

// Shown when an installation failed without saying why: the success notice must never
// stand for a failure.
const char kUnexplainedFailure[] = "IDS_ERR_INSTALLFAILED";
const char kWorkerNotStarted[] = "IDS_ERR_STARTINSTALL";
constexpr std::uint32_t kEwxReboot = 2;

std::string messageText(plat::Platform& p, const char* key) {
    return cfg::MessageTexts(p, Program::Setup).GetText(key);
}

void tell(plat::Platform& p, const std::string& text) { cfg::ShowAppMessage(p, Program::Setup, text, plat::kMbOk); }

// The support keys the install command itself looks at; Vista is the frame's to check.
const char* unsupportedTarget(const SetupState& s, cfg::OsClass target) {
    if (target == cfg::kOsVista) return nullptr;
    const cfg::ModelPortSection port = cfg::ModelConfig::ReadPortSection(s.platform, s.modelFile, s.portSection);
    return port.supportsOs(target) ? nullptr : cfg::NotSupportedMessageKey(target);
}

void arriveAtLastPage(SetupWizardDialog& w) {
    SetupState& s = w.state();
    WizardPages& pages = w.pages();
    w.request.category = pages.printerType.selectedCategory;
    w.request.modelName = cfg::CutTo(pages.printerType.selectedModel, engine::kModelNameSize);
    w.request.setAsDefault = pages.printerType.setAsDefault != 0;
    w.request.package.category = w.request.category;
    s.chooseModel(w.request.category, w.request.modelName);
    w.request.targetOs = pages.os.selectedOs;
    pages.port.installMode = pages.installMode.typicalMode;
    pages.port.BuildPortList(w.request.modelName, w.request.targetOs, w.request.category, w.messages);
    w.view().SetText(kNextButton, cfg::LanguageFile(s.platform, Program::Setup, "Setup").GetText("Install"));
}

using Outcome = InstallOutcome;

// Every stop leaves the wizard on the last page with the choices kept. A refusal is what
// the user could change; a failure is a step that did not work.
Outcome::Kind prepareRequest(SetupWizardDialog& w) {
    SetupState& s = w.state();
    plat::Platform& p = s.platform;
    engine::EngineContext& ctx = s.engine;
    WizardPages& pages = w.pages();
    engine::InstallRequest& r = w.request;

    r.package.category = r.category;
    r.alternateUsbPortName.clear();
    engine::InstallChoices choices;
    choices.category = r.category;
    choices.model = r.modelName;
    choices.targetOs = r.targetOs;
    choices.portName = cfg::CutTo(pages.port.portText, engine::kPortNameSize);
    choices.variant = pages.port.rasterPrinting ? cfg::kVariantGdi : cfg::kVariantStd;
    choices.serial = pages.port.serialSettings();
    choices.setAsDefault = r.setAsDefault;

    w.installOutcome.choices = choices;
    w.installOutcome.installMode = pages.installMode.typicalMode;
    w.installOutcome.ipAddress = engine::PortKindOf(choices.portName) == engine::kPortNet ? pages.port.ipAddressText() : "";
    w.installOutcome.rasterOffered = pages.port.rasterOffered();
    const Outcome::Kind refused = Outcome::Refused, failed = Outcome::Failed;

    if (choices.model.empty()) return tell(p, messageText(p, "IDS_ERR_SELPRINTER")), refused;
    if (const char* refusal = unsupportedTarget(s, r.targetOs)) return tell(p, messageText(p, refusal)), refused;
    const int kind = engine::PortKindOf(choices.portName);
    if (kind < 0) return tell(p, messageText(p, "IDS_ERR_NOSUPPORTINTERFACE")), refused;

    const int mode = pages.installMode.typicalMode ? engine::kTypicalMode : engine::kAdvancedMode;
    engine::UsbInstallSteps usb(ctx, mode);
    if (kind == engine::kPortUsb && !usb.RunDriverCheck(r.targetOs)) return refused;

    w.messages.clear();
    if (!engine::FillInstallRequest(ctx, r, choices, w.messages)) {
        tell(p, w.messages.text());
        w.messages.clear();
        return failed;
    }
    if (kind == engine::kPortNet) {
        if (pages.port.ipAddress() == 0) return tell(p, messageText(p, "IDS_ERR_IPADDRISNULL")), refused;
        const std::string address = pages.port.ipAddressText();
        r.portName = cfg::CutTo("IP_" + address, engine::kPortNameSize);
        r.printer.portName = r.portName;
        if (!engine::AddTcpIpPort(ctx, r.portName, address))
            return tell(p, messageText(p, "IDS_ERR_ADDPORTERROR")), failed;
    }
    if (kind == engine::kPortUsb) {
        if (!usb.Identify(choices.portName)) return usb.identifierWriteFailed() ? failed : refused;
        const std::string installed = engine::UsbInstallSteps::InstalledPortName(choices.portName);
        if (installed != choices.portName) {
            r.alternateUsbPortName = installed;
            r.printer.portName = installed;
        }
        if (!engine::WriteUsbPortRecords(ctx, installed, w.messages)) {
            tell(p, w.messages.text());
            w.messages.clear();
            return failed;
        }
        if (r.targetOs == cfg::kOsNt4) return tell(p, messageText(p, "IDS_ERR_NOSUPPORTUSB")), refused;
    }
    return Outcome::NotRun;  // ready
}

void runInstallation(SetupWizardDialog& w) {
    SetupState& s = w.state();
    plat::Platform& p = s.platform;
    WizardWindow& window = w.window();

    ProgressDialog progress(p);
    progress.targetOsClass = w.request.targetOs;
    progress.completionState = engine::kRunning;
    w.messages.clear();
    engine::InstallJob job{w.request, w.messages, progress.completionState};

    window.MinimizeTopmost();
    cfg::LogLine(p, "installing on port " + w.request.printer.portName.value_or("") + " as printer " +
                        w.request.printer.printerName.value_or(""));
    const bool started = window.StartWorker([&s, &job] { engine::InstallWorker(s.engine, job); });
    if (!started) {
        w.messages.set(messageText(p, kWorkerNotStarted));
        progress.completionState = engine::kFailed;
    }
    window.RunProgress(progress);
    // The progress window of a Windows 98 target closes without waiting for the worker;
    // the worker writes into the request and the buffer until it ends, so they are only
    // read once it has.
    if (started) window.WaitForWorker();

    w.installOutcome.kind =
        progress.completionState == engine::kSucceeded ? Outcome::Succeeded : Outcome::Failed;
    w.installOutcome.printerName = w.request.modelName;
    std::string text = w.messages.text();
    if (text.empty())
        text = progress.completionState == engine::kSucceeded ? messageText(p, "IDS_INF_NTRESTART") : messageText(p, kUnexplainedFailure);
    tell(p, text);

    if (w.request.targetOs == cfg::kOsWin9x) {
        const int answer = cfg::ShowAppMessage(p, Program::Setup, messageText(p, "IDS_INF_RESTART"), plat::kMbYesNo);
        if (answer == plat::kIdYes && !p.windows.ExitWindowsEx(kEwxReboot, 0))
            w.messages.set(messageText(p, "IDS_ERR_EXITWIN"));
    }
    w.DestroyCurrentPage();
    w.view().Close(plat::kIdOk);
}

}  // namespace

void OnForward(SetupWizardDialog& w) {
    const int last = w.pageCount() - 1;
    if (w.currentPage < last) {
        w.SetActivePage(w.currentPage + 1);
        if (w.currentPage == last) arriveAtLastPage(w);
        w.view().Enable(kBackButton, true);
        w.view().SetFocus(kNextButton);
        return;
    }
    for (WizardPage* page : {static_cast<WizardPage*>(&w.pages().license), static_cast<WizardPage*>(&w.pages().printerType),
                             static_cast<WizardPage*>(&w.pages().installMode), static_cast<WizardPage*>(&w.pages().os),
                             static_cast<WizardPage*>(&w.pages().port)})
        page->SaveData();
    w.installOutcome = InstallOutcome();
    w.installOutcome.accepted = w.showAgreement == 1;
    const Outcome::Kind prepared = prepareRequest(w);
    cfg::LogLine(w.state().platform, "choices: " + DescribeChoices(w.installOutcome));
    if (prepared != Outcome::NotRun) {
        w.installOutcome.kind = prepared;
        return;
    }
    runInstallation(w);
}

}  // namespace setup
