// The yardstick for setup's start-up time: the least a dialog program does before its
// window shows, one modal dialog from a resource template with one button, built and
// started the way setup is.
#include <windows.h>

#include "MinimalDialog.h"

namespace {

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(kMinimalDialog), nullptr, dialogProc, 0));
}
