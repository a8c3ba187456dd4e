// Turns the package and model configuration into the records the spooler calls take:
// the driver (DRIVER_INFO_3), the printer (PRINTER_INFO_2), the monitors (MONITOR_INFO_2)
// and the table of driver files to copy.
#pragma once
#include <string>

#include "config/MessageBuffer.h"
#include "config/ModelConfig.h"
#include "config/OsClass.h"
#include "config/PackageConfig.h"
#include "platform/Platform.h"
#include "platform/SpoolerApi.h"

namespace engine {

enum PortKind : int { kPortCom = 0, kPortLpt = 1, kPortUsb = 2, kPortNet = 3 };

// Raw key values ("0" for an absent key), in the order the files are staged.
struct DriverFileSet {
    std::string driverPath, dataFile, configFile, helpFile, processorDll;
    std::string dataFileDll, renderingPlugin, pluginIni, uiPlugin, controlFontFile, usbInternalId;
};

struct PortMonitorSet {
    plat::MonitorInfo2 serial, usb;
    std::string serialUiDll, usbUiDll;
    int serialVersion = 0, usbVersion = 0;
};

struct LanguageMonitorDef {
    plat::MonitorInfo2 monitor;  // name and DLL empty when not configured
    int version = 0;
    bool configured() const { return monitor.dllName && !monitor.dllName->empty(); }
};

// The dependent-file list travels in a 200-byte buffer of names, each NUL-terminated,
// closed by an empty name.
constexpr std::size_t kDependentListSize = 200;

class DriverPackage : public cfg::PackageConfig {
public:
    DriverPackage(plat::Platform& p, bool is64BitWindows);

    // Set by the caller before every read of a model section.
    int category = -1;

    // GDISTDSign forces the variant by port: serial GDI, USB STD.
    int forcedVariant(int variant, int portKind);

    DriverFileSet readFileSet(const std::string& model, cfg::OsClass os, int variant, int portKind);
    // False (with a message) when the dependent-file list does not fit its buffer.
    bool readDriverInfo(const std::string& model, cfg::OsClass os, int variant, int portKind,
                        plat::DriverInfo3* info, cfg::MessageBuffer& messages);
    // Fills printer name, driver name, print processor and attributes only.
    plat::PrinterInfo2 readPrinterInfo(const std::string& model, cfg::OsClass os, int variant, int portKind);
    PortMonitorSet readPortMonitors(cfg::OsClass os);
    LanguageMonitorDef readLanguageMonitor(cfg::OsClass os, int portKind);
    bool needsUniversalDriverFiles(const std::string& model, cfg::OsClass os, int variant);

private:
    cfg::ModelOsSection section(const std::string& model, cfg::OsClass os, int variant);
    static std::string driverNameFor(const cfg::ModelOsSection& s, cfg::OsClass os, int portKind);
    plat::Platform& platform_;
    bool is64_;
};

// The environment every spooler call of an installation names (see SpoolerEnvironment).
plat::OptText EnvironmentFor(cfg::OsClass os, bool is64BitWindows);

}  // namespace engine
