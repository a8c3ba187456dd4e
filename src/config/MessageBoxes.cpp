#include "config/MessageBoxes.h"

namespace cfg {

std::string ApplicationName(plat::Platform& p) {
    std::string path;
    p.process.GetModuleFileName(260, &path);
    auto slash = path.find_last_of("\\/");
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0) base.erase(dot);
    return base;
}

int ShowAppMessage(plat::Platform& p, Program, const std::string& text, std::uint32_t type) {
    if ((type & plat::kMbIconMask) == 0) type |= plat::kMbIconExclamation;
    return p.windows.MessageBox(p.windows.GetActiveWindow(), text, ApplicationName(p), type);
}

int ShowWindowMessage(plat::Platform& p, plat::WindowHandle owner, const std::string& text, std::uint32_t type) {
    return p.windows.MessageBox(owner, text, ApplicationName(p), type);
}

}  // namespace cfg
