#include "uninstall/RestartPrompt.h"

#include "config/LanguageFile.h"
#include "uninstall/UninstallStartup.h"

namespace uninstall {

namespace {
constexpr std::uint32_t kEwxReboot = 2;
}

void RestartDialog::OnInitDialog(plat::DialogView& view) {
    useChineseFont_ = ReadLanguageSwitch(platform_) == 0 ? 1 : 0;
    const cfg::LanguageFile texts(platform_, cfg::Program::Uninstall, "Reboot");
    view.SetText(kRestartNote1, texts.GetText("Note1"));
    view.SetText(kRestartNote2, texts.GetText("Note2"));
    view.SetText(kRestartNote3, texts.GetText("Note3"));
    view.SetText(kRestartYes, texts.GetText("Yes"));
    view.SetText(kRestartNo, texts.GetText("No"));
    view.SetCaption(texts.GetText("Title"));
}

void RestartDialog::OnCommand(plat::DialogView& view, int control) {
    if (control == kRestartYes) view.Close(kAnswerYes);
    if (control == kRestartNo) view.Close(kAnswerNo);
}

bool RestartWindows(plat::Platform& p, cfg::OsClass os) {
    if (os == cfg::kOsWin9x) return p.windows.ExitWindowsEx(kEwxReboot, 0);
    const plat::TokenHandle token = p.security.OpenProcessTokenToAdjust();
    if (!token) return false;
    std::uint64_t luid = 0;
    // Asking Windows to reboot without the privilege would only be refused; a privilege
    // that could not be enabled therefore ends the attempt quietly. AdjustTokenPrivileges
    // succeeds for a privilege the user does not hold and says so only in the last error,
    // which is read before anything else can change it.
    bool enabled = false;
    if (p.security.LookupPrivilegeValue("SeShutdownPrivilege", &luid))
        enabled = p.security.EnablePrivilege(token, luid) && p.process.GetLastError() == 0;
    p.process.CloseHandle(token);
    return enabled && p.windows.ExitWindowsEx(kEwxReboot, 0);
}

}  // namespace uninstall
