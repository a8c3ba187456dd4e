// The service control manager of the simulated machine. Services move through the pending
// states on the virtual clock: a stop takes `stopDelayMs` in state 3, a start takes
// `startDelayMs` in state 2.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/ServiceApi.h"
#include "platform/sim/SimState.h"

namespace sim {

struct SimService {
    std::uint32_t state = plat::kServiceRunning;
    std::uint32_t startDelayMs = 0;
    std::uint32_t stopDelayMs = 0;
    std::uint32_t refuseStart = 0;  // error StartService fails with, 0 for none
    std::uint32_t refuseStop = 0;   // error ControlService(stop) fails with
    bool hangsStarting = false;     // stays in start-pending forever
    std::uint64_t pendingUntil = 0;
    int startCount = 0;
    int stopCount = 0;
};

class SimServices : public plat::ServiceApi {
public:
    explicit SimServices(SimState& state) : state_(state) {}

    SimService& service(const std::string& name);  // created running if absent
    void removeService(const std::string& name);
    bool hasService(const std::string& name) const;
    std::uint32_t currentState(const std::string& name);
    std::size_t openHandleCount() const { return handles_.size(); }
    // Told the moment a service reaches the running state after a start.
    std::function<void(const std::string& lowerName)> started;

    plat::ScHandle OpenSCManager(const char* machine, const char* database,
                                 std::uint32_t access) override;
    plat::ScHandle OpenService(plat::ScHandle manager, const std::string& name,
                               std::uint32_t access) override;
    bool ControlService(plat::ScHandle service, std::uint32_t control,
                        plat::ServiceStatus* status) override;
    bool StartService(plat::ScHandle service) override;
    bool QueryServiceStatus(plat::ScHandle service, plat::ServiceStatus* status) override;
    bool CloseServiceHandle(plat::ScHandle handle) override;

private:
    struct OpenHandle {
        bool manager;
        std::string service;  // lower-case name
        std::uint32_t access;
    };
    void advance(SimService& s, const std::string& lowerName);
    SimService* serviceFor(plat::ScHandle h, std::uint32_t needAccess);

    SimState& state_;
    std::map<std::string, SimService> services_;
    std::map<plat::ScHandle, OpenHandle> handles_;
    plat::ScHandle next_ = 0x5000;
};

}  // namespace sim
