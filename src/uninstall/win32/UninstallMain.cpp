// uninstall.exe: the Win32 host of the uninstaller. The dialogs' logic lives in the
// portable classes; this file only creates the windows from their templates, applies what
// the logic decides (font, icon, menu entry, list-view styles) and forwards messages.
#include "platform/win32/WindowsHeaders.h"

#include <commctrl.h>

#include "config/ChineseUiFont.h"
#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32DialogView.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32Platform.h"
#include "uninstall/RemovalWorker.h"
#include "uninstall/RestartPrompt.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallProgram.h"
#include "uninstall/UninstallStartup.h"
#include "uninstall/win32/resource.h"

// The templates are laid out with resource.h's numbers and the logic reaches the controls
// with UninstallControls.h's: they must be the same.
static_assert(IDD_UNINSTALL == uninstall::kUninstallDialogTemplate &&
                  IDD_UNINSTALL_ABOUT == uninstall::kAboutDialogTemplate &&
                  IDI_UNINSTALL == uninstall::kApplicationIcon && IDD_RESTART == uninstall::kRestartDialogTemplate &&
                  IDI_RESTART == uninstall::kRestartIcon,
              "uninstall templates");
static_assert(IDC_NOTE_TEXT == uninstall::kNoteText && IDC_COMPONENT_LIST == uninstall::kComponentList &&
                  IDC_USB_REMOVAL == uninstall::kUsbRemovalCheck && IDC_NOTE_LIST == uninstall::kNoteList &&
                  IDC_UNINSTALL == uninstall::kUninstallButton && IDC_SELECT == uninstall::kSelectButton &&
                  IDCANCEL == uninstall::kExitButton,
              "uninstall main dialog");
static_assert(IDC_ABOUT_VERSION == uninstall::kAboutVersion && IDC_ABOUT_COPYRIGHT == uninstall::kAboutCopyright &&
                  IDOK == uninstall::kAboutOk,
              "uninstall about box");
static_assert(IDC_RESTART_NOTE1 == uninstall::kRestartNote1 && IDC_RESTART_NOTE2 == uninstall::kRestartNote2 &&
                  IDC_RESTART_NOTE3 == uninstall::kRestartNote3 && IDOK == uninstall::kRestartYes &&
                  IDCANCEL == uninstall::kRestartNo,
              "uninstall restart question");

