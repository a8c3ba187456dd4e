// The install-mode page: typical or advanced installation, with its notes; the model may
// forbid the advanced one.
#pragma once
#include "setup/WizardPage.h"

namespace setup {

class InstallModePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    // 1 typical, 0 advanced.
    int typicalMode = 1;

    bool OnInitDialog() override;
    void OnShowWindow() override;
    void OnCommand(int control, int notification) override;
    // The chosen model's AdvancedSetup, applied by the frame each time it leaves the
    // printer-type page forward.
    void ApplyModelRestriction(bool advancedAllowed);
};

}  // namespace setup
