#include "config/ModelConfig.h"

#include "config/IniValues.h"
#include "config/OsSections.h"
#include "config/PackageFiles.h"

namespace cfg {

bool ModelPortSection::supportsOs(OsClass target) const {
    switch (target) {
        case kOsNt4: return systemNtSupported != 0;
        case kOsServer2003: return system2003Supported != 0;
        case kOsVista: return systemVistaSupported != 0;
        case kOsServer2008: return system2008Supported != 0;
        case kOsWin7: return systemWin7Supported != 0;
        case kOsWin10: return systemWin10Supported != 0;
        case kOsServer2012: return system2012Supported != 0;
        default: return true;
    }
}

const char* NotSupportedMessageKey(OsClass target) {
    switch (target) {
        case kOsNt4: return "IDS_NOTSUPPORTNT";
        case kOsServer2003: return "IDS_NOTSUPPORT2003";
        case kOsVista: return "IDS_NOTSUPPORTVISTA";
        case kOsServer2008: return "IDS_NOTSUPPORT2008";
        case kOsWin7: return "IDS_NOTSUPPORTWin7";
        case kOsWin10: return "IDS_NOTSUPPORTWin10";
        case kOsServer2012: return "IDS_NOTSUPPORT2012";
        default: return nullptr;
    }
}

ModelConfig::ModelConfig(plat::Platform& p, int category, bool is64BitWindows) : platform_(p), is64_(is64BitWindows) {
    const std::string file = ModelFileName(category, is64BitWindows);
    if (!file.empty()) path_ = CutTo(ProgramFolder(p) + file, 200);
}

std::string ModelConfig::OsSectionName(const std::string& model, OsClass target) {
    return CutTo(model + OsSuffix(target), 200);
}

std::string ModelConfig::PortSectionName(const std::string& model) { return CutTo(model + ".PORT", 200); }

ModelOsSection ModelConfig::osSection(const std::string& model, OsClass target, int variant) {
    ModelOsSection s;
    if (path_.empty()) return s;
    const std::string section = ChooseOsSection(platform_, path_, model, target, 200).name;
    auto str = [&](const std::string& key, std::uint32_t size) {
        return ReadIniString(platform_, path_, section, key, size);
    };
    s.gdiDriverName = str("GDIDriverName", 50);
    s.driverNameS = str("DriverNameS", 50);
    s.driverNameP = str("DriverNameP", 50);
    s.driverNameU = str("DriverNameU", 50);
    s.driverNameN = str("DriverNameN", 50);
    s.attributes = LeadingInt(str("ATTRIBUTES", 50));
    s.controlFontFile = str("ControlFontFile", 200);
    if (!is64_) s.usbInternalId = str("USBInternalID", 200);
    s.dependentListFlag = LeadingInt(str("GDI2KDDKDEV", 10));
    if (variant != kVariantGdi && variant != kVariantStd) return s;

    const std::string prefix = variant == kVariantGdi ? "GDI" : "STD";
    s.printProcessor = str(prefix + "PrintProcessor", 50);
    s.driverPath = str(prefix + "DriverPath", 200);
    s.dataFile = str(prefix + "DataFile", 200);
    s.configFile = str(prefix + "ConfigFile", 200);
    s.helpFile = str(prefix + "HelpFile", 200);
    s.dataFileDllName = str(prefix + "DataFileDLLName", 200);
    s.dataOemuiDll = str(prefix + "DataOemuiDLL", 200);
    s.dataOemuniDll = str(prefix + "DataOemuniDLL", 200);
    s.dataOemuniIni = str(prefix + "DataOemuniini", 200);
    s.processorDllName = str(prefix + "ProcessorDLLName", 200);
    s.needsUniversalFiles = str(prefix + "2KDDKDEV", 5)[0] == '1';
    return s;
}

ModelPortSection ModelConfig::portSection(const std::string& model) {
    if (path_.empty()) return ModelPortSection{};
    return ReadPortSection(platform_, path_, PortSectionName(model));
}

ModelPortSection ModelConfig::ReadPortSection(plat::Platform& p, const std::string& file, const std::string& section) {
    ModelPortSection s;
    auto num = [&](const char* key) { return ReadIniNumber(p, file, section, key, 200); };
    s.usbSupported = num("USBSUPPORTED");
    s.lptSupported = num("LPTSUPPORTED");
    s.comSupported = num("COMSUPPORTED");
    s.netSupported = num("NETSUPPORTED");
    s.lptDefault = num("LPTDEFAULT");
    s.rasterVisible = num("RASTERVISIABLE");
    s.systemNtSupported = num("SystemNTSupported");
    s.system2003Supported = num("System2003Supported");
    s.systemVistaSupported = num("SystemVistaSupported");
    s.system2008Supported = num("System2008Supported");
    s.systemWin7Supported = num("SystemWin7Supported");
    s.systemWin10Supported = ReadSupportKey(p, file, section, kOsWin10);
    s.system2012Supported = ReadSupportKey(p, file, section, kOsServer2012);
    s.advancedSetup = num("AdvancedSetup");
    s.baudRate = num("BaudRate");
    return s;
}

int BaudRateIndex(int baudRate) {
    for (int i = 0; i < 10; ++i)
        if (kBaudRates[i] == baudRate) return i;
    return 7;
}

}  // namespace cfg
