// Time: every wait of the programs goes through here, so the simulated machine can
// advance a virtual clock instead of sleeping.
#pragma once
#include <cstdint>

namespace plat {

// GetLocalTime's SYSTEMTIME, without the day of the week.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class ClockApi {
public:
    virtual ~ClockApi() = default;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    virtual std::uint32_t GetTickCount() = 0;
    virtual LocalTime GetLocalTime() = 0;
};

}  // namespace plat
