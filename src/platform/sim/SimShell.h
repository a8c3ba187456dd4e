// Programs the simulated shell can start: each has an effect on the machine and shows a
// window with a title for a while of virtual time (the USB driver installer does).
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ShellApi.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"
#include "platform/sim/SimWindows.h"

namespace sim {

struct SimProgram {
    std::string windowTitle;  // UTF-8; empty for no window
    std::uint32_t runsForMs = 0;
    std::function<void(const std::string& parameters)> effect;
};

struct ShellStart {
    std::string verb, file, parameters;
};

class SimShell : public plat::ShellApi {
public:
    SimShell(SimState& state, SimProcess& process, SimWindows& windows)
        : state_(state), process_(process), windows_(windows) {}

    void defineProgram(const std::string& path, SimProgram program);
    const std::vector<ShellStart>& starts() const { return starts_; }

    std::uintptr_t ShellExecute(plat::WindowHandle owner, const std::string& verb, const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::optional<std::string>& directory, std::uint32_t show) override;

private:
    SimState& state_;
    SimProcess& process_;
    SimWindows& windows_;
    std::map<std::string, SimProgram> programs_;  // by lower-case full path
    std::vector<ShellStart> starts_;
};

}  // namespace sim
