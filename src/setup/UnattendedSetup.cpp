#include "setup/UnattendedSetup.h"

#include <cctype>
#include <functional>

#include "config/IniValues.h"
#include "config/RunLog.h"
#include "setup/WizardControls.h"

namespace setup {

namespace {

// Ends the run: the reason in the log and on standard error.
struct Stop {
    int code;
    std::string why;
};

class Driver {
public:
    Driver(SetupWizardParts& w, HeadlessWizardWindow& window, const Answers& a)
        : w_(w), window_(window), a_(a), p_(w.state.platform) {}

    // Empty when the wizard got as far as Install.
    std::optional<Stop> run();

private:
    plat::MemoryDialogView& view(const WizardPage& page) { return window_.view(page); }
    plat::MemoryDialogView& frame() { return window_.frameView(); }

    void click(WizardPage& page, int control) {
        view(page).SetCheck(control, true);
        page.OnCommand(control, kButtonClicked);
    }
    void choose(WizardPage& page, int list, int index) {
        view(page).ListSelect(list, index);
        page.OnCommand(list, kSelectionChanged);
    }
    static Stop badAnswer(const AnswerValue& v, const std::string& why) {
        return Stop{cfg::kExitBadArguments, "answer file line " + std::to_string(v.line) + ": " + why};
    }
    static std::string items(plat::MemoryDialogView& v, int list) {
        std::string text;
        for (const std::string& item : v.control(list).items) text += (text.empty() ? "" : ", ") + item;
        return text.empty() ? "none" : text;
    }
    // Next, as the user presses it; the page reached must be `expected`.
    std::optional<Stop> next(int expected, const char* from);

    std::optional<Stop> chooseModel();
    std::optional<Stop> chooseMode();
    std::optional<Stop> choosePort();
    // Selects the item `matches` picks in one of the port page's lists, as the user would.
    // A list the page does not offer for the chosen port must already show it.
    std::optional<Stop> chooseItem(int list, const AnswerValue& v, const char* key,
                                   const std::function<bool(const std::string&)>& matches);
    // The same for a check box.
    std::optional<Stop> check(WizardPage& page, int control, const AnswerValue& v, const char* key);

