// What every dialog procedure of the two programs does around its own work: the host
// object (the dialog's logic and view) travels in WM_INITDIALOG's lParam and stays with
// the window; the About box, which only shows texts; and a worker thread.
#pragma once
#include <functional>

#include "platform/WinTypes.h"
#include "platform/win32/Win32DialogView.h"
#include "platform/win32/WindowsHeaders.h"

namespace plat {

// The host of `dialog`: taken from lParam and kept with the window at WM_INITDIALOG, read
// back for every later message; null for the few messages that come before it.
template <typename Host>
Host* DialogHostOf(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return reinterpret_cast<Host*>(lParam);
    }
    return reinterpret_cast<Host*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

// The About box's messages: `init` fills the texts through the view and answers whether the
// box needs a font of its own (made from `font`, deleted with the window); OK, Esc and the
// close box end it.
INT_PTR AboutBoxMessage(HWND dialog, UINT message, WPARAM wParam, const FontParameters& font,
                        const std::function<bool(Win32DialogView&)>& init);

// Runs `job` on a thread of its own. The thread's handle, which the caller waits for and
// closes; null, with nothing run, when no thread could be started.
HANDLE StartThread(std::function<void()> job);

}  // namespace plat
