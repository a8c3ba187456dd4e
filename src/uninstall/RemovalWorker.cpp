#include "uninstall/RemovalWorker.h"

#include <cstdio>

#include "config/FsRedirection.h"
#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/PrinterRecord.h"
#include "config/RunLog.h"
#include "config/SpoolerEnvironment.h"
#include "config/SpoolerService.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallIni.h"

namespace uninstall {

namespace {

constexpr std::size_t kTextLimit = cfg::kTextBufferSize - 1;
constexpr std::uint32_t kDirectorySize = 256;
constexpr std::uint32_t kInstallerPathSize = 260;
constexpr std::uint32_t kDeleteUnusedFiles = 1;
const char kNoSystemDirectory[] = "Get system Directory error.";
const char kPackageKey[] = "SOFTWARE\\TARVEKO";

bool osHasDriverStore(cfg::OsClass os) { return cfg::IsWin2000OrLater(os); }

// Outcome of one row's steps.
enum class RowResult { Kept, Removed, Abort };

class Removal {
public:
    explicit Removal(RemovalRun& run)
        : run_(run), p_(run.p), view_(run.view), messages_(cfg::MessageTexts(run.p, cfg::Program::Uninstall)) {}

    void addLine(const std::string& line) {
        const int index = view_.ListAdd(kNoteList, line.substr(0, kTextLimit));
        view_.ListSelect(kNoteList, index);
        cfg::LogShown(p_, line.substr(0, kTextLimit));
    }
    // A line that says a step failed: the run's exit code says so too.
    void addFailure(const std::string& line) {
        run_.state.removal.failed = true;
        addLine(line);
    }
    void addKey(const char* key) { addLine(messages_.GetText(key)); noteOutcome(key); }
    void addKey(const char* key, const std::string& name) {
        addLine(FormatNoteLine(messages_.GetText(key), name));
        noteOutcome(key);
    }
    // Every error line but a driver still in use (another printer keeps it) is a failure;
    // a job waiting anywhere only refuses the run.
    void noteOutcome(const std::string& key) {
        if (key == "IDS_ERR_HAVEJOB2")
            run_.state.removal.refused = true;
        else if ((key.compare(0, 8, "IDS_ERR_") == 0 && key != "IDS_ERR_DRVUSING") || key == "IDS_USING")
            run_.state.removal.failed = true;
    }
    void wait(std::uint32_t ms) { p_.clock.Sleep(ms); }

    // Level-2 record of an open printer, size first. On failure the line is added and the
    // printer closed; false then.
    bool readRecord(plat::PrinterHandle printer, plat::PrinterInfo2* info) {
        if (cfg::ReadPrinterRecord(p_, printer, info)) return true;
        p_.spooler.ClosePrinter(printer);
        addKey("IDS_ERR_GETPRNINFO");
        wait(100);
        return false;
    }

    // Local printers by the two-call protocol; none when they cannot be listed.
    std::vector<std::string> localPrinters() {
        std::vector<std::string> names;
        std::uint32_t needed = 0;
        if (!p_.spooler.EnumPrinters5(0, &names, &needed) &&
            (p_.process.GetLastError() != plat::kErrorInsufficientBuffer ||
             !p_.spooler.EnumPrinters5(needed, &names, &needed)))
            names.clear();
        return names;
    }

    bool preCheck() {
        for (const std::string& name : localPrinters()) {
            plat::PrinterHandle printer = 0;
            if (!p_.spooler.OpenPrinterWithAccess(name, plat::kPrinterAllAccess, &printer)) {
                addKey("IDS_ERR_OPENPRN", run_.currentItemName);
                return false;
            }
            plat::PrinterInfo2 info;
            if (!readRecord(printer, &info)) return false;
            p_.spooler.ClosePrinter(printer);
            if (info.jobs > 0) {
                addKey("IDS_ERR_HAVEJOB2", name);
                wait(100);
                return false;
            }
        }
        return true;
    }