namespace {

using namespace uninstall;

// The platform of this run (the program's own with the run's log and window rules).
plat::Platform* gRun = nullptr;
UninstallState gState;
int gUseChineseFont = 0;
HFONT gChineseFont = nullptr;


struct RestartHost {
    RestartDialog logic;
    plat::Win32DialogView* view = nullptr;
};

INT_PTR CALLBACK restartProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = plat::DialogHostOf<RestartHost>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG: {
            host->view = new plat::Win32DialogView(reinterpret_cast<plat::WindowHandle>(dialog));
            host->logic.OnInitDialog(*host->view);
            if (host->logic.useChineseFont() && gChineseFont) plat::ApplyFont(dialog, gChineseFont);
            return TRUE;
        }
        case WM_COMMAND:
            if (host && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
                host->logic.OnCommand(*host->view, LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            if (host) delete host->view;
            return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return plat::AboutBoxMessage(dialog, message, wParam, cfg::kChineseUiFont, [](plat::Win32DialogView& view) {
        UninstallAboutDialog about(*gRun, view);
        about.useChineseFont = gUseChineseFont != 0;
        about.OnInitDialog();
        return about.useChineseFont;
    });
}

struct MainHost {
    plat::Win32DialogView* view = nullptr;
    UninstallDialog* logic = nullptr;
    HICON icon = nullptr;
    // The removal's thread, from its start until the dialog has been told that it ended.
    HANDLE worker = nullptr;
};
MainHost gMain;

// Posted by the worker to the main dialog once the removal has returned.
constexpr UINT kRemovalFinished = WM_APP + 1;

// Puts the removal on its own thread; the dialog hears of its end through kRemovalFinished.
void startWorker(HWND dialog, std::function<void()> job) {
    HANDLE thread = plat::StartThread([dialog, job = std::move(job)] {
        job();
        // The dialog refuses to close until it has this message, so it is still there to
        // take it; a full queue is waited out rather than leaving the dialog unable to close.
        while (!::PostMessageA(dialog, kRemovalFinished, 0, 0) && ::IsWindow(dialog)) ::Sleep(100);
    });
    if (!thread) {
        gMain.logic->OnRemovalFinished();
        return;
    }
    gMain.worker = thread;
}

void removalFinished() {
    if (gMain.worker) {
        // Posting the message was the thread's last act: the wait is short, and the thread
        // sends nothing more to this one that could hold it up.
        ::WaitForSingleObject(gMain.worker, INFINITE);
        ::CloseHandle(gMain.worker);
        gMain.worker = nullptr;
    }
    if (gMain.logic) gMain.logic->OnRemovalFinished();
}

INT_PTR closeRequest(UninstallDialog::CloseRoute route) {
    return gMain.logic && gMain.logic->OnCloseRequest(route) ? TRUE : FALSE;
}

INT_PTR CALLBACK mainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    plat::Platform& p = *gRun;
    switch (message) {
        case WM_INITDIALOG: {
            gMain.view = new plat::Win32DialogView(reinterpret_cast<plat::WindowHandle>(dialog));
            gMain.logic = new UninstallDialog(p, gState, *gMain.view);
            gMain.logic->useChineseFont = gUseChineseFont;
            gMain.icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kApplicationIcon));
            ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(gMain.icon));
            ::SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(gMain.icon));
            HWND list = ::GetDlgItem(dialog, kComponentList);
            ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                           ::SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) | LVS_EX_GRIDLINES |
                               LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT | LVS_EX_FULLROWSELECT);
            gMain.logic->askRestart = [dialog] {
                RestartHost host{RestartDialog(*gRun)};
                return static_cast<int>(::DialogBoxParamA(::GetModuleHandleA(nullptr),
                                                          MAKEINTRESOURCEA(kRestartDialogTemplate), dialog,
                                                          restartProc, reinterpret_cast<LPARAM>(&host)));
            };
            gMain.logic->startWorker = [dialog](std::function<void()> job) { startWorker(dialog, std::move(job)); };
            const UninstallDialog::InitOutcome outcome = gMain.logic->OnInitDialog(reinterpret_cast<plat::WindowHandle>(dialog));
            if (gMain.logic->applyChineseFont()) {
                if (gChineseFont) ::DeleteObject(gChineseFont);
                gChineseFont = plat::MakeFont(cfg::kChineseUiFont);
                plat::ApplyFont(dialog, gChineseFont);
            }
            if (HMENU menu = ::GetSystemMenu(dialog, FALSE)) {
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                ::AppendMenuA(menu, MF_STRING, kAboutCommand, gMain.logic->aboutMenuText().c_str());
            }
            (void)outcome;
            return TRUE;
        }
        case WM_SYSCOMMAND: {
            const unsigned command = static_cast<unsigned>(wParam & 0xFFF0);
            if (UninstallDialog::IsAboutCommand(command)) {
                ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutDialogTemplate), dialog, aboutProc, 0);
                return TRUE;
            }
            if (command == SC_CLOSE) return closeRequest(UninstallDialog::CloseRoute::SystemClose);
            return FALSE;
        }
        case WM_CLOSE:
            return closeRequest(UninstallDialog::CloseRoute::CloseMessage);
        case kRemovalFinished:
            removalFinished();
            return TRUE;
        case WM_HELP:
            gMain.logic->OnHelp();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kUninstallButton: gMain.logic->OnUninstall(); return TRUE;
                case kSelectButton: gMain.logic->OnSelect(); return TRUE;
                case IDCANCEL: closeRequest(UninstallDialog::CloseRoute::Cancel); return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            // Only reached once no removal runs (every close is refused until then), so no
            // worker is left to wait for and none can touch what goes here.
            delete gMain.logic;
            gMain.logic = nullptr;
            delete gMain.view;
            gMain.view = nullptr;
            return FALSE;
    }
    return FALSE;
}

// The dialog in its real window.
class Win32Host : public UninstallHost {
public:
    explicit Win32Host(HINSTANCE instance) : instance_(instance) {}
    void Run(plat::Platform& p, UninstallState&, int useChineseFont) override {
        gRun = &p;
        gUseChineseFont = useChineseFont;
        ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(kUninstallDialogTemplate), nullptr, mainProc, 0);
        if (gChineseFont) ::DeleteObject(gChineseFont);
        gChineseFont = nullptr;
    }

private:
    HINSTANCE instance_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    plat::Win32Platform platform;
    Win32Host host(instance);
    // /quiet shows no window at all: the dialog's logic runs on memory instead.
    return RunUninstall(platform.platform(), ::GetCommandLineA(), gState, host);
}
