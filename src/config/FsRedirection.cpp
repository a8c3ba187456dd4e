#include "config/FsRedirection.h"

#include "config/MessageBoxes.h"

namespace cfg {

void WithFsRedirectionDisabled(plat::Platform& p, Program program, bool is64BitWindows,
                               const std::function<void()>& operation) {
    if (!is64BitWindows) {
        operation();
        return;
    }
    plat::ModuleHandle kernel32 = p.process.LoadLibrary("Kernel32.dll");
    if (!kernel32) {
        // Without the library there is nothing to look up; the operation is still tried.
        ShowAppMessage(p, program, "Can't Load Kernel32.dll", plat::kMbOk);
        operation();
        return;
    }
    void* oldValue = nullptr;
    bool disabled = false;
    plat::ProcAddress disable = p.process.GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection");
    if (!disable)
        ShowAppMessage(p, program, "Can't Get Function Wow64DisableWow64FsRedirection Address", plat::kMbOk);
    else
        disabled = p.system.CallWow64DisableWow64FsRedirection(disable, &oldValue);

    operation();

    plat::ProcAddress revert = p.process.GetProcAddress(kernel32, "Wow64RevertWow64FsRedirection");
    if (!revert)
        ShowAppMessage(p, program, "Can't Get Function Wow64RevertWow64FsRedirection Address", plat::kMbOk);
    else if (disabled)  // reverting with a value the disable call never gave is meaningless
        p.system.CallWow64RevertWow64FsRedirection(revert, oldValue);
    p.process.FreeLibrary(kernel32);
}

bool WithFsRedirectionDisabledSilently(plat::Platform& p, bool is64BitWindows,
                                       const std::function<void()>& operation) {
    if (!is64BitWindows) {
        operation();
        return true;
    }
    plat::ModuleHandle kernel32 = p.process.LoadLibrary("Kernel32.dll");
    if (!kernel32) return false;
    bool ran = false;
    void* oldValue = nullptr;
    plat::ProcAddress disable = p.process.GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection");
    if (disable && p.system.CallWow64DisableWow64FsRedirection(disable, &oldValue)) {
        operation();
        ran = true;
        if (plat::ProcAddress revert = p.process.GetProcAddress(kernel32, "Wow64RevertWow64FsRedirection"))
            p.system.CallWow64RevertWow64FsRedirection(revert, oldValue);
    }
    p.process.FreeLibrary(kernel32);
    return ran;
}

}  // namespace cfg