    void run() {
        ++run_.state.removal.runs;
        setControls(false);
        bool restartNeeded = false;
        bool aborted = false;
        for (int row = 0; row < view_.RowCount(kComponentList); ++row) {
            wait(500);
            if (!view_.RowChecked(kComponentList, row)) continue;
            run_.currentItemName = view_.RowText(kComponentList, row);
            if (static_cast<std::size_t>(row) >= run_.state.rowKinds.size()) continue;  // kind unknown: never guessed
            RowResult result = RowResult::Kept;
            switch (run_.state.rowKinds[static_cast<std::size_t>(row)]) {
            case ComponentKind::Monitor:
                result = removeMonitor(run_.currentItemName, row);
                break;
            case ComponentKind::Processor:
                result = removeProcessor(run_.currentItemName, row);
                break;
            case ComponentKind::Printer:
                result = removePrinter(run_.currentItemName, row);
                break;
            }
            if (cfg::Logging(p_)) {
                static const char* const kResults[] = {"kept", "removed", "run ended"};
                cfg::LogLine(p_, "step " + run_.currentItemName + ": " + kResults[static_cast<int>(result)] +
                                     ", last error " + std::to_string(p_.process.GetLastError()));
            }
            if (result == RowResult::Abort) {
                aborted = true;
                break;
            }
            if (result == RowResult::Removed) {
                restartNeeded = true;
                --row;  // the row below has moved up into this place
            }
        }
        if (!aborted) {
            if (view_.IsChecked(kUsbRemovalCheck)) removeUsbDriver();
            if (restartNeeded) run_.state.removal.restartOffered = true;
            if (restartNeeded && run_.askRestart && run_.askRestart() == RestartDialog::kAnswerYes)
                RestartWindows(p_, run_.state.osClass);
        }
        finish();
    }

private:
    void setControls(bool enabled) {
        for (int id : {kUninstallButton, kComponentList, kSelectButton, kExitButton, kUsbRemovalCheck}) view_.Enable(id, enabled);
    }

    void finish() {
        if (view_.RowCount(kComponentList) == 0) {
            view_.Enable(kExitButton, true);
            return;
        }
        addKey("IDS_SELECTPRN1");
        for (int id : {kComponentList, kUninstallButton, kSelectButton, kExitButton}) view_.Enable(id, true);
        if (osHasDriverStore(run_.state.osClass)) view_.Enable(kUsbRemovalCheck, true);
    }

    void deleteRow(int row) {
        view_.RowDelete(kComponentList, row);
        auto& kinds = run_.state.rowKinds;
        if (static_cast<std::size_t>(row) < kinds.size()) kinds.erase(kinds.begin() + row);
    }

    // Where setup put the package's drivers, processor and monitors.
    plat::OptText environment() const { return cfg::SpoolerEnvironment(run_.state.osClass, run_.state.is64BitWindows); }

    // Windows 98 serial monitor: in use while any printer prints to one of its ports.
    bool serialPortsFree(const std::string& name) {
        for (const std::string& printerName : localPrinters()) {
            plat::PrinterHandle printer = 0;
            if (!p_.spooler.OpenPrinterWithAccess(printerName, plat::kPrinterAllAccess, &printer)) {
                addKey("IDS_ERR_OPENPRN", name);
                return false;
            }
            plat::PrinterInfo2 info;
            if (!readRecord(printer, &info)) return false;
            p_.spooler.ClosePrinter(printer);
            if (info.portName && info.portName->find("QXCOM") != std::string::npos) {
                addKey("IDS_ERR_HAVEJOB1", name);
                wait(100);
                return false;
            }
        }
        return true;
    }

    // Setup writes the package's records in the 64-bit view on 64-bit Windows. RegDeleteKeyA
    // of a 32-bit program only ever reaches Wow6432Node, even relative to a key opened in
    // the 64-bit view; only RegDeleteKeyExA can name the view, and Windows without it has
    // no 64-bit view to clean. Results are otherwise ignored: a key that is not there is
    // already gone.
    void deletePackageKey(const std::string& leaf) {
        const std::string path = std::string(kPackageKey) + "\\" + leaf;
        if (!run_.state.is64BitWindows) {
            deleteKey(path);
            return;
        }
        plat::ModuleHandle advapi32 = p_.process.LoadLibrary("Advapi32.dll");
        plat::ProcAddress deleteEx = advapi32 ? p_.process.GetProcAddress(advapi32, "RegDeleteKeyExA") : 0;
        const long rc = deleteEx ? p_.registry.CallRegDeleteKeyEx(deleteEx, plat::kHkeyLocalMachine, path,
                                                                  plat::kKeyWow64_64Key)
                                 : -1;
        if (advapi32) p_.process.FreeLibrary(advapi32);
        if (rc != 0 && rc != static_cast<long>(plat::kErrorFileNotFound))
            addKey("IDS_ERR_DELRECORD", "HKLM\\" + path);
    }

    // A key that is gone already is what was wanted; any other refusal leaves a record of
    // the package behind, which the user must hear of.
    void deleteKey(const std::string& path) {
        const long rc = p_.registry.RegDeleteKey(plat::kHkeyLocalMachine, path);
        if (rc != 0 && rc != static_cast<long>(plat::kErrorFileNotFound)) addKey("IDS_ERR_DELRECORD", "HKLM\\" + path);
    }

