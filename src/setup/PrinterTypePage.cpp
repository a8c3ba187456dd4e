#include "setup/PrinterTypePage.h"

#include <cctype>

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/PackageConfig.h"
#include "setup/RadioGroup.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

constexpr std::size_t kModelNameSize = 200;

// Indexed by PrinterCategory.
constexpr int kRadios[4] = {kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio};
constexpr int kLists[4] = {kReceiptList, kTicketList, kLabelList, kEmbeddedList};

int categoryOfRadio(int control) {
    for (int c = 0; c < 4; ++c)
        if (kRadios[c] == control) return c;
    return -1;
}

int categoryOfList(int control) {
    for (int c = 0; c < 4; ++c)
        if (kLists[c] == control) return c;
    return -1;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

int PrinterTypePage::findModel(int list, const std::string& prefix) {
    // As a drop-down list searches from item 0: the items after it first, item 0 last.
    const int count = view().ListCount(list);
    for (int step = 1; step <= count; ++step) {
        const int index = step % count;
        if (startsWithNoCase(view().ListItem(list, index), prefix)) return index;
    }
    return -1;
}

std::string PrinterTypePage::currentModel(int list) {
    const int index = view().ListSelection(list);
    if (index < 0) return std::string();
    return cfg::CutTo(view().ListItem(list, index), kModelNameSize);
}

bool PrinterTypePage::OnInitDialog() {
    cfg::PackageConfig package(state_.platform);

    const int n = package.modelEntryCount();
    hasModels = 1;
    for (int c = 0; c < 4; ++c) view().ListReset(kLists[c]);
    for (int i = 1; i <= n; ++i) {
        std::string name;
        const int category = package.deviceEntry(i, &name);
        if (category >= 0 && category < 4) view().ListAdd(kLists[category], name);
    }

    bool anyModel = false;
    for (int c = 0; c < 4; ++c) {
        const bool filled = view().ListCount(kLists[c]) > 0;
        anyModel = anyModel || filled;
        view().ListSelect(kLists[c], filled ? 0 : -1);
        view().Enable(kLists[c], false);
        if (!filled) view().Enable(kRadios[c], false);
    }
    if (!anyModel) hasModels = 0;

    std::string defaultModel;
    const int d = package.defaultEntry(&defaultModel);
    if (d >= 0 && d < 4) {
        CheckRadioInGroup(view(), {kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio}, kRadios[d]);
        const int found = findModel(kLists[d], defaultModel);
        view().ListSelect(kLists[d], found);
        if (found >= 0) selectedModel = currentModel(kLists[d]);
        view().Enable(kLists[d], true);
    }
    selectedCategory = (d >= 0 && d < 4) ? d : -1;
    return true;
}

void PrinterTypePage::OnShowWindow() {
    cfg::LanguageFile series(state_.platform, cfg::Program::Setup, "Series");
    view().SetText(kTypeGroup, series.GetText("Select"));
    view().SetText(kReceiptRadio, series.GetText("Receipt"));
    view().SetText(kTicketRadio, series.GetText("Ticket"));
    view().SetText(kLabelRadio, series.GetText("Label"));
    view().SetText(kEmbeddedRadio, series.GetText("Embedded"));
    view().SetText(kDefaultPrinterCheck, series.GetText("Default"));
}

bool PrinterTypePage::SaveData() {
    setAsDefault = view().IsChecked(kDefaultPrinterCheck) ? 1 : 0;
    return true;
}

void PrinterTypePage::OnCommand(int control, int notification) {
    if (notification == kButtonClicked) {
        const int c = categoryOfRadio(control);
        if (c < 0) return;
        CheckRadioInGroup(view(), {kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio}, control);
        for (int list : kLists) view().Enable(list, false);
        selectedModel = currentModel(kLists[c]);
        view().Enable(kLists[c], true);
        selectedCategory = c;
    } else if (notification == kSelectionChanged) {
        if (categoryOfList(control) < 0) return;
        selectedModel = currentModel(control);
    }
}

}  // namespace setup
