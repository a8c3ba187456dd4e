#include "platform/win32/Win32DialogHost.h"

#include <memory>

#include "platform/win32/Win32Fonts.h"

namespace plat {

namespace {

DWORD WINAPI runJob(LPVOID parameter) {
    std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
    (*job)();
    return 0;
}

}  // namespace

INT_PTR AboutBoxMessage(HWND dialog, UINT message, WPARAM wParam, const FontParameters& font,
                        const std::function<bool(Win32DialogView&)>& init) {
    switch (message) {
        case WM_INITDIALOG: {
            Win32DialogView view(reinterpret_cast<WindowHandle>(dialog));
            if (init(view)) GiveOwnFont(dialog, font);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            ReleaseOwnFont(dialog);
            return FALSE;
    }
    return FALSE;
}

HANDLE StartThread(std::function<void()> job) {
    auto* copy = new std::function<void()>(std::move(job));
    HANDLE thread = ::CreateThread(nullptr, 0, runJob, copy, 0, nullptr);
    if (!thread) delete copy;
    return thread;
}

}  // namespace plat