    // Likewise for a file: one left behind is named. A file the running spooler still holds
    // (the order of the steps restarts it before the files go) is the reason a restart of
    // Windows is offered, and not named.
    void deleteFile(const std::string& path) {
        if (p_.files.DeleteFile(path)) return;
        const std::uint32_t error = p_.process.GetLastError();
        if (error != plat::kErrorFileNotFound && error != plat::kErrorSharingViolation) addKey("IDS_ERR_DELFILE", path);
    }

    // The spooler is restarted between removals; if it does not come back, the user must
    // hear it, not find printing dead later.
    void restartSpooler() {
        if (!cfg::RestartSpooler(p_))
            addKey("IDS_ERR_SPOOLER");
    }

    // False, with a note line, when a value the row's removal would use is not a plain name;
    // the row is then left alone entirely.
    bool plainNames(std::initializer_list<const std::string*> values) {
        for (const std::string* value : values)
            if (!cfg::IsNoFile(*value) && !IsPlainName(*value)) {
                addKey("IDS_ERR_BADNAME", *value);
                wait(100);
                return false;
            }
        return true;
    }

    void deleteMonitorFiles(const MonitorFiles& files) {
        std::string dir;
        const std::uint32_t length = p_.process.GetSystemDirectory(kDirectorySize, &dir);
        if (length == 0 || length >= kDirectorySize) {
            addFailure(kNoSystemDirectory);
            return;  // a path without its folder would point at the drive's root
        }
        const std::string* const names[] = {&files.monitorDll, &files.monitorUiDll, &files.extraDll};
        for (int i = 0; i < 3; ++i) {
            if (cfg::IsNoFile(*names[i])) continue;
            const std::string path = dir + "\\" + *names[i];
            if (run_.state.is64BitWindows && i < 2) {
                // The monitors live in the real system32 folder, which redirection hides.
                if (!cfg::WithFsRedirectionDisabledSilently(p_, true, [&] { deleteFile(path); }))
                    addKey("IDS_ERR_DELFILE", path);
            } else {
                deleteFile(path);
            }
        }
    }

