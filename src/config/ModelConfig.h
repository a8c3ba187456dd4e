// Reader of one model file: per model, the driver for each target system (the model's OS
// section) and its ports and supported systems (its port section).
#pragma once
#include <string>

#include "config/OsClass.h"
#include "platform/Platform.h"

namespace cfg {

enum DriverVariant : int { kVariantStd = 0, kVariantGdi = 1 };

// The keys of "<model>.<suffix>", raw as read ("0" when absent); see IsNoFile.
struct ModelOsSection {
    std::string gdiDriverName;  // the driver name for Windows 98 and NT, any port
    std::string driverNameS, driverNameP, driverNameU, driverNameN;
    std::string printProcessor;
    int attributes = 0;
    std::string driverPath, dataFile, configFile, helpFile;
    std::string dataFileDllName, dataOemuiDll, dataOemuniDll, dataOemuniIni;
    std::string processorDllName;
    std::string controlFontFile;
    std::string usbInternalId;         // read on 32-bit Windows only
    bool needsUniversalFiles = false;  // GDI2KDDKDEV / STD2KDDKDEV starts with '1'
    int dependentListFlag = 0;         // GDI2KDDKDEV as a number, for both variants
};

// The keys of "<model>.PORT", each as a number.
struct ModelPortSection {
    int usbSupported = 0, lptSupported = 0, comSupported = 0, netSupported = 0;
    int lptDefault = 0, rasterVisible = 0;
    int systemNtSupported = 0, system2003Supported = 0, systemVistaSupported = 0;
    int system2008Supported = 0, systemWin7Supported = 0;
    // Each already taken from the older class's key when the package has none of its own.
    int systemWin10Supported = 0, system2012Supported = 0;
    int advancedSetup = 0;
    int baudRate = 0;

    // Windows 98, 2000 and XP have no key and are never refused.
    bool supportsOs(OsClass target) const;
};

// The language-file key that refuses a model for a class ("IDS_NOTSUPPORTWin7").
const char* NotSupportedMessageKey(OsClass target);

class ModelConfig {
public:
    // The file for the category and processor width, from the program's folder; an
    // unknown category leaves the path empty and every read gives the defaults.
    ModelConfig(plat::Platform& p, int category, bool is64BitWindows);

    const std::string& path() const { return path_; }

    // For Windows 8 and later the older class's section stands in when the model has none
    // of its own (see OsSections.h).
    ModelOsSection osSection(const std::string& model, OsClass target, int variant);
    ModelPortSection portSection(const std::string& model);
    // The port section of a model file already chosen.
    static ModelPortSection ReadPortSection(plat::Platform& p, const std::string& file, const std::string& section);

    // "<model>.XP" and "<model>.PORT", built in 200 bytes.
    static std::string OsSectionName(const std::string& model, OsClass target);
    static std::string PortSectionName(const std::string& model);

private:
    plat::Platform& platform_;
    bool is64_;
    std::string path_;
};

// The serial speeds of the port page; a model's BaudRate picks its entry, anything that
// is not in the list picks 38400.
constexpr int kBaudRates[10] = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
int BaudRateIndex(int baudRate);

}  // namespace cfg
