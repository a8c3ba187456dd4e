// The two kinds of message box; the caption is always the program's name.
#pragma once
#include <string>

#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

// The program file's base name without its extension ("setup", "uninstall").
std::string ApplicationName(plat::Platform& p);

// Owned by the active window; with no icon asked for, shows the exclamation icon.
int ShowAppMessage(plat::Platform& p, Program program, const std::string& text, std::uint32_t type);
// Owned by the given dialog; shows only the icon asked for.
int ShowWindowMessage(plat::Platform& p, plat::WindowHandle owner, const std::string& text, std::uint32_t type);

}  // namespace cfg
