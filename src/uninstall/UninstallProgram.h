// uninstall.exe from its command line to its exit code: the run's log, start-up, and then
// either the dialog in its window or, with /quiet, the same dialog's logic given the rows
// to remove without any window.
#pragma once
#include <string>

#include "platform/Platform.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// What the program's window code does: shows the main dialog modally until it closes,
// with the run's platform and the process's state.
class UninstallHost {
public:
    virtual ~UninstallHost() = default;
    virtual void Run(plat::Platform& p, UninstallState& state, int useChineseFont) = 0;
};

// The exit code of the removals of this process, or of the dialog that refused to open;
// `outcome` receives the reason in words.

int RemovalExitCode(const UninstallState& state, bool restartWithheld, std::string* outcome);

// The whole program. `commandLine` is the process's, program name first.
int RunUninstall(plat::Platform& p, const std::string& commandLine, UninstallState& state, UninstallHost& host);

}  // namespace uninstall
