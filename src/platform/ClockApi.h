// Time: every wait of the programs goes through here, so the simulated machine can
// advance a virtual clock instead of sleeping.
#pragma once
#include <cstdint>

namespace plat {

class ClockApi {
public:
    virtual ~ClockApi() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t GetTickCount() = 0;
};

}  // namespace plat
