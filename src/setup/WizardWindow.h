// What the wizard's logic asks of the window code: the page windows, the side picture,
// the font, the menu and icon, the progress window and the worker thread. The Win32 host
// does it with real windows; the tests with a recording double.
#pragma once
#include <functional>
#include <string>

namespace setup {

class WizardPage;
class ProgressDialog;

class WizardWindow {
public:
    virtual ~WizardWindow() = default;

    // Creates the page's window as a hidden child of the frame from its template, placed
    // on the page area (control 1001), binds the page's view and runs its OnInitDialog.
    virtual void CreatePage(WizardPage& page, int templateId) = 0;
    virtual void ShowPage(WizardPage& page, bool visible) = 0;
    virtual void DestroyPage(WizardPage& page) = 0;

    // "DRVCONFIG\Left.bmp", relative to the current directory; false when it cannot be loaded.
    virtual bool LoadSidePicture(const std::string& path) = 0;
    // Creates ChineseUiFont (replacing an earlier one) and puts it on the frame and its
    // children; the frame deletes it when it is destroyed.
    virtual void ApplyChineseFont() = 0;
    virtual void AppendAboutMenuEntry(const std::string& text) = 0;
    virtual void SetProgramIcon() = 0;
    // Minimised and topmost, without moving or resizing.
    virtual void MinimizeTopmost() = 0;

    // Shows the progress window modally; returns when it has closed itself.
    virtual void RunProgress(ProgressDialog& progress) = 0;
    // Runs the job on a new thread (default priority and stack size); false when no
    // thread could be made.
    virtual bool StartWorker(std::function<void()> job) = 0;
    // Returns when the last worker started has ended.
    virtual void WaitForWorker() = 0;
};

}  // namespace setup
