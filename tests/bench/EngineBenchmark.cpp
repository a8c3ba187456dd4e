// How much the engine itself costs: a whole installation per port kind on the simulated
// machine, its CPU time (the simulated sleeps cost nothing) and its platform calls by kind.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "EngineMachine.h"

using testing_support::EngineMachine;

int main() {
    const int rounds = 200;
    for (const char* port : {"COM1:", "LPT1:", "USB_KLM-A100_1", "NET"}) {
        std::clock_t cpu = 0;
        std::uint64_t calls = 0;
        std::vector<std::pair<std::string, int>> kinds;
        std::uint64_t virtualMs = 0;
        for (int i = 0; i < rounds; ++i) {
            EngineMachine m(sim::WindowsVersion::Win7, false);
            const std::uint64_t before = m.machine.faults.callCount();
            const std::clock_t start = std::clock();
            EngineMachine::Result r = m.install(m.choices("KLM-A100", cfg::kReceipt, port));
            cpu += std::clock() - start;
            if (r.state != 2) {
                std::printf("%s: installation failed: %s\n", port, r.messages.c_str());
                return 1;
            }
            calls = m.machine.faults.callCount() - before;
            kinds = m.machine.faults.callsByKind();
            virtualMs = m.machine.state.nowMs;
        }
        std::printf("%-16s %.3f ms CPU per installation, %llu platform calls, %llu ms of waits\n", port,
                    1000.0 * static_cast<double>(cpu) / CLOCKS_PER_SEC / rounds, static_cast<unsigned long long>(calls),
                    static_cast<unsigned long long>(virtualMs));
        for (const auto& [api, count] : kinds) std::printf("    %-30s %d\n", api.c_str(), count);
    }
    return 0;
}
