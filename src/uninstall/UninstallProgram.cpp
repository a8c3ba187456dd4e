#include "uninstall/UninstallProgram.h"

#include "config/CommandLine.h"
#include "config/RunLog.h"
#include "config/RunWindows.h"
#include "platform/MemoryDialogView.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallStartup.h"

namespace uninstall {

namespace {

struct Stop {
    int code;
    std::string why;
};

// The dialog's logic on a control state in memory: the rows the command line names are
// checked as the user would check them, and Uninstall is pressed once.
std::optional<Stop> removeUnattended(plat::Platform& p, UninstallState& state, const cfg::CommandLine& args,
                                     int useChineseFont) {
    plat::MemoryDialogView view;
    UninstallDialog dialog(p, state, view);
    dialog.useChineseFont = useChineseFont;
    dialog.startWorker = [](std::function<void()> job) { job(); };
    dialog.askRestart = [&p] {
        cfg::LogLine(p, "restart question answered No (unattended run): the restart is left to the caller");
        return static_cast<int>(RestartDialog::kAnswerNo);
    };
    const UninstallDialog::InitOutcome opened = dialog.OnInitDialog(0);
    if (opened == UninstallDialog::InitOutcome::Closed || opened == UninstallDialog::InitOutcome::NoSpoolerLibrary)
        return std::nullopt;  // the exit code follows from what it closed with

    std::string rows;
    for (int row = 0; row < view.RowCount(kComponentList); ++row)
        rows += (rows.empty() ? "" : ", ") + view.RowText(kComponentList, row);
    cfg::LogLine(p, "rows offered: " + (rows.empty() ? std::string("none") : rows));
    if (args.all) dialog.OnSelect();
    for (const std::string& item : args.items) {
        int found = -1;
        for (int row = 0; row < view.RowCount(kComponentList) && found < 0; ++row)
            if (view.RowText(kComponentList, row) == item) found = row;
        if (found < 0)
            return Stop{cfg::kExitBadArguments, "/item=" + item + " names no row of this machine (rows: " +
                                                    (rows.empty() ? std::string("none") : rows) + ")"};
        view.RowCheck(kComponentList, found, true);
    }
    if (args.usb) {
        if (view.IsEnabled(kUsbRemovalCheck))
            view.SetCheck(kUsbRemovalCheck, true);
        else
            cfg::LogLine(p, "/usb: the USB driver removal is not offered on this machine (no driver files, or no "
                            "USB printer connected); left out");
    }
    bool anything = view.IsChecked(kUsbRemovalCheck);
    for (int row = 0; row < view.RowCount(kComponentList); ++row) anything = anything || view.RowChecked(kComponentList, row);
    if (!anything) {
        cfg::LogLine(p, "nothing to remove");
        return std::nullopt;
    }
    dialog.OnUninstall();
    dialog.OnRemovalFinished();
    return std::nullopt;
}

}  // namespace

int RemovalExitCode(const UninstallState& state, bool restartWithheld, std::string* outcome) {
    const auto& r = state.removal;
    if (state.closedWith == "IDS_ADMIN") {
        *outcome = "not run as administrator";
        return cfg::kExitNotAdministrator;
    }
    if (!state.closedWith.empty()) {
        *outcome = "the uninstaller could not open: " + state.closedWith;
        return cfg::kExitFailed;
    }
    if (r.failed) {
        *outcome = "a removal step failed";
        return cfg::kExitFailed;
    }
    if (r.refused) {
        *outcome = "a print job is waiting: nothing was removed";
        return cfg::kExitRefused;
    }
    if (r.restartOffered || restartWithheld) {
        *outcome = "removed; Windows must restart";
        return cfg::kExitRestartNeeded;
    }
    *outcome = r.runs > 0 ? "removed" : "nothing removed";
    return cfg::kExitSuccess;
}

int RunUninstall(plat::Platform& base, const std::string& commandLine, UninstallState& state, UninstallHost& host) {
    const cfg::CommandLine args = cfg::ParseCommandLine(cfg::Program::Uninstall, commandLine);
    cfg::RunPlatform run(base, args, "uninstall");
    plat::Platform& p = run.platform();
    cfg::LogRunStart(p, cfg::Program::Uninstall, commandLine);
    auto finish = [&](int code, const std::string& outcome) {
        cfg::LogExit(p, code, outcome);
        return code;
    };
    if (!args.error.empty()) {
        cfg::LogShown(p, "uninstall: " + args.error);
        return finish(cfg::kExitBadArguments, "bad command line");
    }
    const UninstallStartupDecision decision = RunUninstallStartup(p);
    if (decision.outcome == UninstallStartupDecision::AlreadyRunning)
        return finish(cfg::kExitAnotherRunning, "another uninstaller is running");
    if (decision.outcome == UninstallStartupDecision::SetupRunning)
        return finish(cfg::kExitAnotherRunning, "setup is running");

    std::string outcome;
    if (args.quiet) {
        if (auto stop = removeUnattended(p, state, args, decision.useChineseFont)) {
            cfg::LogShown(p, "uninstall: " + stop->why);
            return finish(stop->code, stop->why);
        }
        const int code = RemovalExitCode(state, run.windows().restartWithheld(), &outcome);
        return finish(code, outcome);
    }
    host.Run(p, state, decision.useChineseFont);
    int code = RemovalExitCode(state, run.windows().restartWithheld(), &outcome);
    if (code == cfg::kExitSuccess && state.removal.runs == 0) {
        code = cfg::kExitRefused;
        outcome = "closed without removing anything";
    }
    return finish(code, outcome);
}

}  // namespace uninstall
