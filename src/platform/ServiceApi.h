// The service control manager.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

class ServiceApi {
public:
    virtual ~ServiceApi() = default;
    virtual ScHandle OpenSCManager(const char* machine, const char* database,
                                   std::uint32_t access) = 0;
    virtual ScHandle OpenService(ScHandle manager, const std::string& name,
                                 std::uint32_t access) = 0;
    virtual bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus* status) = 0;
    virtual bool StartService(ScHandle service) = 0;
    virtual bool QueryServiceStatus(ScHandle service, ServiceStatus* status) = 0;
    virtual bool CloseServiceHandle(ScHandle handle) = 0;
};

}  // namespace plat
