// Starting another program (the USB driver installer, the help viewer) through the shell.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

enum : std::uint32_t { kSwShowNormal = 1 };

class ShellApi {
public:
    virtual ~ShellApi() = default;
    // ShellExecuteA: a result above 32 means the program was started.
    virtual std::uintptr_t ShellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                                        const std::optional<std::string>& parameters,
                                        const std::optional<std::string>& directory, std::uint32_t show) = 0;
};

}  // namespace plat
