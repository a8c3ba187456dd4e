// Makes chosen calls of the simulated machine fail with a chosen Windows error, so every
// failure path of the core can be reached in a test.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class SimFaults {
public:
    // The call named `api` (e.g. "RegOpenKeyExA") fails with `error`: after `skip`
    // successful calls of that kind, `times` times (-1: every time from then on).
    void failCall(const std::string& api, std::uint32_t error, int times = -1, int skip = 0);
    // The n-th call (1-based, counted over every kind from now on) fails with `error`.
    void failNthCall(std::uint64_t n, std::uint32_t error);
    void clear();

    // Called at the start of every simulated call: 0, or the error the call must fail with.
    std::uint32_t check(const char* api);

    std::uint64_t callCount() const { return calls_; }
    // How many times the named call has been made (counted even when it was failed).
    int timesCalled(const std::string& api) const;
    const std::vector<std::pair<std::string, int>>& callsByKind() const { return counts_; }

private:
    struct Rule {
        std::string api;
        std::uint32_t error;
        int times;
        int skip;
    };
    struct NthRule {
        std::uint64_t n;
        std::uint32_t error;
    };
    std::vector<Rule> rules_;
    std::vector<NthRule> nthRules_;
    std::vector<std::pair<std::string, int>> counts_;
    std::uint64_t calls_ = 0;
};

}  // namespace sim
