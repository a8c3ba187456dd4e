#include "config/SpoolerService.h"

#include <cstdio>

namespace cfg {

namespace {
const char kSpooler[] = "Spooler";

// Polls the service until it reports STOPPED or the limit has passed; answers the last
// state seen (0 when it could not be read at all).
std::uint32_t waitStopped(plat::Platform& p, plat::ScHandle manager) {
    std::uint32_t state = 0;
    plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceQueryStatus);
    if (!service) return state;
    for (std::uint32_t waited = 0;; waited += kSpoolerPollMs) {
        plat::ServiceStatus status;
        if (p.services.QueryServiceStatus(service, &status)) state = status.currentState;
        if (state == plat::kServiceStopped || waited >= kSpoolerStopLimitMs) break;
        p.clock.Sleep(kSpoolerPollMs);
    }
    p.services.CloseServiceHandle(service);
    return state;
}

bool stop(plat::Platform& p, plat::ScHandle manager) {
    if (plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStop)) {
        plat::ServiceStatus status;
        p.services.ControlService(service, plat::kServiceControlStop, &status);
        p.services.CloseServiceHandle(service);
    }
    return waitStopped(p, manager) == plat::kServiceStopped;
}

// StartServiceA; a spooler still stopping answers "already running", so the stop is
// awaited and the start tried once more. Answers the error of the last attempt (0: started);
// `opened` tells whether the service could be opened at all.
std::uint32_t start(plat::Platform& p, plat::ScHandle manager, bool* opened = nullptr) {
    plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStart);
    if (opened) *opened = service != 0;
    if (!service) return p.process.GetLastError() ? p.process.GetLastError() : plat::kErrorServiceDoesNotExist;
    std::uint32_t error = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (p.services.StartService(service)) {
            error = 0;
            break;
        }
        error = p.process.GetLastError();
        if (error != plat::kErrorServiceAlreadyRunning || attempt == 1) break;
        if (waitStopped(p, manager) != plat::kServiceStopped) break;  // really running, or hung
    }
    p.services.CloseServiceHandle(service);
    return error;
}
}  // namespace

bool StopSpooler(plat::Platform& p) {
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) return false;
    // A stop that was refused or not seen to end is sent once more: replacing a DLL the
    // spooler still holds would only leave it beside the old one under its "n" name.
    const bool stopped = stop(p, manager) || stop(p, manager);
    p.clock.Sleep(100);
    p.services.CloseServiceHandle(manager);
    return stopped;
}

void StartSpooler(plat::Platform& p, MessageBuffer& messages) {
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) return;
    bool opened = false;
    const std::uint32_t error = start(p, manager, &opened);
    if (opened && error != 0 && error != plat::kErrorServiceAlreadyRunning) {
        char text[64];
        std::snprintf(text, sizeof text, "Start spool service error, error code = %u", static_cast<unsigned>(error));
        messages.set(text);
    }
    p.services.CloseServiceHandle(manager);
}

std::uint32_t WaitSpoolerRunning(plat::Platform& p, MessageBuffer& messages) {
    std::uint32_t state = plat::kServiceStopped;
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    plat::ScHandle service = manager ? p.services.OpenService(manager, kSpooler, plat::kServiceQueryStatus) : 0;
    if (service) {
        for (int i = 0; i < 10; ++i) {
            plat::ServiceStatus status;
            if (p.services.QueryServiceStatus(service, &status)) state = status.currentState;
            if (state == plat::kServiceRunning) break;
            p.clock.Sleep(300);
        }
        p.services.CloseServiceHandle(service);
    }
    if (manager) p.services.CloseServiceHandle(manager);
    if (state != plat::kServiceRunning) messages.set("StartSpoolService error");
    return state;
}

bool RestartSpooler(plat::Platform& p) {
    // Only a start that succeeded proves the restart: StartService succeeds on a stopped
    // service alone, while "already running" means the old spooler never went away.
    std::uint32_t error = plat::kErrorServiceNotActive;
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (manager) {
        stop(p, manager);
        p.clock.Sleep(2000);
        error = start(p, manager);
        p.services.CloseServiceHandle(manager);
    }
    // One more start: a start refused once (a slow service manager) often goes through.
    if (error != 0 && (manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess)) != 0) {
        if (error == plat::kErrorServiceAlreadyRunning) stop(p, manager);
        error = start(p, manager);
        p.services.CloseServiceHandle(manager);
    }
    MessageBuffer ignored;
    return WaitSpoolerRunning(p, ignored) == plat::kServiceRunning && error == 0;
}

}  // namespace cfg
