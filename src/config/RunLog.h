// The log every run of either program keeps, and the exit codes deployment systems judge
// a run by.
//
// Any code that has the run's Platform writes into the log with one call:
//
//     cfg::LogLine(p, "section DEVICE.Win10 missing: using DEVICE.Win7");
//
// It costs nothing and does nothing when the run keeps no log (tests of single parts),
// never fails the caller, and leaves the thread's last error as it was, so it may sit
// between a failing call and the GetLastError that explains it.
#pragma once
#include <string>

#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitRestartNeeded = 3010,    // ERROR_SUCCESS_REBOOT_REQUIRED
    kExitRefused = 1602,          // ERROR_INSTALL_USEREXIT: refused, or the user gave up
    kExitFailed = 1603,           // ERROR_INSTALL_FAILURE
    kExitAnotherRunning = 1618,   // ERROR_INSTALL_ALREADY_RUNNING
    kExitBadArguments = 1639,     // ERROR_INVALID_COMMAND_LINE: command line or answer file
    kExitNotAdministrator = 740,  // ERROR_ELEVATION_REQUIRED
};

// A fact of the run, one line with its time.
void LogLine(plat::Platform& p, const std::string& text);
// A text the user is shown (message box, note line): logged, and in an unattended run also
// written to standard error, since nobody sees it otherwise.
void LogShown(plat::Platform& p, const std::string& text);
// Whether the run keeps a log at all: what would only be worked out for it can be skipped.
inline bool Logging(const plat::Platform& p) { return p.log != nullptr; }

// The log file of one run. Lines are appended one write at a time, so what was written
// before a crash stays. A line that cannot be written is lost; the run goes on.
class RunLog : public plat::LogSink {
public:
    // Written through `p`'s files and clock (not through the platform the run hands on).
    RunLog(plat::Platform& p, std::string path, bool quiet);

    void Line(const std::string& text) override;
    void Shown(const std::string& text) override;

    const std::string& path() const { return path_; }
    bool quiet() const { return quiet_; }
    // False once a line could not be written.
    bool intact() const { return intact_; }

private:
    void write(const std::string& text);
    plat::Platform& p_;
    std::string path_;
    bool quiet_;
    bool intact_ = true;
};

// "<temporary folder>\<program>-<yyyymmdd>-<hhmmss>.log", in the current directory when
// Windows names no temporary folder.
std::string DefaultLogPath(plat::Platform& p, const std::string& program);

// The lines every log starts with: the command line, the program and its package folder,
// the Windows version with its class and width.
void LogRunStart(plat::Platform& p, Program program, const std::string& commandLine);

// The last line: what the run ends with.
void LogExit(plat::Platform& p, int exitCode, const std::string& outcome);

}  // namespace cfg
