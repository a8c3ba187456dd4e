// The agreement page: shows License.txt and lets the wizard go on only while the user
// accepts it.
#pragma once
#include <string>

#include "setup/WizardPage.h"

namespace setup {

class LicensePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    int showAgreement = 0;
    // The agreement was to be shown but License.txt could not be read: the wizard closed.
    bool agreementMissing = false;

    bool OnInitDialog() override;
    void OnShowWindow() override;
    void OnCommand(int control, int notification) override;
};

}  // namespace setup
