#include "platform/sim/SimFaults.h"

namespace sim {

void SimFaults::failCall(const std::string& api, std::uint32_t error, int times, int skip) {
    rules_.push_back({api, error, times, skip});
}

void SimFaults::failNthCall(std::uint64_t n, std::uint32_t error) {
    nthRules_.push_back({calls_ + n, error});
}

void SimFaults::clear() {
    rules_.clear();
    nthRules_.clear();
}

int SimFaults::timesCalled(const std::string& api) const {
    for (const auto& c : counts_)
        if (c.first == api) return c.second;
    return 0;
}

std::uint32_t SimFaults::check(const char* api) {
    ++calls_;
    bool counted = false;
    for (auto& c : counts_)
        if (c.first == api) {
            ++c.second;
            counted = true;
        }
    if (!counted) counts_.emplace_back(api, 1);

    for (const auto& r : nthRules_)
        if (r.n == calls_) return r.error;
    for (auto& r : rules_) {
        if (r.api != api) continue;
        if (r.skip > 0) {
            --r.skip;
            continue;
        }
        if (r.times == 0) continue;
        if (r.times > 0) --r.times;
        return r.error;
    }
    return 0;
}

}  // namespace sim
