// Profile reading on the simulated disk.
#pragma once
#include "platform/ProfileApi.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimProfile : public plat::ProfileApi {
public:
    SimProfile(SimState& state, SimFileSystem& files, SimProcess& process)
        : state_(state), files_(files), process_(process) {}

    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, std::uint32_t size,
                                        const std::string& file) override;

private:
    SimState& state_;
    SimFileSystem& files_;
    SimProcess& process_;
};

}  // namespace sim
