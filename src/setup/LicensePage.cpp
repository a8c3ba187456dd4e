#include "setup/LicensePage.h"

#include <cstring>

#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "setup/RadioGroup.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

constexpr const char* kLicenseFile = "License.txt";
// An agreement is a few pages; a file far beyond that is not one (and could not be held by
// the agreement box anyway), so it counts as missing rather than exhausting memory.
constexpr std::uint32_t kLicenseSizeLimit = 1024 * 1024;

std::string legalText(plat::Platform& p, const char* key) {
    return cfg::LanguageFile(p, cfg::Program::Setup, "Legal").GetText(key);
}

}  // namespace

bool LicensePage::OnInitDialog() {
    plat::Platform& p = state_.platform;
    CheckRadioInGroup(view(), {kAcceptRadio, kRejectRadio}, kRejectRadio);
    if (showAgreement != 1) return true;

    std::string text;
    if (!p.files.ReadWholeFile(kLicenseFile, kLicenseSizeLimit, &text)) {
        agreementMissing = true;
        cfg::ShowWindowMessage(p, view().Window(), cfg::MessageTexts(p, cfg::Program::Setup).GetText("IDS_ERR_NOLICENSE"),
                               plat::kMbOk);
        if (frame) frame->Close(kCancelButton);
        return false;
    }
    // The control takes a C string: whatever follows a NUL byte never shows.
    text.resize(std::strlen(text.c_str()));
    view().SetText(kAgreementText, text);
    return true;
}

void LicensePage::OnShowWindow() {
    plat::Platform& p = state_.platform;
    view().SetText(kAgreementGroup, legalText(p, "Agreement"));
    view().SetText(kAcceptRadio, legalText(p, "Accept"));
    view().SetText(kRejectRadio, legalText(p, "Reject"));
}

void LicensePage::OnCommand(int control, int notification) {
    if (notification != kButtonClicked || (control != kAcceptRadio && control != kRejectRadio)) return;
    CheckRadioInGroup(view(), {kAcceptRadio, kRejectRadio}, control);
    if (frame) frame->Enable(kNextButton, control == kAcceptRadio);
}

}  // namespace setup
