// uninstall.exe: the Win32 host of the uninstaller. The dialogs' logic lives in the
// portable classes; this file only creates the windows from their templates, applies what
// the logic decides (font, icon, menu entry, list-view styles) and forwards messages.
#include "platform/win32/WindowsHeaders.h"

#include <commctrl.h>

#include "platform/win32/Win32DialogView.h"
#include "platform/win32/Win32Fonts.h"
#include "platform/win32/Win32Platform.h"
#include "uninstall/RemovalWorker.h"
#include "uninstall/RestartPrompt.h"
#include "uninstall/UninstallControls.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallStartup.h"

namespace {

using namespace uninstall;

plat::Win32Platform* gPlatform = nullptr;
UninstallState gState;
int gUseChineseFont = 0;
HFONT gChineseFont = nullptr;


struct RestartHost {
    RestartDialog logic;
    plat::Win32DialogView* view = nullptr;
};

INT_PTR CALLBACK restartProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<RestartHost*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            host = reinterpret_cast<RestartHost*>(lParam);
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
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

struct AboutHost {
    UninstallAboutDialog* logic = nullptr;
    plat::Win32DialogView* view = nullptr;
    HFONT font = nullptr;
};

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            plat::Win32DialogView view(reinterpret_cast<plat::WindowHandle>(dialog));
            UninstallAboutDialog about(gPlatform->platform(), view);
            about.useChineseFont = gUseChineseFont != 0;
            about.OnInitDialog();
            if (about.useChineseFont) plat::GiveOwnChineseFont(dialog);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            plat::ReleaseOwnFont(dialog);
            return FALSE;
    }
    return FALSE;
}

struct MainHost {
    plat::Win32DialogView* view = nullptr;
    UninstallDialog* logic = nullptr;
    HICON icon = nullptr;
};
MainHost gMain;

DWORD WINAPI workerThread(LPVOID parameter) {
    auto* job = static_cast<std::function<void()>*>(parameter);
    (*job)();
    delete job;
    return 0;
}

INT_PTR CALLBACK mainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    plat::Platform& p = gPlatform->platform();
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
            gMain.logic->onUninstall = [dialog, &p] {
                RunUninstallCommand(
                    p, gState, *gMain.view, gMain.logic->currentItemName,
                    [dialog] {
                        RestartHost host{RestartDialog(gPlatform->platform())};
                        return static_cast<int>(::DialogBoxParamA(::GetModuleHandleA(nullptr),
                                                                  MAKEINTRESOURCEA(RestartDialog::kTemplate), dialog,
                                                                  restartProc, reinterpret_cast<LPARAM>(&host)));
                    },
                    [](std::function<void()> job) {
                        auto* copy = new std::function<void()>(std::move(job));
                        HANDLE thread = ::CreateThread(nullptr, 0, workerThread, copy, 0, nullptr);
                        if (thread) ::CloseHandle(thread);
                        else delete copy;
                    });
            };
            const UninstallDialog::InitOutcome outcome = gMain.logic->OnInitDialog(reinterpret_cast<plat::WindowHandle>(dialog));
            if (gMain.logic->applyChineseFont()) {
                if (gChineseFont) ::DeleteObject(gChineseFont);
                gChineseFont = plat::MakeChineseFont();
                plat::ApplyFont(dialog, gChineseFont);
            }
            if (HMENU menu = ::GetSystemMenu(dialog, FALSE)) {
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                ::AppendMenuA(menu, MF_STRING, kAboutCommand, gMain.logic->aboutMenuText().c_str());
            }
            (void)outcome;
            return TRUE;
        }
        case WM_SYSCOMMAND:
            if (UninstallDialog::IsAboutCommand(static_cast<unsigned>(wParam & 0xFFF0))) {
                ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutDialogTemplate), dialog, aboutProc, 0);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            gMain.logic->OnHelp();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kUninstallButton: gMain.logic->OnUninstall(); return TRUE;
                case kSelectButton: gMain.logic->OnSelect(); return TRUE;
                case IDCANCEL: gMain.logic->OnExit(); return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            delete gMain.logic;
            gMain.logic = nullptr;
            delete gMain.view;
            gMain.view = nullptr;
            return FALSE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    plat::Win32Platform platform;
    gPlatform = &platform;
    const UninstallStartupDecision decision = RunUninstallStartup(platform.platform());
    if (decision.outcome != UninstallStartupDecision::ShowDialog) return 0;
    gUseChineseFont = decision.useChineseFont;
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(kUninstallDialogTemplate), nullptr, mainProc, 0);
    if (gChineseFont) ::DeleteObject(gChineseFont);
    return 0;
}
