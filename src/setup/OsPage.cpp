#include "setup/OsPage.h"

#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "setup/RadioGroup.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

struct OsChoice {
    int control;
    cfg::OsClass os;
};

// The page's choices and the class each stands for.
constexpr OsChoice kChoices[] = {
    {kOsWin98Radio, cfg::kOsWin9x},     {kOsNtRadio, cfg::kOsNt4},         {kOsWin2000Radio, cfg::kOsWin2000},
    {kOsXpRadio, cfg::kOsWinXP},        {kOs2003Radio, cfg::kOsServer2003}, {kOsVistaRadio, cfg::kOsVista},
    {kOs2008Radio, cfg::kOsServer2008}, {kOsWin7Radio, cfg::kOsWin7},       {kOsWin10Radio, cfg::kOsWin10},
    {kOsServer2012Radio, cfg::kOsServer2012},
};

int choiceOf(cfg::OsClass os) {
    for (const auto& c : kChoices)
        if (c.os == os) return c.control;
    return 0;
}

}  // namespace

bool OsPage::OnInitDialog() {
    plat::Platform& p = state_.platform;
    state_.osPage = this;

    selectedOs = cfg::kOsWin9x;
    // Windows 95 and NT versions newer than any class get no choice at all; Windows 98
    // and Me are class 0 too, but have a choice of their own.
    int checked = 0;
    const cfg::OsFacts facts = cfg::ReadOsFacts(p);
    switch (facts.version.platformId) {
        case plat::kPlatformWindows:
            if (facts.version.minorVersion != 0) checked = kOsWin98Radio;
            break;
        case plat::kPlatformNt:
            selectedOs = cfg::ClassifyNt(facts.version, facts.processorArchitecture);
            if (selectedOs != cfg::kOsWin9x) checked = choiceOf(selectedOs);
            break;
        default:
            cfg::ShowAppMessage(p, cfg::Program::Setup,
                                cfg::MessageTexts(p, cfg::Program::Setup).GetText("IDS_ERR_SYSTEM"), plat::kMbOk);
            break;
    }
    if (checked)
        CheckRadioInGroup(view(),
                          {kOsWin98Radio, kOsNtRadio, kOsWin2000Radio, kOsXpRadio, kOs2003Radio, kOsVistaRadio,
                           kOs2008Radio, kOsWin7Radio, kOsWin10Radio, kOsServer2012Radio},
                          checked);

    // The page only confirms the running system: nothing else can be chosen.
    for (const auto& c : kChoices) view().Enable(c.control, c.os == selectedOs);
    if (state_.is64BitWindows) view().Show(kOsWin2000Radio, false);
    return true;
}

void OsPage::OnShowWindow() {
    view().SetText(kOsGroup, cfg::LanguageFile(state_.platform, cfg::Program::Setup, "System").GetText("Select"));
}

}  // namespace setup
