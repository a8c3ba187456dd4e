#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

namespace {
SC_HANDLE ToSc(ScHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }

void CopyStatus(const SERVICE_STATUS& from, ServiceStatus* to) {
    to->serviceType = from.dwServiceType;
    to->currentState = from.dwCurrentState;
    to->controlsAccepted = from.dwControlsAccepted;
    to->win32ExitCode = from.dwWin32ExitCode;
    to->checkPoint = from.dwCheckPoint;
    to->waitHint = from.dwWaitHint;
}
}  // namespace

ScHandle Win32ServiceApi::OpenSCManager(const char* machine, const char* database,
                                        std::uint32_t access) {
    return reinterpret_cast<ScHandle>(::OpenSCManagerA(machine, database, access));
}

ScHandle Win32ServiceApi::OpenService(ScHandle manager, const std::string& name,
                                      std::uint32_t access) {
    return reinterpret_cast<ScHandle>(::OpenServiceA(ToSc(manager), name.c_str(), access));
}

bool Win32ServiceApi::ControlService(ScHandle service, std::uint32_t control,
                                     ServiceStatus* status) {
    SERVICE_STATUS raw;
    ZeroMemory(&raw, sizeof raw);
    BOOL ok = ::ControlService(ToSc(service), control, &raw);
    // Windows fills the status for some refusals too (1061), so pass it on either way.
    if (status) CopyStatus(raw, status);
    return ok != FALSE;
}

bool Win32ServiceApi::StartService(ScHandle service) {
    return ::StartServiceA(ToSc(service), 0, nullptr) != FALSE;
}

bool Win32ServiceApi::QueryServiceStatus(ScHandle service, ServiceStatus* status) {
    SERVICE_STATUS raw;
    ZeroMemory(&raw, sizeof raw);
    BOOL ok = ::QueryServiceStatus(ToSc(service), &raw);
    if (ok && status) CopyStatus(raw, status);
    return ok != FALSE;
}

bool Win32ServiceApi::CloseServiceHandle(ScHandle handle) {
    return ::CloseServiceHandle(ToSc(handle)) != FALSE;
}

}  // namespace plat
