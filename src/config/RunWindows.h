// The window calls of one run, as its command line wants them: an unattended run shows no
// message box (the text goes to the log and to standard error, and the box is answered
// with its first button: OK, or Yes to a question), and a run that must not restart
// Windows leaves the restart to its caller, who learns of it from exit code 3010. Every
// message box, shown or not, is logged.
#pragma once
#include <string>

#include "config/CommandLine.h"
#include "config/RunLog.h"
#include "platform/Platform.h"

namespace cfg {

class RunWindows : public plat::WindowApi {
public:
    // `real` is the windows behind it; every box goes into `log`.
    RunWindows(plat::WindowApi& real, plat::LogSink& log, bool quiet, bool noRestart)
        : real_(real), log_(log), quiet_(quiet), noRestart_(noRestart) {}

    // A restart was asked for and left to the caller.
    bool restartWithheld() const { return restartWithheld_; }

    int MessageBox(plat::WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    // Accepted without restarting when the run must not restart.
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;

    plat::WindowHandle FindWindowByTitle(const std::string& utf8Title) override {
        return real_.FindWindowByTitle(utf8Title);
    }
    plat::WindowHandle FindWindowByAnsiTitle(const std::string& ansiTitle) override {
        return real_.FindWindowByAnsiTitle(ansiTitle);
    }
    std::vector<plat::WindowHandle> FindWindows(const std::string& className, const std::string& utf8Title,
                                                const std::string& ansiTitle) override {
        return real_.FindWindows(className, utf8Title, ansiTitle);
    }
    bool SetForegroundWindow(plat::WindowHandle window) override { return real_.SetForegroundWindow(window); }
    bool IsIconic(plat::WindowHandle window) override { return real_.IsIconic(window); }
    bool OpenIcon(plat::WindowHandle window) override { return real_.OpenIcon(window); }
    plat::WindowHandle GetActiveWindow() override { return real_.GetActiveWindow(); }
    bool SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                     const std::optional<std::string>& lParamText, std::uint32_t flags,
                                     std::uint32_t timeoutMs) override {
        return real_.SendMessageTimeoutBroadcast(message, wParam, lParamText, flags, timeoutMs);
    }
    bool SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                    const std::optional<std::string>& lParamText) override {
        return real_.SendNotifyMessageBroadcast(message, wParam, lParamText);
    }

private:
    plat::WindowApi& real_;
    plat::LogSink& log_;
    bool quiet_;
    bool noRestart_;
    bool restartWithheld_ = false;
};

// The platform one run of a program hands its core: the program's own, with the run's
// log and the window rules of its command line.
class RunPlatform {
public:
    RunPlatform(plat::Platform& base, const CommandLine& args, const std::string& program);
    RunPlatform(const RunPlatform&) = delete;
    RunPlatform& operator=(const RunPlatform&) = delete;

    plat::Platform& platform() { return platform_; }
    RunLog& log() { return log_; }
    RunWindows& windows() { return windows_; }

private:
    RunLog log_;
    RunWindows windows_;
    plat::Platform platform_;
};

}  // namespace cfg