    RowResult removeMonitor(const std::string& name, int row) {
        addKey("IDS_DELETING1", name);
        if (run_.state.osClass == cfg::kOsWin9x && !serialPortsFree(name)) {
            addKey("IDS_USING", name);
            return RowResult::Kept;
        }
        const std::string extraMonitor = ReadExtraMonitorName(p_, run_.state, name);
        const MonitorFiles files = ReadMonitorFiles(p_, run_.state, name);
        if (!plainNames({&extraMonitor, &files.monitorDll, &files.monitorUiDll, &files.extraDll})) return RowResult::Kept;
        const plat::OptText server = std::string();
        if (!p_.spooler.DeleteMonitor(server, environment(), name)) {
            // A monitor the spooler still holds is often free once the spooler restarts.
            restartSpooler();
            wait(500);
            if (!p_.spooler.DeleteMonitor(server, environment(), name)) {
                const std::uint32_t error = p_.process.GetLastError();
                addKey(error == plat::kErrorPrintMonitorInUse ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
                wait(100);
                return RowResult::Kept;
            }
        }
        if (name.find("USB") != std::string::npos) {
            deletePackageKey("INSTALLPRINTER");
            deletePackageKey("PORTNAME");
        }
        restartSpooler();
        wait(500);
        const std::string monitorKey = ExtraMonitorKey(extraMonitor);
        if (!monitorKey.empty()) deleteKey(monitorKey);
        deleteMonitorFiles(files);
        addKey("IDS_SUCCESS", name);
        deleteRow(row);
        return RowResult::Removed;
    }

    RowResult removeProcessor(const std::string& name, int row) {
        addKey("IDS_DELETING1", name);
        const std::string file = ReadProcessorFile(p_, run_.state, name);
        if (!plainNames({&file})) return RowResult::Kept;
        if (!p_.spooler.DeletePrintProcessor(std::string(), environment(), name)) {
            const std::uint32_t error = p_.process.GetLastError();
            addKey(error == plat::kErrorCanNotComplete ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
            wait(100);
            return RowResult::Kept;
        }
        restartSpooler();
        wait(500);
        deleteKey(std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
                                     cfg::SpoolerEnvironmentName(run_.state.osClass, run_.state.is64BitWindows) +
                                     "\\Print Processors\\" + name);
        std::string dir;
        if (!p_.spooler.GetPrintProcessorDirectory(environment(), kDirectorySize, &dir)) {
            addFailure(kNoSystemDirectory);
        } else if (!cfg::IsNoFile(file)) {
            deleteFile(dir + "\\" + file);
        }
        addKey("IDS_SUCCESS", name);
        deleteRow(row);
        return RowResult::Removed;
    }

    void removeDriver(const plat::PrinterInfo2& info, const std::string& name) {
        addKey("IDS_DRVDELETING", name);
        const std::string driver = info.driverName.value_or("");
        const bool deleted =
            run_.state.deletePrinterDriverEx
                ? p_.spooler.CallDeletePrinterDriverEx(run_.state.deletePrinterDriverEx, info.serverName, environment(),
                                                       driver, kDeleteUnusedFiles, 0)
                : p_.spooler.DeletePrinterDriver(info.serverName, environment(), driver);
        if (deleted) {
            addKey("IDS_DRV_SUCCESS");
        } else {
            const std::uint32_t error = p_.process.GetLastError();
            if (error == plat::kErrorPrinterDriverInUse) {
                addKey("IDS_ERR_DRVUSING");
            } else {
                char code[32];
                std::snprintf(code, sizeof code, "    er=%d", static_cast<int>(error));
                run_.state.messageText = (messages_.GetText("IDS_ERR_DRVDEL") + code).substr(0, kTextLimit);
                addFailure(run_.state.messageText);
            }
        }
        wait(100);
    }

    RowResult removePrinter(const std::string& name, int row) {
        plat::PrinterHandle printer = 0;
        if (!p_.spooler.OpenPrinterWithAccess(name, plat::kPrinterAllAccess, &printer)) {
            addKey("IDS_ERR_OPENPRN", name);
            return RowResult::Abort;
        }
        addKey("IDS_DELETING2", name);
        plat::PrinterInfo2 info;
        if (!readRecord(printer, &info)) return RowResult::Abort;
        if (info.jobs > 0) {
            p_.spooler.ClosePrinter(printer);
            addKey("IDS_ERR_HAVEJOB1", name);
            wait(100);
            return RowResult::Abort;
        }
        if (!p_.spooler.DeletePrinter(printer)) {
            addKey("IDS_ERR_DELPRINTER");
            wait(100);
            p_.spooler.ClosePrinter(printer);
            return RowResult::Kept;
        }
        wait(100);
        addKey("IDS_SUCCESS", name);
        p_.spooler.ClosePrinter(printer);
        deleteRow(row);
        restartSpooler();
        wait(1000);
        if (osHasDriverStore(run_.state.osClass)) removeDriver(info, name);
        wait(1000);
        return RowResult::Removed;
    }

    void removeUsbDriver() {
        addKey("IDS_DELETING3");
        std::string dir;
        const std::uint32_t length = p_.process.GetCurrentDirectory(kInstallerPathSize, &dir);
        const char* installer =
            run_.state.is64BitWindows ? "\\USBDrv\\USBDriver_x64\\Install.exe" : "\\USBDrv\\USBDriver\\Install.exe";
        const std::string path = (dir + installer).substr(0, kInstallerPathSize - 1);
        // The shell answers above 32 when the program was started; anything else means the
        // USB driver is still there, and saying it finished would be untrue.
        if (length == 0 || length >= kInstallerPathSize ||
            p_.shell.ShellExecute(0, "open", path, std::string("22"), std::nullopt, plat::kSwShowNormal) <= 32) {
            addKey("IDS_ERR_USBDRIVER", path);
            return;
        }
        wait(500);
        const std::string title = cfg::LanguageFile(p_, cfg::Program::Uninstall, "Uninstall").GetText("CaptionName");
        // FindWindowA with an empty title finds any untitled window: without a configured
        // title there is nothing to wait for.
        while (!title.empty() && p_.windows.FindWindowByAnsiTitle(title)) wait(1000);
        wait(500);
        wait(1000);
        addKey("IDS_DRV_SUCCESS1");
    }

    RemovalRun& run_;
    plat::Platform& p_;
    plat::DialogView& view_;
    cfg::LanguageFile messages_;
};

}  // namespace

std::string FormatNoteLine(const std::string& text, const std::string& name) {
    std::string line = text;
    const std::size_t at = line.find("%s");
    if (at != std::string::npos) line.replace(at, 2, name);
    return line.substr(0, kTextLimit);
}

bool PrintJobPreCheck(RemovalRun& run) { return Removal(run).preCheck(); }

int RemovalWorker(RemovalRun& run) {
    Removal(run).run();
    return 1;
}

bool RunUninstallCommand(plat::Platform& p, UninstallState& state, plat::DialogView& view,
                         std::string& currentItemName, RestartQuestion askRestart, const WorkerStarter& startWorker) {
    RemovalRun check{p, state, view, currentItemName, askRestart};
    if (!PrintJobPreCheck(check)) return false;
    startWorker([&p, &state, &view, &currentItemName, askRestart] {
        RemovalRun run{p, state, view, currentItemName, askRestart};
        RemovalWorker(run);
    });
    return true;
}

}  // namespace uninstall
