#include "config/SpoolerEnvironment.h"

namespace cfg {

const char* SpoolerEnvironmentName(OsClass os, bool is64BitWindows) {
    if (os == kOsWin9x) return "Windows 4.0";
    return is64BitWindows ? "Windows x64" : "Windows NT x86";
}

plat::OptText SpoolerEnvironment(OsClass os, bool is64BitWindows) {
    if (os == kOsWin9x || is64BitWindows) return std::string(SpoolerEnvironmentName(os, is64BitWindows));
    return std::nullopt;
}

}  // namespace cfg
