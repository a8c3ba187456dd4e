#include "config/Wow64.h"

#include <cstdio>

namespace cfg {

bool IsWow64(plat::Platform& p) {
    std::string systemDir;
    plat::ModuleHandle kernel32 = 0;
    const std::uint32_t n = p.process.GetSystemDirectory(261, &systemDir);
    if (n > 0 && n < 261) {
        char path[261];
        const int written = std::snprintf(path, sizeof path, "%s\\kernel32.dll", systemDir.c_str());
        if (written > 0 && written < static_cast<int>(sizeof path)) kernel32 = p.process.LoadLibrary(path);
    }
    if (!kernel32) kernel32 = p.process.LoadLibrary("kernel32.dll");
    if (!kernel32) return false;
    bool wow64 = false;
    if (plat::ProcAddress fn = p.process.GetProcAddress(kernel32, "IsWow64Process")) {
        if (!p.system.CallIsWow64Process(fn, &wow64)) {
            p.process.FreeLibrary(kernel32);
            return false;
        }
    }
    p.process.FreeLibrary(kernel32);
    return wow64;
}

}  // namespace cfg
