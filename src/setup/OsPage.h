// The operating-system page: marks the running Windows; the other choices stay disabled.
#pragma once
#include "config/OsClass.h"
#include "setup/WizardPage.h"

namespace setup {

class OsPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    cfg::OsClass selectedOs = cfg::kOsWin9x;

    bool OnInitDialog() override;  // also makes the page reachable through SetupState::osPage
    void OnShowWindow() override;
};

}  // namespace setup
