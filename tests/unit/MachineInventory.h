// The whole state of a simulated machine as sorted lines, and the sweep that makes every
// platform call of one user action fail once and holds the outcome against the machine of
// the fault-free action: a reported success must leave exactly that machine behind, a
// failure must say something, the spooler must be running afterwards.
#pragma once
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace testing_support {

// Spooler records, every in-memory file with bytes and attributes, all of HKLM, with two
// exceptions that are not part of what was installed. The temporary folder is scratch: the
// universal driver's files are unpacked there on their way. And those files of Windows'
// own universal driver come from the Driver Cache or, as designed when that cannot be
// read, from the package: the same Windows files, so only their presence counts.
inline std::vector<std::string> MachineInventory(sim::SimMachine& m) {
    std::vector<std::string> lines;
    // A monitor DLL that could not be replaced is written beside the old one under its "n"
    // name, and the monitor's Driver value names that copy: the designed answer, the same
    // monitor at the same version. It counts as the plain name only when the "n" file
    // really was written, so a Driver value naming a file that is not there still differs.
    const std::string system = "c:\\windows\\system32\\";
    std::vector<std::string> nCopies;
    for (auto& l : m.files.inventory()) {
        const std::string path = l.substr(0, l.find(' '));
        if (path.compare(0, system.size() + 1, system + "n") == 0 && path.find('\\', system.size()) == std::string::npos)
            nCopies.push_back(path.substr(system.size()));
    }
    auto written = [&](const std::string& lowerName) {
        return std::find(nCopies.begin(), nCopies.end(), lowerName) != nCopies.end();
    };
    for (auto l : m.spooler.inventory()) {
        const std::size_t at = l.find(" dll=n");
        if (l.compare(0, 8, "monitor ") == 0 && at != std::string::npos && written(l.substr(at + 5))) l.erase(at + 5, 1);
        lines.push_back("spooler " + l);
    }
    for (auto& l : m.files.inventory()) {
        if (l.compare(0, 8, "c:\\temp\\") == 0) continue;
        const std::string path = l.substr(0, l.find(' '));
        const std::string file = path.substr(path.rfind('\\') + 1);
        if (path == system + file && written(file)) continue;
        const bool universal = path.find("\\spool\\drivers\\") != std::string::npos &&
                               (file.compare(0, 6, "unidrv") == 0 || file == "unires.dll" || file == "stdnames.gpd" ||
                                file == "ttfsub.gpd");
        lines.push_back("file " + (universal ? l.substr(0, l.find(' ', l.find(" attr="))) : l));
    }
    for (auto l : m.registry.inventory("HKLM")) {
        // ":driver=1:" then the bytes of the value; 110 is the "n".
        const std::size_t at = l.find("\\print\\monitors\\");
        const std::size_t value = l.find(" :driver=1:110.");
        if (at != std::string::npos && value != std::string::npos) {
            std::string name;
            for (std::size_t i = value + 11; i < l.size();) {
                const std::size_t dot = l.find('.', i);
                const int byte = std::stoi(l.substr(i, dot - i));
                if (byte == 0) break;
                name += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
                i = dot + 1;
            }
            if (written(name)) l.erase(value + 11, 4);
        }
        lines.push_back("reg " + l);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// "-" lines only the expected machine has, "+" lines only the actual one has; at most
// `shown` of them, each cut short.
inline std::string InventoryDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual,
                                 std::size_t shown = 4) {
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
    std::string out;
    std::size_t n = 0;
    auto add = [&](const char* sign, const std::vector<std::string>& lines) {
        for (const auto& l : lines) {
            if (n++ == shown) return;
            out += std::string("\n      ") + sign + " " + (l.size() > 150 ? l.substr(0, 150) + "..." : l);
        }
    };
    add("-", missing);
    add("+", extra);
    if (missing.size() + extra.size() > shown)
        out += "\n      (" + std::to_string(missing.size() + extra.size() - shown) + " more)";
    return out;
}

// One call to make fail: the `occurrence`-th (0-based) call named `api` of the action.
struct FaultPoint {
    std::string api;
    int occurrence;
};

// What a call of that name fails with on a real machine.
inline std::uint32_t RealisticError(const std::string& api) {
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (api == n) return true;
        return false;
    };
    if (is({"RegCloseKey", "CloseServiceHandle", "ClosePrinter", "FindClose", "CloseHandle", "FreeLibrary"}))
        return plat::kErrorInvalidHandle;
    if (is({"LoadLibraryA", "GetModuleHandleA"})) return plat::kErrorModNotFound;
    if (is({"GetProcAddress"})) return plat::kErrorProcNotFound;
    if (is({"GetPrivateProfileStringA", "ShellExecuteA", "SetupIterateCabinetA"})) return plat::kErrorFileNotFound;
    if (is({"StartServiceA", "ControlService"})) return plat::kErrorServiceRequestTimeout;
    if (is({"MessageBoxA", "FormatMessageA"})) return plat::kErrorNotEnoughMemory;
    if (is({"OpenDeviceX", "GetDescriptor", "CloseDevice", "uWrite"})) return 31;  // ERROR_GEN_FAILURE
    if (is({"SendMessageTimeoutA", "SendNotifyMessageA"})) return 1460;                // ERROR_TIMEOUT
    // The spooler's calls: its RPC server went away under the call.
    if (is({"AddMonitorA", "AddPrintProcessorA", "AddPrinterA", "AddPrinterDriverA", "OpenPrinterA", "GetPrinterA",
            "SetPrinterA", "EnumPortsA", "XcvDataW", "DeletePrinter", "DeleteMonitorA", "DeletePrintProcessorA",
            "DeletePrinterDriverA", "DeletePrinterDriverExA", "GetPrinterDriverDirectoryA",
            "GetPrintProcessorDirectoryA", "SetDefaultPrinterA", "EnumPrintersA", "EnumMonitorsA",
            "EnumPrintProcessorsA"}))
        return plat::kErrorRpcServerUnavailable;
    // Registry, files, services, tokens: refused.
    return plat::kErrorAccessDenied;
}

// Calls of each kind made between two snapshots of the call counts.
inline std::vector<FaultPoint> CallsBetween(const std::vector<std::pair<std::string, int>>& before,
                                            const std::vector<std::pair<std::string, int>>& after) {
    std::vector<FaultPoint> points;
    for (const auto& a : after) {
        int earlier = 0;
        for (const auto& b : before)
            if (b.first == a.first) earlier = b.second;
        for (int k = 0; k < a.second - earlier; ++k) points.push_back({a.first, k});
    }
    return points;
}

// One run of the action, as the user and the machine end up.
struct SweepRun {
    enum Verdict { Succeeded, FailedWithText, Silent } verdict = Silent;
    std::string said;                         // what the user was told, shortened
    std::vector<std::string> inventory;
    bool spoolerRunning = false;
    std::vector<FaultPoint> calls;            // the calls the action made
    bool faultFired = true;
    std::uint64_t virtualMs = 0;              // how long the action took on the machine's clock

    // A run that did not get as far as the action.
    static SweepRun notReached(const std::string& why) {
        SweepRun r;
        r.said = why;
        return r;
    }
};

// Arms `fault` (when given) just before the action, runs it, and records what it called
// and what the machine holds afterwards; the verdict is the caller's to give.
template <class Action>
SweepRun RunWithFault(sim::SimMachine& m, const FaultPoint* fault, Action action) {
    const auto before = m.faults.callsByKind();
    const int madeBefore = fault ? m.faults.timesCalled(fault->api) : 0;
    const std::uint64_t startMs = m.state.nowMs;
    if (fault) m.faults.failCall(fault->api, RealisticError(fault->api), 1, fault->occurrence);
    action();
    SweepRun r;
    r.calls = CallsBetween(before, m.faults.callsByKind());
    r.faultFired = !fault || m.faults.timesCalled(fault->api) - madeBefore > fault->occurrence;
    r.virtualMs = m.state.nowMs - startMs;
    r.inventory = MachineInventory(m);
    r.spoolerRunning = m.services.currentState("Spooler") == plat::kServiceRunning;
    return r;
}

// Marks a run as hung (the sim's clock is virtual: a product loop that never ends spins
// without a bound) and ends the process with the fault named rather than leaving CI waiting.
class HangGuard {
public:
    explicit HangGuard(int seconds) : limit_(seconds), thread_([this] { watch(); }) {}
    ~HangGuard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void start(const std::string& label) {
        std::lock_guard<std::mutex> lock(mutex_);
        label_ = label;
        ++run_;
    }

private:
    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            const unsigned long long run = run_;
            if (wake_.wait_for(lock, std::chrono::seconds(limit_), [&] { return done_ || run_ != run; })) continue;
            std::fprintf(stderr, "HANG: the run with %s did not end within %d s\n", label_.c_str(), limit_);
            std::fflush(stderr);
            std::_Exit(3);
        }
    }
    int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    unsigned long long run_ = 0;
    std::string label_;
    std::thread thread_;
};

