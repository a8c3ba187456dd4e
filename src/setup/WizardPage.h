// A dialog's logic bound to its window once the window exists, and the wizard page: what
// the frame asks of each of its pages.
#pragma once
#include <cassert>

#include "platform/DialogView.h"
#include "setup/SetupState.h"

namespace setup {

class DialogLogic {
public:
    virtual ~DialogLogic() = default;
    // The window code binds the view when the window is created, before OnInitDialog.
    void attach(plat::DialogView* view) { view_ = view; }
    bool attached() const { return view_ != nullptr; }

protected:
    plat::DialogView& view() {
        assert(view_);
        return *view_;
    }

private:
    plat::DialogView* view_ = nullptr;
};

class WizardPage : public DialogLogic {
public:
    explicit WizardPage(SetupState& state) : state_(state) {}

    // 1 when the wording is Chinese: the window code puts ChineseUiFont on the page and
    // all its controls after OnInitDialog.
    int useChineseFont = 0;
    // The frame's view: pages that enable its buttons or close it reach it through this.
    plat::DialogView* frame = nullptr;

    // False when the page's initialisation failed (the page has asked the frame to close).
    virtual bool OnInitDialog() = 0;
    // WM_SHOWWINDOW, shown or hidden: the pages set their texts again.
    virtual void OnShowWindow() {}
    // Data exchange in the saving direction; false keeps the user on the page.
    virtual bool SaveData() { return true; }
    // WM_COMMAND from one of the page's controls; notification is the high word
    // (BN_CLICKED 0, CBN_SELCHANGE 1).
    virtual void OnCommand(int control, int notification) {
        (void)control;
        (void)notification;
    }

protected:
    SetupState& state_;
};

// Notification codes the pages look at.
enum : int { kButtonClicked = 0, kSelectionChanged = 1 };

}  // namespace setup
