#include "platform/sim/SimServices.h"

#include "platform/sim/SimText.h"

namespace sim {

SimService& SimServices::service(const std::string& name) { return services_[lowerAscii(name)]; }

void SimServices::removeService(const std::string& name) { services_.erase(lowerAscii(name)); }

bool SimServices::hasService(const std::string& name) const {
    return services_.count(lowerAscii(name)) != 0;
}

std::uint32_t SimServices::currentState(const std::string& name) {
    auto it = services_.find(lowerAscii(name));
    if (it == services_.end()) return 0;
    advance(it->second, it->first);
    return it->second.state;
}

void SimServices::advance(SimService& s, const std::string& lowerName) {
    if (state_.nowMs < s.pendingUntil) return;
    if (s.state == plat::kServiceStopPending) s.state = plat::kServiceStopped;
    if (s.state == plat::kServiceStartPending && !s.hangsStarting) {
        s.state = plat::kServiceRunning;
        if (started) started(lowerName);
    }
}

SimService* SimServices::serviceFor(plat::ScHandle h, std::uint32_t needAccess) {
    auto it = handles_.find(h);
    if (it == handles_.end() || it->second.manager) {
        state_.lastError = plat::kErrorInvalidHandle;
        return nullptr;
    }
    if ((it->second.access & needAccess) != needAccess) {
        state_.lastError = plat::kErrorAccessDenied;
        return nullptr;
    }
    auto s = services_.find(it->second.service);
    if (s == services_.end()) {
        state_.lastError = plat::kErrorServiceDoesNotExist;
        return nullptr;
    }
    advance(s->second, s->first);
    return &s->second;
}

plat::ScHandle SimServices::OpenSCManager(const char*, const char*, std::uint32_t access) {
    if (state_.enter("OpenSCManagerA")) return 0;
    plat::ScHandle h = next_++;
    handles_[h] = {true, "", access};
    return h;
}

plat::ScHandle SimServices::OpenService(plat::ScHandle manager, const std::string& name,
                                        std::uint32_t access) {
    if (state_.enter("OpenServiceA")) return 0;
    auto m = handles_.find(manager);
    if (m == handles_.end() || !m->second.manager) {
        state_.lastError = plat::kErrorInvalidHandle;
        return 0;
    }
    if (!hasService(name)) {
        state_.lastError = plat::kErrorServiceDoesNotExist;
        return 0;
    }
    plat::ScHandle h = next_++;
    handles_[h] = {false, lowerAscii(name), access};
    return h;
}

bool SimServices::ControlService(plat::ScHandle h, std::uint32_t control, plat::ServiceStatus* status) {
    if (state_.enter("ControlService")) return false;
    if (control != plat::kServiceControlStop) return state_.fail(plat::kErrorInvalidParameter);
    SimService* s = serviceFor(h, plat::kServiceStop);
    if (!s) return false;
    if (s->refuseStop) return state_.fail(s->refuseStop);
    if (s->state == plat::kServiceStopped) return state_.fail(plat::kErrorServiceNotActive);
    if (s->state != plat::kServiceRunning) return state_.fail(plat::kErrorServiceCannotAcceptCtrl);
    ++s->stopCount;
    s->state = plat::kServiceStopPending;
    s->pendingUntil = state_.nowMs + s->stopDelayMs;
    advance(*s, handles_[h].service);
    if (status) status->currentState = s->state;
    return true;
}

bool SimServices::StartService(plat::ScHandle h) {
    if (state_.enter("StartServiceA")) return false;
    SimService* s = serviceFor(h, plat::kServiceStart);
    if (!s) return false;
    if (s->refuseStart) return state_.fail(s->refuseStart);
    if (s->state != plat::kServiceStopped) return state_.fail(plat::kErrorServiceAlreadyRunning);
    ++s->startCount;
    s->state = plat::kServiceStartPending;
    s->pendingUntil = state_.nowMs + s->startDelayMs;
    advance(*s, handles_[h].service);
    return true;
}

bool SimServices::QueryServiceStatus(plat::ScHandle h, plat::ServiceStatus* status) {
    if (state_.enter("QueryServiceStatus")) return false;
    SimService* s = serviceFor(h, plat::kServiceQueryStatus);
    if (!s) return false;
    *status = plat::ServiceStatus{};
    status->serviceType = 0x110;
    status->currentState = s->state;
    return true;
}

bool SimServices::CloseServiceHandle(plat::ScHandle h) {
    if (state_.enter("CloseServiceHandle")) return false;
    if (!handles_.erase(h)) return state_.fail(plat::kErrorInvalidHandle);
    return true;
}

}  // namespace sim
