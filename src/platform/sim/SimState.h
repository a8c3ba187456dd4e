// What every part of the simulated machine shares: the fault plan, the thread's last
// error and the virtual clock.
#pragma once
#include <cstdint>

#include "platform/sim/SimFaults.h"

namespace sim {

struct SimState {
    SimFaults faults;
    std::uint32_t lastError = 0;
    std::uint64_t nowMs = 0;

    // Runs the fault check of a call; on an injected fault records it as the last error.
    std::uint32_t enter(const char* api) {
        std::uint32_t e = faults.check(api);
        if (e) lastError = e;
        return e;
    }
    bool fail(std::uint32_t error) {
        lastError = error;
        return false;
    }
};

}  // namespace sim
