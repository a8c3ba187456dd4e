#include "setup/SetupProgram.h"

#include "config/CommandLine.h"
#include "config/MessageBoxes.h"
#include "config/RunLog.h"
#include "config/RunWindows.h"
#include "setup/AnswerFile.h"
#include "setup/UnattendedSetup.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

constexpr std::uint32_t kAnswerFileLimit = 64 * 1024;

int startupExitCode(const StartupDecision& d, std::string* outcome) {
    if (d.outcome == StartupDecision::AlreadyRunning) {
        *outcome = "another setup is running";
        return cfg::kExitAnotherRunning;
    }
    *outcome = "refused at start-up (" + d.refusalSection + "/" + d.refusalKey + ")";
    return d.refusalKey == "Close" ? cfg::kExitAnotherRunning : cfg::kExitRefused;
}

bool readAnswers(plat::Platform& p, const std::string& path, Answers* answers, std::string* why) {
    std::string bytes;
    if (!p.files.ReadWholeFile(path, kAnswerFileLimit, &bytes)) {
        *why = "answer file " + path + " cannot be read (error " + std::to_string(p.process.GetLastError()) + ")";
        return false;
    }
    const AnswerFileResult parsed = ParseAnswerFile(bytes);
    if (!parsed.error.empty()) {
        *why = "answer file " + path + ", " + parsed.error;
        return false;
    }
    *answers = parsed.answers;
    return true;
}

}  // namespace

SetupWizardParts::SetupWizardParts(plat::Platform& p, const StartupDecision& d, WizardWindow& window)
    : state(p, d.is64BitWindows),
      license(state),
      printerType(state),
      installMode(state),
      os(state),
      port(state),
      frame(state, WizardPages{license, printerType, installMode, os, port}, window) {
    frame.showAgreement = d.showAgreement;
    license.showAgreement = d.showAgreement;
    frame.useChineseFont = d.useChineseFont;
    for (WizardPage* page : {static_cast<WizardPage*>(&license), static_cast<WizardPage*>(&printerType),
                             static_cast<WizardPage*>(&installMode), static_cast<WizardPage*>(&os),
                             static_cast<WizardPage*>(&port)})
        page->useChineseFont = d.useChineseFont;
    // The titles are kept with the pages, never shown; the Chinese ones in GBK.
    frame.AddPage("\xD4\xC4\xB6\xC1\xB0\xE6\xC8\xA8\xC9\xF9\xC3\xF7", &license, kLicensePageTemplate);
    frame.AddPage("STEP 2\tSelect Install Module", &printerType, kPrinterTypePageTemplate);
    frame.AddPage("\xD1\xA1\xD4\xF1\xB0\xB2\xD7\xB0\xC4\xA3\xCA\xBD", &installMode, kInstallModePageTemplate);
    frame.AddPage("STEP 1\tSelect Install OS", &os, kOsPageTemplate);
    frame.AddPage("STEP 3\tSet Printer Port and Confirm Setup", &port, kPortPageTemplate);
}

void HeadlessWizardWindow::PrepareTemplateControls(plat::MemoryDialogView& view, int templateId) {
    switch (templateId) {
        case kPortPageTemplate: view.control(kPortList).sorted = true; break;
        case kOsPageTemplate:
            view.control(kOsWin98Radio).visible = false;
            view.control(kOsNtRadio).visible = false;
            break;
        case kWizardTemplate:
            view.control(kBackButton).enabled = false;
            view.control(kNextButton).enabled = false;
            break;
        default: break;
    }
}

void HeadlessWizardWindow::CreatePage(WizardPage& page, int templateId) {
    auto view = std::make_unique<plat::MemoryDialogView>();
    PrepareTemplateControls(*view, templateId);
    page.attach(view.get());
    views_[&page] = std::move(view);
    page.OnInitDialog();
}

void HeadlessWizardWindow::ShowPage(WizardPage& page, bool) { page.OnShowWindow(); }

