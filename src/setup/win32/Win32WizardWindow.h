// The wizard's windows for real: the pages as modeless child dialogs of the frame, the
// side picture, the Chinese dialog font, the progress window and the install worker's
// thread. What to do stays with the logic classes; this only does it with Win32 calls.
#pragma once
#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Fonts.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/ShellApi.h"
#include "platform/win32/Win32DialogView.h"
#include "setup/WizardWindow.h"

namespace setup {

class Win32WizardWindow final : public WizardWindow {
public:
    // The shell opens what the port page's note label links to.
    Win32WizardWindow(HINSTANCE instance, plat::ShellApi& shell);
    ~Win32WizardWindow() override;
    Win32WizardWindow(const Win32WizardWindow&) = delete;
    Win32WizardWindow& operator=(const Win32WizardWindow&) = delete;

    // The frame announces its window in its WM_INITDIALOG, before its logic runs.
    void setFrame(HWND frame) { frame_ = frame; }
    HWND frame() const { return frame_; }

    void CreatePage(WizardPage& page, int templateId) override;
    void ShowPage(WizardPage& page, bool visible) override;
    void DestroyPage(WizardPage& page) override;
    bool LoadSidePicture(const std::string& path) override;
    void ApplyChineseFont() override;
    void AppendAboutMenuEntry(const std::string& text) override;
    void SetProgramIcon() override;
    void MinimizeTopmost() override;
    void RunProgress(ProgressDialog& progress) override;
    bool StartWorker(std::function<void()> job) override;
    void WaitForWorker() override;

    // The page's window; null before CreatePage and after DestroyPage.
    HWND pageWindow(const WizardPage& page) const;
    HICON icon() const { return bigIcon_; }
    // ChineseUiFont, made on first use by whichever dialog needs it first.
    HFONT chineseFont();

    // The frame's WM_PAINT: the program icon while minimised, else the side picture
    // stretched over control 1087.
    void PaintFrame();
    // At the frame's WM_DESTROY: the font and the picture go with it.
    void ReleaseFrameResources();

    // Where the pages sit: control 1001's rectangle in the frame's client coordinates.
    RECT pageArea() const;

private:
    struct PageHost;
    struct ProgressHost;
    static INT_PTR CALLBACK pageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK progressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void preparePage(PageHost& host);
    static void paintWaitText(HWND dialog, const std::string& text);

    HINSTANCE instance_;
    plat::ShellApi& shell_;
    HWND frame_ = nullptr;
    std::map<const WizardPage*, std::unique_ptr<PageHost>> pages_;
    HBITMAP sidePicture_ = nullptr;
    HFONT chineseFont_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HANDLE worker_ = nullptr;
};

using plat::ApplyFont;
using plat::MakeFont;
// Waits the given time while dispatching the thread's messages, so that windows keep
// painting and are not taken for hung. A WM_QUIT seen on the way is put back and ends the
// wait early.
void WaitDispatching(std::uint32_t milliseconds);

}  // namespace setup
