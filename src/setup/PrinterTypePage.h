// The printer-type page: category by radio button, model from the list beside it, and
// whether the printer becomes the default one.
#pragma once
#include <string>

#include "setup/WizardPage.h"

namespace setup {

class PrinterTypePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    int selectedCategory = 0;   // -1 when the package names no valid default
    std::string selectedModel;  // empty when none
    int setAsDefault = 0;
    int hasModels = 0;

    bool OnInitDialog() override;
    void OnShowWindow() override;
    bool SaveData() override;  // check box 1046 into setAsDefault
    void OnCommand(int control, int notification) override;

private:
    // The item a drop-down list's prefix search finds, or -1.
    int findModel(int list, const std::string& prefix);
    // The text of the list's current item cut to a model name; empty without one.
    std::string currentModel(int list);
};

}  // namespace setup