bool HeadlessWizardWindow::LoadSidePicture(const std::string& path) {
    return p_.files.GetFileAttributes(path) != plat::kInvalidFileAttributes;
}

int WizardExitCode(SetupWizardParts& w, bool restartWithheld, std::string* outcome) {
    const InstallOutcome& o = w.frame.installOutcome;
    if (w.frame.closedWith == "IDS_ADMIN") {
        *outcome = "not run as administrator";
        return cfg::kExitNotAdministrator;
    }
    if (!w.frame.closedWith.empty() || w.license.agreementMissing) {
        *outcome = "the wizard could not open: " + (w.license.agreementMissing ? "IDS_ERR_NOLICENSE" : w.frame.closedWith);
        return cfg::kExitFailed;
    }
    switch (o.kind) {
        case InstallOutcome::NotRun: *outcome = "closed without installing"; return cfg::kExitRefused;
        case InstallOutcome::Refused: *outcome = "the installation was refused"; return cfg::kExitRefused;
        case InstallOutcome::Failed: *outcome = "the installation failed"; return cfg::kExitFailed;
        case InstallOutcome::Succeeded: break;
    }
    // A file written beside one Windows holds, or the Windows 98 target, which always asks.
    if (w.state.engine.restartNeeded || w.frame.request.targetOs == cfg::kOsWin9x || restartWithheld) {
        *outcome = "installed printer " + o.printerName + "; Windows must restart";
        return cfg::kExitRestartNeeded;
    }
    *outcome = "installed printer " + o.printerName;
    return cfg::kExitSuccess;
}

int RunSetup(plat::Platform& base, const std::string& commandLine, WizardHost& host) {
    const cfg::CommandLine args = cfg::ParseCommandLine(cfg::Program::Setup, commandLine);
    cfg::RunPlatform run(base, args, "setup");
    plat::Platform& p = run.platform();
    cfg::LogRunStart(p, cfg::Program::Setup, commandLine);
    auto finish = [&](int code, const std::string& outcome) {
        cfg::LogExit(p, code, outcome);
        return code;
    };
    if (!args.error.empty()) {
        cfg::LogShown(p, "setup: " + args.error);
        return finish(cfg::kExitBadArguments, "bad command line");
    }
    if (args.quiet) cfg::LogLine(p, "unattended installation with the answers of " + args.answers);

    std::string outcome;
    const StartupDecision decision = RunSetupStartup(p);
    if (decision.outcome != StartupDecision::ShowWizard) {
        const int code = startupExitCode(decision, &outcome);
        return finish(code, outcome);
    }

    if (args.quiet) {
        Answers answers;
        std::string why;
        if (!readAnswers(p, args.answers, &answers, &why)) {
            cfg::LogShown(p, "setup: " + why);
            return finish(cfg::kExitBadArguments, "bad answer file");
        }
        HeadlessWizardWindow window(p);
        SetupWizardParts wizard(p, decision, window);
        const int code = RunUnattendedInstall(wizard, window, answers, run.windows(), &outcome);
        return finish(code, outcome);
    }

    SetupWizardParts wizard(p, decision, host.window());
    host.Run(wizard.frame);
    const int code = WizardExitCode(wizard, run.windows().restartWithheld(), &outcome);
    if (!args.record.empty() && wizard.frame.installOutcome.kind == InstallOutcome::Succeeded) {
        if (p.files.WriteNewFile(args.record, FormatAnswerFile(wizard.frame.installOutcome))) {
            cfg::LogLine(p, "choices recorded in " + args.record);
        } else {
            cfg::ShowAppMessage(p, cfg::Program::Setup,
                                "The answer file " + args.record + " could not be written (error " +
                                    std::to_string(p.process.GetLastError()) + ").",
                                plat::kMbOk);
        }
    }
    return finish(code, outcome);
}

}  // namespace setup
