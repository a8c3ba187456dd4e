#include "engine/InstallChoices.h"

#include "config/IniValues.h"
#include "engine/UsbPrinter.h"

namespace engine {

int PortKindOf(const std::string& portName) {
    if (portName.find("USB_") != std::string::npos) return kPortUsb;
    if (portName.find("COM") != std::string::npos) return kPortCom;
    if (portName.find("LPT") != std::string::npos) return kPortLpt;
    if (portName.find("NET") != std::string::npos) return kPortNet;
    return -1;
}

bool FillInstallRequest(EngineContext& ctx, InstallRequest& r, const InstallChoices& c, cfg::MessageBuffer& messages) {
    r.category = c.category;
    r.package.category = c.category;
    r.targetOs = c.targetOs;
    r.variant = c.variant;
    r.modelName = cfg::CutTo(c.model, kModelNameSize);
    r.portName = cfg::CutTo(c.portName, kPortNameSize);
    r.alternateUsbPortName.clear();
    r.setAsDefault = c.setAsDefault;
    r.serial = c.serial;
    r.portKind = PortKindOf(r.portName);
    if (r.portKind < 0) {
        messages.set(ctx.text("IDS_ERR_NOSUPPORTINTERFACE"));
        return false;
    }
    r.files = r.package.readFileSet(r.modelName, r.targetOs, r.variant, r.portKind);
    if (!r.package.readDriverInfo(r.modelName, r.targetOs, r.variant, r.portKind, &r.driver, messages)) return false;
    r.printer = r.package.readPrinterInfo(r.modelName, r.targetOs, r.variant, r.portKind);
    r.printer.portName = r.portName;
    // Every spooler takes a printer with the RAW data type, and some refuse one without.
    r.printer.datatype = std::string("RAW");

    if (ctx.is64BitWindows)
        r.languageMonitor = plat::MonitorInfo2{std::string(), std::string(), std::string()};
    else
        r.languageMonitor = r.package.readLanguageMonitor(r.targetOs, r.portKind).monitor;
    r.driver.monitorName =
        (!ctx.is64BitWindows && r.portKind == kPortUsb) ? r.languageMonitor.name.value_or("") : std::string();

    static const char* const kMarks[] = {"(S)", "(P)", "", "(E)"};
    std::string name = r.printer.printerName.value_or("");
    if (r.portKind == kPortUsb)
        name = UsbInstallSteps::PrinterNameMarks(name, r.portName);
    else
        name += kMarks[r.portKind];
    r.printer.printerName = cfg::CutTo(name, kPrinterNameSize);
    return true;
}

}  // namespace engine
