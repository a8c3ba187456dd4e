// Removal of what the user checked in the uninstaller's component list: port monitors,
// print processors and printers with their drivers, each with its files and records, and
// on request the USB device driver through the package's own installer. Every step is a
// line in the dialog's note list.
#pragma once
#include <functional>
#include <string>

#include "platform/DialogView.h"
#include "platform/Platform.h"
#include "uninstall/RestartPrompt.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// A note line from a language text and an item name. The text is data: the name takes the
// place of the first "%s" only, and every other '%' is shown as it stands.
std::string FormatNoteLine(const std::string& text, const std::string& name);

// What one run works on. The dialog owns everything referred to here and keeps it alive
// until the worker has finished.
struct RemovalRun {
    plat::Platform& p;
    UninstallState& state;
    plat::DialogView& view;
    std::string& currentItemName;  // the dialog's; stays set after the run
    RestartQuestion askRestart;
};

// Runs a job on the worker thread (at once, in tests).
using WorkerStarter = std::function<void(std::function<void()>)>;

// On the dialog's thread: a job waiting on ANY local printer prevents the whole run, so
// nothing is half-removed under a printing queue. False (with its note line) when the run
// must not start.
bool PrintJobPreCheck(RemovalRun& run);

// On the worker thread: the removal itself, row by row in list order; answers 1.
int RemovalWorker(RemovalRun& run);

// The Uninstall button: the pre-check, then the worker through `startWorker`. Answers
// whether the worker was started.
bool RunUninstallCommand(plat::Platform& p, UninstallState& state, plat::DialogView& view,
                         std::string& currentItemName, RestartQuestion askRestart, const WorkerStarter& startWorker);

}  // namespace uninstall
