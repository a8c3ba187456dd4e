#include "config/SpoolerService.h"

#include <cstdio>

namespace cfg {

namespace {
const char kSpooler[] = "Spooler";
}

void StopSpooler(plat::Platform& p) {
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) return;
    if (plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStop)) {
        plat::ServiceStatus status;
        p.services.ControlService(service, plat::kServiceControlStop, &status);
        p.services.CloseServiceHandle(service);
    }
    p.clock.Sleep(100);
    p.services.CloseServiceHandle(manager);
}

void StartSpooler(plat::Platform& p, MessageBuffer& messages) {
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) return;
    plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStart);
    if (!service) {
        p.services.CloseServiceHandle(manager);
        return;
    }
    if (!p.services.StartService(service)) {
        std::uint32_t error = p.process.GetLastError();
        if (error != plat::kErrorServiceAlreadyRunning) {
            char text[64];
            std::snprintf(text, sizeof text, "Start spool service error, error code = %u", static_cast<unsigned>(error));
            messages.set(text);
        }
    }
    p.services.CloseServiceHandle(service);
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

void RestartSpooler(plat::Platform& p) {
    plat::ScHandle manager = p.services.OpenSCManager(nullptr, nullptr, plat::kScManagerAllAccess);
    if (!manager) return;
    if (plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStop)) {
        plat::ServiceStatus status;
        p.services.ControlService(service, plat::kServiceControlStop, &status);
        p.services.CloseServiceHandle(service);
    }
    p.clock.Sleep(2000);
    if (plat::ScHandle service = p.services.OpenService(manager, kSpooler, plat::kServiceStart)) {
        p.services.StartService(service);
        p.services.CloseServiceHandle(service);
    }
    p.services.CloseServiceHandle(manager);
}

}  // namespace cfg