struct SweepTally {
    int injected = 0, failedWithText = 0, succeededIdentical = 0, unreportable = 0, violations = 0;
    double seconds = 0;
    std::string summary(const std::string& label) const {
        char time[32];
        std::snprintf(time, sizeof time, " (%.1f s)", seconds);
        return label + ": " + std::to_string(injected) + " faults injected, " + std::to_string(failedWithText) +
               " failed with a text, " + std::to_string(succeededIdentical) + " succeeded with the same machine, " +
               std::to_string(unreportable) + " unreportable (the message box itself failed), " +
               std::to_string(violations) + " violations" + time;
    }
};

// Runs the action fault-free, then once per call it made with that call failing. `run`
// builds a fresh machine, arms the fault (when given) just before the action and reports.
// Every violation is printed as one line.
inline SweepTally SweepEveryCall(const std::string& label, const std::function<SweepRun(const FaultPoint*)>& run) {
    SweepTally tally;
    const auto start = std::chrono::steady_clock::now();
    HangGuard guard(120);
    guard.start(label + ", fault-free");
    const SweepRun clean = run(nullptr);
    if (clean.verdict != SweepRun::Succeeded || !clean.spoolerRunning) {
        std::printf("  %s: the fault-free run did not succeed: %s\n", label.c_str(), clean.said.c_str());
        tally.violations = 1;
        return tally;
    }
    for (const FaultPoint& fault : clean.calls) {
        // A profile read has no failure of its own on Windows: whatever goes wrong, the
        // caller gets the default, exactly as for a key the package does not have. What
        // the programs make of absent keys is tested with packages that lack them.
        if (fault.api == "GetPrivateProfileStringA" || fault.api == "GetPrivateProfileIntA") continue;
        const std::string name = fault.api + " #" + std::to_string(fault.occurrence + 1);
        guard.start(label + ", " + name + " failing");
        const SweepRun r = run(&fault);
        ++tally.injected;
        std::vector<std::string> wrong;
        if (!r.faultFired) wrong.push_back("the call was not made: the action is not repeatable");
        switch (r.verdict) {
            case SweepRun::Succeeded:
                if (r.inventory == clean.inventory)
                    ++tally.succeededIdentical;
                else
                    wrong.push_back("success reported but the machine differs:" + InventoryDiff(clean.inventory, r.inventory, 6));
                break;
            case SweepRun::FailedWithText: ++tally.failedWithText; break;
            case SweepRun::Silent:
                // A message box that cannot be shown cannot tell the user anything either.
                if (fault.api == "MessageBoxA")
                    ++tally.unreportable;
                else
                    wrong.push_back("ended without success and without a word: " + r.said);
                break;
        }
        if (r.virtualMs > clean.virtualMs + 10 * 60 * 1000)
            wrong.push_back("took " + std::to_string(r.virtualMs / 1000) + " s of machine time");
        if (!r.spoolerRunning)
            wrong.push_back(std::string("spooler left stopped after ") +
                            (r.verdict == SweepRun::Succeeded ? "success" : "\"" + r.said + "\""));
        if (!wrong.empty()) ++tally.violations;
        for (const auto& w : wrong) std::printf("  VIOLATION %s, %s failing: %s\n", label.c_str(), name.c_str(), w.c_str());
    }
    tally.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("  %s\n", tally.summary(label).c_str());
    return tally;
}

}  // namespace testing_support
