#include "config/RunWindows.h"

#include "config/RunLog.h"

namespace cfg {

int RunWindows::MessageBox(plat::WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) {
    const bool question = (type & plat::kMbTypeMask) == plat::kMbYesNo;
    if (!quiet_) {
        log_.Shown(text);
        const int answer = real_.MessageBox(owner, text, caption, type);
        if (question) log_.Line(std::string("answered ") + (answer == plat::kIdYes ? "Yes" : "No"));
        return answer;
    }
    log_.Shown(text);
    // A question has only one answer that lets the run go on; the wizard's only questions
    // are whether to set the printer's USB identifier to the chosen port's and whether to
    // restart, which the run never does itself.
    if (question) log_.Line("answered Yes (unattended run)");
    return question ? plat::kIdYes : plat::kIdOk;
}

bool RunWindows::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    if (!quiet_ && !noRestart_) {
        log_.Line("restarting Windows");
        return real_.ExitWindowsEx(flags, reason);
    }
    restartWithheld_ = true;
    log_.Line("restart of Windows left to the caller (exit code 3010)");
    return true;
}

RunPlatform::RunPlatform(plat::Platform& base, const CommandLine& args, const std::string& program)
    // A command line that is refused is said on standard error too: whoever typed it is
    // looking there.
    : log_(base, args.log.empty() ? DefaultLogPath(base, program) : args.log, args.quiet || !args.error.empty()),
      windows_(base.windows, log_, args.quiet, args.noRestart),
      platform_{base.profile, base.registry, base.system,  base.process, base.security, base.services, windows_,
                base.clock,   base.spooler,  base.files,   base.shell,   base.usb,      &log_} {}

}  // namespace cfg
