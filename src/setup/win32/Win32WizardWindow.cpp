#include "setup/win32/Win32WizardWindow.h"

#include <commctrl.h>

#include "config/ChineseUiFont.h"
#include "platform/win32/Win32DialogHost.h"
#include "setup/CEditEx.h"
#include "setup/ColorLabel.h"
#include "setup/ProgressDialog.h"
#include "setup/WizardControls.h"
#include "setup/WizardPage.h"
#include "setup/win32/CustomControlsWin32.h"

namespace setup {

namespace {

constexpr int kToolTipMaxWidth = 200;

// The USB driver note of the port page: blue Arial on pink, so it is not overlooked.
constexpr Colour kNoteTextColour = 0xFF0000;
constexpr Colour kNoteBackground = 0xFDCAFF;
constexpr const char* kNoteFace = "Arial";
constexpr int kNoteFontSize = 14;

// The waiting text of the progress window.
constexpr int kWaitFontHeight = 20;
constexpr int kWaitFontWeight = 700;

}  // namespace

struct Win32WizardWindow::PageHost {
    Win32WizardWindow* owner = nullptr;
    WizardPage* page = nullptr;
    int templateId = 0;
    HWND window = nullptr;
    std::unique_ptr<plat::Win32DialogView> view;
    // The custom controls of the agreement and port pages; each unbinds itself from its
    // window when either goes first.
    std::unique_ptr<CEditEx> agreementEdit;
    std::unique_ptr<ColorLabel> usbDriverNote;
    // Owned by the frame, not the page (pop-ups belong to the top-level window): it goes
    // with the page explicitly.
    HWND toolTip = nullptr;
};

struct Win32WizardWindow::ProgressHost {
    Win32WizardWindow* owner = nullptr;
    ProgressDialog* logic = nullptr;
    std::unique_ptr<plat::Win32DialogView> view;
};


void WaitDispatching(std::uint32_t milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Unsigned difference: correct across the tick counter's wrap.
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

Win32WizardWindow::Win32WizardWindow(HINSTANCE instance, plat::ShellApi& shell) : instance_(instance), shell_(shell) {}

Win32WizardWindow::~Win32WizardWindow() {
    if (worker_) ::CloseHandle(worker_);
    ReleaseFrameResources();
}

RECT Win32WizardWindow::pageArea() const {
    RECT area = {0, 0, 0, 0};
    ::GetWindowRect(::GetDlgItem(frame_, kPageArea), &area);
    ::MapWindowPoints(HWND_DESKTOP, frame_, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void Win32WizardWindow::CreatePage(WizardPage& page, int templateId) {
    DestroyPage(page);
    auto host = std::make_unique<PageHost>();
    host->owner = this;
    host->page = &page;
    host->templateId = templateId;
    PageHost* raw = host.get();
    pages_[&page] = std::move(host);
    // The page's WM_INITDIALOG runs inside this call: it binds the view and runs the
    // page's own initialisation, which may already ask the frame to close.
    HWND window = ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(templateId), frame_, pageProc,
                                       reinterpret_cast<LPARAM>(raw));
    if (!window) {
        pages_.erase(&page);
        return;
    }
    const RECT area = pageArea();
    ::MoveWindow(window, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void Win32WizardWindow::ShowPage(WizardPage& page, bool visible) {
    if (HWND window = pageWindow(page)) ::ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

void Win32WizardWindow::DestroyPage(WizardPage& page) {
    auto it = pages_.find(&page);
    if (it == pages_.end()) return;
    if (it->second->window) ::DestroyWindow(it->second->window);
    pages_.erase(it);
}

HWND Win32WizardWindow::pageWindow(const WizardPage& page) const {
    auto it = pages_.find(&page);
    return it == pages_.end() ? nullptr : it->second->window;
}

bool Win32WizardWindow::LoadSidePicture(const std::string& path) {
    HBITMAP picture = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!picture) return false;
    if (sidePicture_) ::DeleteObject(sidePicture_);
    sidePicture_ = picture;
    return true;
}

HFONT Win32WizardWindow::chineseFont() {
    if (!chineseFont_) chineseFont_ = MakeFont(cfg::kChineseUiFont);
    return chineseFont_;
}

void Win32WizardWindow::ApplyChineseFont() {
    // The new font goes on before the old one is deleted: no control may be left holding
    // a deleted font, not even for one repaint.
    HFONT previous = chineseFont_;
    chineseFont_ = MakeFont(cfg::kChineseUiFont);
    if (frame_) ApplyFont(frame_, chineseFont_);
    for (auto& entry : pages_)
        if (entry.second->window && entry.second->page->useChineseFont) ApplyFont(entry.second->window, chineseFont_);
    if (previous) ::DeleteObject(previous);
}

void Win32WizardWindow::AppendAboutMenuEntry(const std::string& text) {
    HMENU menu = ::GetSystemMenu(frame_, FALSE);
    if (!menu) return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kAboutCommand, text.c_str());
}

void Win32WizardWindow::SetProgramIcon() {
    // Shared icons: the system frees them with the module.
    bigIcon_ = ::LoadIconA(instance_, MAKEINTRESOURCEA(kApplicationIcon));
    smallIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(kApplicationIcon), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    if (!smallIcon_) smallIcon_ = bigIcon_;
    ::SendMessageA(frame_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    ::SendMessageA(frame_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void Win32WizardWindow::MinimizeTopmost() {
    ::ShowWindow(frame_, SW_SHOWMINIMIZED);
    ::SetWindowPos(frame_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32WizardWindow::PaintFrame() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(frame_, &paint);
    if (::IsIconic(frame_)) {
        ::SendMessageA(frame_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        ::GetClientRect(frame_, &client);
        const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        if (bigIcon_) ::DrawIcon(dc, x, y, bigIcon_);
    } else if (sidePicture_) {
        // Straight onto the picture control: a frame static paints only its border, so
        // the stretched picture stays when the control repaints itself afterwards.
        HWND picture = ::GetDlgItem(frame_, kSidePicture);
        HDC target = ::GetDC(picture);
        HDC memory = ::CreateCompatibleDC(target);
        HGDIOBJ previous = ::SelectObject(memory, sidePicture_);
        BITMAP bitmap;
        ::GetObjectA(sidePicture_, sizeof bitmap, &bitmap);
        RECT client;
        ::GetClientRect(picture, &client);
        ::SetStretchBltMode(target, COLORONCOLOR);
        ::StretchBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, bitmap.bmWidth, bitmap.bmHeight,
                     SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::ReleaseDC(picture, target);
    }
    ::EndPaint(frame_, &paint);
}

void Win32WizardWindow::ReleaseFrameResources() {
    if (chineseFont_) ::DeleteObject(chineseFont_);
    chineseFont_ = nullptr;
    if (sidePicture_) ::DeleteObject(sidePicture_);
    sidePicture_ = nullptr;
}

// ------------------------------------------------------------------------------ pages

void Win32WizardWindow::preparePage(PageHost& host) {
    HWND page = host.window;
    if (host.templateId == kLicensePageTemplate) {
        host.agreementEdit = std::make_unique<CEditEx>(CurrentSystemLook());
        AttachEditEx(::GetDlgItem(page, kAgreementText), *host.agreementEdit);
    }
    if (host.templateId == kPortPageTemplate) {
        host.usbDriverNote = std::make_unique<ColorLabel>(shell_, CurrentSystemLook());
        host.usbDriverNote->SetTextColour(kNoteTextColour);
        host.usbDriverNote->SetBackgroundColour(kNoteBackground);
        host.usbDriverNote->SetFontName(kNoteFace);
        host.usbDriverNote->SetFontSize(kNoteFontSize);
        AttachColorLabel(::GetDlgItem(page, kUsbDriverNote), *host.usbDriverNote);

        // The hint of the raster check box. The tool subclasses the check box itself
        // instead of having every message relayed; a disabled check box therefore shows
        // no hint, which matters little as it is disabled only for serial ports.
        HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, instance_, nullptr);
        if (tip) {
            host.toolTip = tip;
            TOOLINFOW tool = {};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = page;
            tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(page, kRasterCheck));
            tool.hinst = instance_;
            // Loaded by the tool tip as UTF-16, so it reads right whatever the ANSI code page.
            tool.lpszText = MAKEINTRESOURCEW(kRasterToolTipString);
            ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kToolTipMaxWidth);
            // The hint is Chinese whatever the package's language: without a face that
            // has the glyphs it would show as boxes wherever the system links no font in.
            ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(chineseFont()), FALSE);
            ::SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
        }
    }
}

INT_PTR CALLBACK Win32WizardWindow::pageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = plat::DialogHostOf<PageHost>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG: {
            host->window = dialog;
            host->view = std::make_unique<plat::Win32DialogView>(reinterpret_cast<plat::WindowHandle>(dialog));
            host->page->attach(host->view.get());
            host->page->OnInitDialog();
            if (host->page->useChineseFont) ApplyFont(dialog, host->owner->chineseFont());
            // After the font: a label with a face of its own must keep it.
            host->owner->preparePage(*host);
            return TRUE;
        }
        case WM_SHOWWINDOW:
            if (host && host->view) host->page->OnShowWindow();
            return FALSE;
        case WM_COMMAND:
            // The frame's buttons act; a page's own OK and Cancel (Enter, Esc) do nothing.
            if (host && host->view && LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
                host->page->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            // Plain dialogs do not reflect these to the control: the custom controls'
            // colours are answered here, everything else gets the dialog's defaults.
            INT_PTR brush = 0;
            if (CustomControlColour(message, wParam, lParam, &brush)) return brush;
            return FALSE;
        }
        case WM_DESTROY:
            if (host) {
                if (host->toolTip) ::DestroyWindow(host->toolTip);
                host->toolTip = nullptr;
                host->page->attach(nullptr);
                host->view.reset();
                host->window = nullptr;
            }
            return FALSE;
    }
    return FALSE;
}

// ------------------------------------------------------------------------------ progress

void Win32WizardWindow::RunProgress(ProgressDialog& progress) {
    ProgressHost host;
    host.owner = this;
    host.logic = &progress;
    progress.wait = [](std::uint32_t milliseconds) { WaitDispatching(milliseconds); };
    ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(kProgressTemplate), frame_, progressProc,
                      reinterpret_cast<LPARAM>(&host));
}

void Win32WizardWindow::paintWaitText(HWND dialog, const std::string& text) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(dialog, &paint);
    HFONT font = ::CreateFontA(kWaitFontHeight, 0, 0, 0, kWaitFontWeight, FALSE, FALSE, FALSE, 0,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
    HGDIOBJ previous = ::SelectObject(dc, font);
    RECT area;
    ::GetClientRect(dialog, &area);
    area.bottom = 2 * area.bottom / 3;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ProgressDialog::kTextColour);
    ::DrawTextA(dc, text.c_str(), -1, &area, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ::SelectObject(dc, previous);
    ::DeleteObject(font);
    ::EndPaint(dialog, &paint);
}

INT_PTR CALLBACK Win32WizardWindow::progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = plat::DialogHostOf<ProgressHost>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            host->view = std::make_unique<plat::Win32DialogView>(reinterpret_cast<plat::WindowHandle>(dialog));
            host->logic->attach(host->view.get());
            host->logic->OnInitDialog();
            if (host->logic->useChineseFont) ApplyFont(dialog, host->owner->chineseFont());
            // The modal loop shows a dialog only once it finds its queue empty. On a busy
            // machine the first tick is already due by then, and the animation it runs
            // would leave the window unseen for the whole installation.
            ::ShowWindow(dialog, SW_SHOW);
            ::UpdateWindow(dialog);
            ::SetTimer(dialog, ProgressDialog::kTimerId, ProgressDialog::kTimerPeriodMs, nullptr);
            return TRUE;
        case WM_TIMER:
            if (host && wParam == ProgressDialog::kTimerId) {
                // The first tick runs the whole animation, dispatching messages as it waits;
                // no second tick may start another one meanwhile.
                ::KillTimer(dialog, ProgressDialog::kTimerId);
                host->logic->OnTimer();
            }
            return TRUE;
        case WM_PAINT:
            if (!host) return FALSE;
            paintWaitText(dialog, host->logic->WaitText());
            return TRUE;
        case WM_COMMAND:
            // Esc and Alt+F4 must not end the window while the worker still writes into the
            // install request: it closes itself once the worker has reported.
            return TRUE;
        case WM_DESTROY:
            if (host) {
                host->logic->attach(nullptr);
                host->view.reset();
            }
            return FALSE;
    }
    return FALSE;
}

// ------------------------------------------------------------------------------ worker

bool Win32WizardWindow::StartWorker(std::function<void()> job) {
    HANDLE thread = plat::StartThread(std::move(job));
    if (!thread) return false;
    if (worker_) ::CloseHandle(worker_);
    worker_ = thread;
    return true;
}

void Win32WizardWindow::WaitForWorker() {
    if (!worker_) return;
    // Messages sent from other threads (a worker's message box owned by one of our
    // windows, for one) are answered while waiting; input and posted messages wait, so
    // the wizard cannot be driven again before the worker has ended.
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &worker_, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) break;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    ::CloseHandle(worker_);
    worker_ = nullptr;
}

}  // namespace setup
