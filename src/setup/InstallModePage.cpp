#include "setup/InstallModePage.h"

#include "config/LanguageFile.h"
#include "setup/RadioGroup.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

std::string modeText(plat::Platform& p, const char* key) {
    return cfg::LanguageFile(p, cfg::Program::Setup, "Mode").GetText(key);
}

}  // namespace

bool InstallModePage::OnInitDialog() {
    typicalMode = 1;
    CheckRadioInGroup(view(), {kTypicalRadio, kAdvancedRadio}, kTypicalRadio);
    view().SetText(kModeNote1, modeText(state_.platform, "Note1"));
    return true;
}

void InstallModePage::OnShowWindow() {
    plat::Platform& p = state_.platform;
    view().SetText(kModeGroup, modeText(p, "Type"));
    view().SetText(kTypicalRadio, modeText(p, "Typical"));
    view().SetText(kAdvancedRadio, modeText(p, "Advanced"));
    view().SetText(kRemarksLabel, modeText(p, "Remarks"));
}

void InstallModePage::OnCommand(int control, int notification) {
    if (notification != kButtonClicked) return;
    plat::Platform& p = state_.platform;
    if (control == kTypicalRadio) {
        CheckRadioInGroup(view(), {kTypicalRadio, kAdvancedRadio}, kTypicalRadio);
        view().SetText(kModeNote1, modeText(p, "Note1"));
        view().Show(kModeNote2, false);
        view().Show(kModeNote3, false);
        typicalMode = 1;
    } else if (control == kAdvancedRadio) {
        CheckRadioInGroup(view(), {kTypicalRadio, kAdvancedRadio}, kAdvancedRadio);
        view().SetText(kModeNote1, modeText(p, "Note2"));
        view().SetText(kModeNote2, modeText(p, "Note3"));
        view().Show(kModeNote2, true);
        view().Show(kModeNote3, false);
        typicalMode = 0;
    }
}

void InstallModePage::ApplyModelRestriction(bool advancedAllowed) {
    // Allowing the advanced mode again leaves the user's choice and its notes alone.
    view().Enable(kAdvancedRadio, advancedAllowed);
    if (advancedAllowed) return;
    CheckRadioInGroup(view(), {kTypicalRadio, kAdvancedRadio}, kTypicalRadio);
    view().SetText(kModeNote1, cfg::MessageTexts(state_.platform, cfg::Program::Setup).GetText("IDS_TYPICAL_NOTES"));
    view().Show(kModeNote2, false);
    view().Show(kModeNote3, false);
    typicalMode = 1;
}

}  // namespace setup
