// The question after a removal run whether Windows shall restart now, and the restart.
// The dialog is humble: the Win32 host runs kRestartDialogTemplate modally and forwards its
// initialisation and button presses here; tests drive it through a simulated view.
#pragma once
#include <functional>

#include "config/OsClass.h"
#include "platform/DialogView.h"
#include "platform/Platform.h"
#include "uninstall/UninstallControls.h"

namespace uninstall {

class RestartDialog {
public:
    enum : int {
        kAnswerYes = 1,
        kAnswerNo = 2,
    };

    explicit RestartDialog(plat::Platform& p) : platform_(p) {}

    // Reads the LANGUAGE switch and puts the texts of section "Reboot" on the controls.
    // The host applies the GB2312 dialog font when useChineseFont() is set afterwards.
    void OnInitDialog(plat::DialogView& view);
    // Yes ends the dialog with 1; No (and the close box, which arrives as 2) with 2.
    void OnCommand(plat::DialogView& view, int control);

    int useChineseFont() const { return useChineseFont_; }

private:
    plat::Platform& platform_;
    int useChineseFont_ = 0;
};

// Runs the restart question modally and answers what RestartDialog ended with.
using RestartQuestion = std::function<int()>;

// Asks Windows to reboot. On Windows 9x there is no privilege to take; elsewhere the
// shutdown privilege is enabled first and nothing is asked of Windows when that fails or
// the user does not hold it.
// Answers whether the request was accepted; failures are not reported to the user.
bool RestartWindows(plat::Platform& p, cfg::OsClass os);

}  // namespace uninstall
