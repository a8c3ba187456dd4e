#include "engine/DriverPackage.h"

#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/SpoolerEnvironment.h"

namespace engine {

plat::OptText EnvironmentFor(cfg::OsClass os, bool is64BitWindows) {
    return cfg::SpoolerEnvironment(os, is64BitWindows);
}

DriverPackage::DriverPackage(plat::Platform& p, bool is64BitWindows)
    : cfg::PackageConfig(p), platform_(p), is64_(is64BitWindows) {}

int DriverPackage::forcedVariant(int variant, int portKind) {
    if (gdiStdSign() == 0) return variant;
    if (portKind == kPortCom) return cfg::kVariantGdi;
    if (portKind == kPortUsb) return cfg::kVariantStd;
    return variant;
}

cfg::ModelOsSection DriverPackage::section(const std::string& model, cfg::OsClass os, int variant) {
    return cfg::ModelConfig(platform_, category, is64_).osSection(model, os, variant);
}

std::string DriverPackage::driverNameFor(const cfg::ModelOsSection& s, cfg::OsClass os, int portKind) {
    if (os == cfg::kOsWin9x || os == cfg::kOsNt4) return s.gdiDriverName;
    switch (portKind) {
        case kPortCom: return s.driverNameS;
        case kPortLpt: return s.driverNameP;
        case kPortUsb: return s.driverNameU;
        case kPortNet: return s.driverNameN;
        default: return std::string();
    }
}

DriverFileSet DriverPackage::readFileSet(const std::string& model, cfg::OsClass os, int variant, int portKind) {
    DriverFileSet files;
    variant = forcedVariant(variant, portKind);
    if (variant != cfg::kVariantGdi && variant != cfg::kVariantStd) return files;
    cfg::ModelOsSection s = section(model, os, variant);
    files.dataFile = s.dataFile;
    files.configFile = s.configFile;
    files.helpFile = s.helpFile;
    files.processorDll = s.processorDllName;
    files.driverPath = s.driverPath;
    files.dataFileDll = s.dataFileDllName;
    files.uiPlugin = s.dataOemuiDll;
    files.renderingPlugin = s.dataOemuniDll;
    files.pluginIni = s.dataOemuniIni;
    files.controlFontFile = s.controlFontFile;
    files.usbInternalId = s.usbInternalId;  // empty on 64-bit Windows
    return files;
}

bool DriverPackage::readDriverInfo(const std::string& model, cfg::OsClass os, int variant, int portKind,
                                   plat::DriverInfo3* info, cfg::MessageBuffer& messages) {
    *info = plat::DriverInfo3{};
    info->version = os == cfg::kOsWin9x ? 0 : os == cfg::kOsNt4 ? 2 : 3;
    // Windows 98 and NT keep the caller's variant; the forcing starts with Windows 2000.
    if (cfg::IsWin2000OrLater(os)) variant = forcedVariant(variant, portKind);
    cfg::ModelOsSection s = section(model, os, variant);
    info->name = cfg::CutTo(driverNameFor(s, os, portKind), 50);
    info->environment = EnvironmentFor(os, is64_);
    const bool known = variant == cfg::kVariantGdi || variant == cfg::kVariantStd;
    info->driverPath = known ? s.driverPath : std::string();
    info->dataFile = known ? s.dataFile : std::string();
    info->configFile = known ? s.configFile : std::string();
    // A help file of "0" names none: handing "0" on would make the spooler look for a file
    // of that name and refuse the driver.
    if (known && !cfg::IsNoFile(s.helpFile))
        info->helpFile = s.helpFile;
    else if (!known)
        info->helpFile = std::string();

    if (s.dependentListFlag != 0 && cfg::IsWin2000OrLater(os)) {
        std::vector<std::string> list = {*info->dataFile, "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"};
        for (const std::string* extra : {&s.dataFileDllName, &s.dataOemuiDll, &s.dataOemuniDll, &s.dataOemuniIni})
            if (!cfg::IsNoFile(*extra)) list.push_back(*extra);
        std::size_t bytes = 1;  // the closing empty name
        for (const auto& name : list) bytes += name.size() + 1;
        if (bytes > kDependentListSize) {
            // The name replaces the one "%s"; the text is data, never a format.
            std::string text = cfg::MessageTexts(platform_, cfg::Program::Setup).GetText("IDS_ERR_DEPENDENTFILES");
            const std::size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, *info->name);
            messages.set(text);
            return false;
        }
        info->dependentFiles = list;
    }
    return true;
}

plat::PrinterInfo2 DriverPackage::readPrinterInfo(const std::string& model, cfg::OsClass os, int variant,
                                                  int portKind) {
    plat::PrinterInfo2 info;
    if (cfg::IsWin2000OrLater(os)) variant = forcedVariant(variant, portKind);
    cfg::ModelOsSection s = section(model, os, variant);
    info.driverName = cfg::CutTo(driverNameFor(s, os, portKind), 50);
    if (variant == cfg::kVariantGdi || variant == cfg::kVariantStd) {
        info.printProcessor = s.printProcessor;
        info.attributes = static_cast<std::uint32_t>(s.attributes);
    } else {
        info.printProcessor = std::string();
    }
    info.printerName = cfg::CutTo(model, 200);
    return info;
}

PortMonitorSet DriverPackage::readPortMonitors(cfg::OsClass os) {
    cfg::PortMonitors m = portMonitors(os);
    PortMonitorSet set;
    set.serial = {m.comName, EnvironmentFor(os, is64_), m.comDll};
    set.usb = {m.usbName, EnvironmentFor(os, is64_), m.usbDll};
    set.serialUiDll = m.comUiDll;
    set.usbUiDll = m.usbUiDll;
    set.serialVersion = m.comVersion;
    set.usbVersion = m.usbVersion;
    return set;
}

LanguageMonitorDef DriverPackage::readLanguageMonitor(cfg::OsClass os, int portKind) {
    LanguageMonitorDef def;
    def.monitor = {std::string(), EnvironmentFor(os, is64_), std::string()};
    if (portKind != kPortUsb) return def;
    cfg::PortMonitors m = portMonitors(os);
    def.monitor.name = m.languageName;
    def.monitor.dllName = m.languageDll;
    def.version = m.languageVersion;
    return def;
}

bool DriverPackage::needsUniversalDriverFiles(const std::string& model, cfg::OsClass os, int variant) {
    if (variant != cfg::kVariantGdi && variant != cfg::kVariantStd) return false;
    return section(model, os, variant).needsUniversalFiles;
}

}  // namespace engine
