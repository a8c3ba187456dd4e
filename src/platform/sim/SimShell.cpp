#include "platform/sim/SimShell.h"

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimText.h"

namespace sim {

void SimShell::defineProgram(const std::string& path, SimProgram program) {
    programs_[lowerAscii(SimFileSystem::fullPath(path, process_.currentDir))] = std::move(program);
}

std::uintptr_t SimShell::ShellExecute(plat::WindowHandle, const std::string& verb, const std::string& file,
                                      const std::optional<std::string>& parameters,
                                      const std::optional<std::string>&, std::uint32_t) {
    if (auto e = state_.enter("ShellExecuteA")) return e < 32 ? e : 0;
    starts_.push_back({verb, file, parameters.value_or("")});
    auto it = programs_.find(lowerAscii(SimFileSystem::fullPath(file, process_.currentDir)));
    if (it == programs_.end()) {
        state_.lastError = plat::kErrorFileNotFound;
        return plat::kErrorFileNotFound;  // SE_ERR_FNF
    }
    if (it->second.effect) it->second.effect(parameters.value_or(""));
    if (!it->second.windowTitle.empty())
        windows_.addWindow(it->second.windowTitle, false, state_.nowMs + it->second.runsForMs);
    return 42;
}

}  // namespace sim
