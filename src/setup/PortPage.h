// The port page: the ports the chosen model offers on this Windows and in this install
// mode, the serial line settings, the raster choice and the network address.
#pragma once
#include <cstdint>
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/InstallRequest.h"
#include "setup/WizardPage.h"

namespace setup {

class PortPage : public WizardPage {
public:
    using WizardPage::WizardPage;

    std::string portText;  // the chosen port, at most 99 characters
    int baudRate = 0;
    int byteSize = 8;
    double stopBits = 1.0;
    char parity = 'n';
    char protocol = 'p';
    int rasterPrinting = 0;
    int usbIdentifier = -1;
    int installMode = 1;  // 1 typical, 0 advanced; set by the install command before each building
    std::string lastModel = "PRINTER";

    // Also fills the fixed items of the baud-rate, byte-size and stop-bits lists: the
    // template carries none, so the window code must not add them.
    bool OnInitDialog() override;
    void OnShowWindow() override;
    bool SaveData() override;  // check box 1052 into rasterPrinting
    void OnCommand(int control, int notification) override;

    // Fills the port list for the model: the typical variant when installMode is 1, the
    // advanced one otherwise. Does nothing when model and mode are those of the last call.
    void BuildPortList(const std::string& model, cfg::OsClass os, int category, cfg::MessageBuffer& messages);
    void OnPortSelected();
    // The model's BaudRate as the frame puts it on the page: stored, and the list item
    // of its table selected.
    void PresetBaudRate(int rate);

    engine::ComPortSettings serialSettings() const;
    // Whether the user can set the raster choice: the check box is shown and enabled.
    bool rasterOffered();
    // The IP control's four fields (first in the highest byte) and its dotted text.
    std::uint32_t ipAddress();
    std::string ipAddressText();

private:
    void enableSerialControls(bool enabled);
    void takeSelectedPort();
    // Selects the first port whose name holds both parts; false when none does.
    bool selectFirstPortWith(const std::string& part, const std::string& alsoPart = std::string());
    std::string selectedText(int control);
};

}  // namespace setup