    SetupWizardParts& w_;
    HeadlessWizardWindow& window_;
    const Answers& a_;
    plat::Platform& p_;
};

std::optional<Stop> Driver::next(int expected, const char* from) {
    if (!frame().IsEnabled(kNextButton))
        return Stop{cfg::kExitRefused, std::string("the wizard does not go on from the ") + from};
    w_.frame.OnOk();
    // A page that refused to be left has shown why (in the log and on standard error).
    if (w_.frame.currentPage != expected)
        return Stop{cfg::kExitRefused, std::string("the wizard refused to leave the ") + from};
    return std::nullopt;
}

std::optional<Stop> Driver::chooseModel() {
    static const int radios[] = {kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio};
    static const int lists[] = {kReceiptList, kTicketList, kLabelList, kEmbeddedList};
    std::string offered;
    for (int category = 0; category < 4; ++category) {
        auto& v = view(w_.printerType);
        const auto& models = v.control(lists[category]).items;
        for (std::size_t i = 0; i < models.size(); ++i) {
            offered += (offered.empty() ? "" : ", ") + models[i];
            if (!cfg::EqualsNoCase(models[i], a_.model.text) || !v.IsEnabled(radios[category])) continue;
            click(w_.printerType, radios[category]);
            choose(w_.printerType, lists[category], static_cast<int>(i));
            return std::nullopt;
        }
    }
    return badAnswer(a_.model, "Model=" + a_.model.text + " is not in this package (it holds: " +
                                   (offered.empty() ? "none" : offered) + ")");
}

std::optional<Stop> Driver::chooseMode() {
    if (!a_.mode.given) return std::nullopt;
    const bool advanced = a_.mode.text == "Advanced";
    const int radio = advanced ? kAdvancedRadio : kTypicalRadio;
    if (!view(w_.installMode).IsEnabled(radio))
        return badAnswer(a_.mode, "Mode=" + a_.mode.text + " is not offered for model " + a_.model.text);
    click(w_.installMode, radio);
    return std::nullopt;
}

std::optional<Stop> Driver::chooseItem(int list, const AnswerValue& v, const char* key,
                                       const std::function<bool(const std::string&)>& matches) {
    if (!v.given) return std::nullopt;
    auto& view = this->view(w_.port);
    int found = -1;
    for (int i = 0; i < view.ListCount(list) && found < 0; ++i)
        if (matches(view.ListItem(list, i))) found = i;
    const std::string answer = std::string(key) + "=" + v.text;
    if (!view.IsEnabled(list) || !view.IsVisible(list)) {
        if (found >= 0 && found == view.ListSelection(list)) return std::nullopt;
        return badAnswer(v, answer + " does not apply to port " + w_.port.portText);
    }
    if (found < 0) return badAnswer(v, answer + " is not one of the port page's choices (" + items(view, list) + ")");
    choose(w_.port, list, found);
    return std::nullopt;
}

std::optional<Stop> Driver::check(WizardPage& page, int control, const AnswerValue& v, const char* key) {
    if (!v.given) return std::nullopt;
    auto& view = this->view(page);
    const bool wanted = v.text == "1";
    if (!view.IsEnabled(control) || !view.IsVisible(control)) {
        if (view.IsChecked(control) == wanted) return std::nullopt;
        return badAnswer(v, std::string(key) + "=" + v.text + " is not offered here");
    }
    view.SetCheck(control, wanted);
    return std::nullopt;
}

std::optional<Stop> Driver::choosePort() {
    auto& view = this->view(w_.port);
    const int count = view.ListCount(kPortList);
    int found = -1;
    for (int i = 0; i < count && found < 0; ++i)
        if (view.ListItem(kPortList, i) == a_.port.text) found = i;
    if (found < 0)
        return badAnswer(a_.port, "Port=" + a_.port.text + " is not offered for model " + a_.model.text +
                                      " in this mode on this Windows (the port page offers: " + items(view, kPortList) +
                                      ")");
    choose(w_.port, kPortList, found);

    if (a_.ip.given) {
        std::uint32_t address = 0;
        ParseIpAddress(a_.ip.text, &address);
        if (!view.IsEnabled(kIpAddress)) {
            if (view.GetAddress(kIpAddress) != address)
                return badAnswer(a_.ip, "IP=" + a_.ip.text + " does not apply to port " + a_.port.text);
        } else {
            view.SetAddress(kIpAddress, address);
        }
    }
    auto exactly = [](const std::string& wanted) { return [wanted](const std::string& item) { return item == wanted; }; };
    if (auto stop = chooseItem(kBaudRateList, a_.baudRate, "BaudRate", exactly(a_.baudRate.text))) return stop;
    if (auto stop = chooseItem(kByteSizeList, a_.byteSize, "ByteSize", exactly(a_.byteSize.text))) return stop;
    if (auto stop = chooseItem(kStopBitsList, a_.stopBits, "StopBits", exactly(a_.stopBits.text))) return stop;
    // The page takes the first letter of the parity item.
    const char parity = a_.parity.given ? a_.parity.text[0] : 0;
    if (auto stop = chooseItem(kParityList, a_.parity, "Parity", [parity](const std::string& item) {
            return !item.empty() && std::toupper(static_cast<unsigned char>(item[0])) == parity;
        }))
        return stop;
    if (a_.protocol.given) {
        // The page knows a protocol only by the item's English text; a package whose
        // wording differs cannot set one, and the page's own choice stands if it is the one.
        const char letter = a_.protocol.text == "Xon/Xoff" ? 'x' : a_.protocol.text == "None" ? ' ' : 'p';
        if (w_.port.protocol != letter) {
            if (auto stop = chooseItem(kProtocolList, a_.protocol, "Protocol", exactly(a_.protocol.text))) return stop;
            if (w_.port.protocol != letter)
                return badAnswer(a_.protocol, "Protocol=" + a_.protocol.text + " does not apply to port " + a_.port.text);
        }
    }
    return check(w_.port, kRasterCheck, a_.raster, "Raster");
}

std::optional<Stop> Driver::run() {
    auto& f = w_.frame;
    f.attach(&frame());
    const bool opened = f.OnInitDialog();
    f.OnShowWindow();
    if (!opened || frame().closed()) return Stop{-1, "the wizard closed as it opened"};

    if (f.currentPage == kLicensePageIndex) {
        if (a_.accept.given) click(w_.license, a_.accept.text == "1" ? kAcceptRadio : kRejectRadio);
        if (!frame().IsEnabled(kNextButton))
            return Stop{cfg::kExitRefused, "the package's agreement was not accepted (the answer file needs Accept=1)"};
        if (auto stop = next(kPrinterTypePageIndex, "agreement page")) return stop;
    }
    if (auto stop = chooseModel()) return stop;
    if (auto stop = check(w_.printerType, kDefaultPrinterCheck, a_.setAsDefault, "Default")) return stop;
    if (auto stop = next(kInstallModePageIndex, "printer-type page")) return stop;
    if (auto stop = chooseMode()) return stop;
    if (auto stop = next(kOsPageIndex, "install-mode page")) return stop;
    if (auto stop = next(kPortPageIndex, "operating-system page")) return stop;
    if (auto stop = choosePort()) return stop;
    f.OnOk();  // Install
    return std::nullopt;
}

}  // namespace

int RunUnattendedInstall(SetupWizardParts& wizard, HeadlessWizardWindow& window, const Answers& answers,
                         const cfg::RunWindows& windows, std::string* outcome) {
    plat::Platform& p = wizard.state.platform;
    const std::optional<Stop> stop = Driver(wizard, window, answers).run();
    if (stop && stop->code >= 0) {
        cfg::LogShown(p, "setup: " + stop->why);
        *outcome = stop->why;
        return stop->code;
    }
    // Opened and refused at once, or went as far as Install: the wizard's own outcome.
    return WizardExitCode(wizard, windows.restartWithheld(), outcome);
}

}  // namespace setup
