// The model files: per model and per Windows class the package claims, the driver section
// and its files; per model the port section; and the port monitors those ports need.
#include <map>
#include <set>

#include "config/IniValues.h"
#include "config/ModelConfig.h"
#include "config/OsSections.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "engine/DriverPackage.h"
#include "engine/SystemFileStaging.h"
#include "tools/drvpkg/Checks.h"

namespace drvpkg {

namespace {

const char kPackageFile[] = "DRVCONFIG\\setup.ini";
const char* const kVariantPrefixes[] = {"STD", "GDI"};  // by DriverVariant
const char* const kFileKeys[] = {"DriverPath",    "DataFile",      "ConfigFile",   "HelpFile",        "DataFileDLLName",
                                 "DataOemuiDLL", "DataOemuniDLL", "DataOemuniini", "ProcessorDLLName"};
const char* const kPortKindNames[] = {"serial", "parallel", "USB", "network"};
const char* const kSupportKeys[] = {"COMSUPPORTED", "LPTSUPPORTED", "USBSUPPORTED", "NETSUPPORTED"};
const char* const kDriverNameKeys[] = {"DriverNameS", "DriverNameP", "DriverNameU", "DriverNameN"};

std::vector<KeySpec> osSectionKeys() {
    std::vector<KeySpec> keys = {{"GDIDriverName", 50}, {"DriverNameS", 50},     {"DriverNameP", 50},
                                 {"DriverNameU", 50},   {"DriverNameN", 50},     {"ATTRIBUTES", 50},
                                 {"ControlFontFile", 200}, {"USBInternalID", 200}, {"GDI2KDDKDEV", 5},
                                 {"STD2KDDKDEV", 5}};
    for (const char* prefix : kVariantPrefixes) {
        keys.push_back({std::string(prefix) + "PrintProcessor", 50});
        for (const char* k : kFileKeys) keys.push_back({prefix + std::string(k), 200});
    }
    return keys;
}

std::vector<KeySpec> portSectionKeys() {
    std::vector<KeySpec> keys;
    for (const char* k : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED", "NETSUPPORTED", "LPTDEFAULT", "RASTERVISIABLE",
                          "SystemNTSupported", "System2003Supported", "SystemVistaSupported", "System2008Supported",
                          "SystemWin7Supported", "SystemWin10Supported", "System2012Supported", "AdvancedSetup",
                          "BaudRate"})
        keys.push_back({k, 200});
    return keys;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return s;
}

// The support key and the section the programs read for a class, by the programs' own
// rules (from Windows 8 on, the older class's when the package has none of its own).
std::string supportKeyOf(plat::Platform& p, const std::string& file, const std::string& portSection, cfg::OsClass os) {
    const char* key = cfg::SupportKeyInUse(p, file, portSection, os);
    return key ? key : std::string();
}

std::string readSectionName(plat::Platform& p, const std::string& file, const std::string& base, cfg::OsClass os) {
    return cfg::ChooseOsSection(p, file, base, os, 200).name;
}

class ModelFileCheck {
public:
    ModelFileCheck(CheckContext& ctx) : ctx_(ctx) {}
    void run();

private:
    void model(const PackageModel& m, bool is64);
    void osSection(const PackageModel& m, bool is64, cfg::OsClass os, const cfg::ModelPortSection& ports,
                   const std::string& file);
    void fileKey(const std::string& file, const std::string& section, const std::string& key, bool is64,
                 cfg::OsClass os, bool required);
    void monitors();
    void unknownSections(int category, bool is64);

    CheckContext& ctx_;
    // Port kinds offered per class, with the models offering them, for the monitor check.
    std::map<std::pair<cfg::OsClass, int>, std::set<std::string>> offered_;
    std::set<std::pair<cfg::OsClass, bool>> claimed_;
    std::set<std::string> missingFiles_;
};

void ModelFileCheck::fileKey(const std::string& file, const std::string& section, const std::string& key, bool is64,
                             cfg::OsClass os, bool required) {
    const sim::IniFile* ini = ctx_.package.ini(file);
    const int line = PackageFolder::line(ini, section, key);
    const std::string shown = PackageFolder::shown(file);
    const auto* k = ini->find(section, key);
    const std::string v = PackageFolder::value(ini, section, key);
    if (!k && required) {
        if (key.find("HelpFile") != std::string::npos)
            ctx_.out.warning(shown, line, "[" + section + "] has no " + key + ": it reads as 0, no help file (write " +
                                              key + "=0 to say so)");
        else
            ctx_.out.error(shown, line, "[" + section + "] has no " + key + ": the driver is registered with a file named \"0\"");
        return;
    }
    if (k && v.empty() && required) {
        ctx_.out.error(shown, line, key + " is empty: the installation stops with IDS_ERR_LOSTDRIVERFILE (write " + key +
                                        "=0 for no file)");
        return;
    }
    if (cfg::IsNoFile(v)) return;
    // Windows 2000 and later bring the universal driver's files themselves.
    if (os >= cfg::kOsWin2000 && engine::IsUniversalDriverFile(upper(v))) return;
    if (!ctx_.binaryPresent(is64, v))
        ctx_.out.error(shown, line, key + "=" + v + " names a file that " + (is64 ? "W64" : "W32") + " lacks");
}

void ModelFileCheck::osSection(const PackageModel& m, bool is64, cfg::OsClass os, const cfg::ModelPortSection& ports,
                               const std::string& file) {
    const sim::IniFile* ini = ctx_.package.ini(file);
    const std::string shown = PackageFolder::shown(file);
    const std::string section = readSectionName(ctx_.package.platform(), file, m.name, os);
    const int kinds[] = {ports.comSupported, ports.lptSupported, ports.usbSupported, ports.netSupported};
    for (int kind = 0; kind < 4; ++kind)
        if (kinds[kind]) offered_[{os, kind}].insert(m.name);
    claimed_.insert({os, is64});

    // The driver name each offered port kind gets.
    for (int kind = 0; kind < 4; ++kind) {
        if (!kinds[kind]) continue;
        const std::string key = os <= cfg::kOsNt4 ? "GDIDriverName" : kDriverNameKeys[kind];
        if (cfg::IsNoFile(PackageFolder::value(ini, section, key)))
            ctx_.out.error(shown, PackageFolder::line(ini, section, key),
                           "[" + section + "] has no " + key + ": a printer on a " + kPortKindNames[kind] +
                               " port gets a driver without a name");
    }
    for (int variant : {cfg::kVariantStd, cfg::kVariantGdi}) {
        const std::string prefix = kVariantPrefixes[variant];
        if (cfg::IsNoFile(PackageFolder::value(ini, section, prefix + "PrintProcessor")))
            ctx_.out.error(shown, PackageFolder::line(ini, section, prefix + "PrintProcessor"),
                           "[" + section + "] has no " + prefix + "PrintProcessor");
        for (int i = 0; i < 9; ++i) fileKey(file, section, prefix + kFileKeys[i], is64, os, i < 4);
        const bool universal = PackageFolder::value(ini, section, prefix + "2KDDKDEV")[0] == '1';
        const auto* resource = ini->find(section, prefix + "DataFileDLLName");
        if (universal && resource && PackageFolder::value(ini, section, resource->name).empty())
            ctx_.out.error(shown, resource->line, resource->name + " is empty while " + prefix +
                                                      "2KDDKDEV=1: the installation stops with IDS_ERR_LOSTDRIVERFILE");
        // The dependent-file list, built by the engine's own reader.
        engine::DriverPackage package(ctx_.package.platform(), is64);
        package.category = m.category;
        for (int kind = 0; kind < 4; ++kind) {
            if (!kinds[kind]) continue;
            plat::DriverInfo3 info;
            cfg::MessageBuffer messages;
            if (package.readDriverInfo(m.name, os, variant, kind, &info, messages)) continue;
            ctx_.out.error(shown, PackageFolder::line(ini, section, prefix + "DataFile"),
                               "[" + section + "] " + prefix + " dependent files exceed " +
                                   std::to_string(engine::kDependentListSize) + " bytes: \"" + messages.text() + "\"");
            break;  // the same list for every port kind
        }
    }
    fileKey(file, section, "ControlFontFile", is64, os, false);
    if (!is64) fileKey(file, section, "USBInternalID", is64, os, false);
}

void ModelFileCheck::model(const PackageModel& m, bool is64) {
    const std::string file = cfg::ModelFileName(m.category, is64);
    const std::string entryFile = PackageFolder::shown(kPackageFile);
    const sim::IniFile* ini = ctx_.package.ini(file);
    const std::string width = is64 ? "64-bit" : "32-bit";
    if (!ini) {
        // One finding per file, at the first model that needs it.
        if (!missingFiles_.insert(file).second) return;
        std::string hint;
        if (m.category == cfg::kLabel) {
            std::string misspelt = file;
            misspelt.replace(misspelt.find("lable"), 5, "label");
            if (ctx_.package.exists(misspelt)) hint = " (" + PackageFolder::shown(misspelt) + " is there: the programs spell it \"lable\")";
        }
        ctx_.out.error(entryFile, m.entryLine, PackageFolder::shown(file) + " is missing, and the package claims " + width +
                                                   " Windows (Supported32OR64)" + hint);
        return;
    }
    const std::string shown = PackageFolder::shown(file);
    const std::string portName = cfg::ModelConfig::PortSectionName(m.name);
    if (!ini->findSection(portName)) {
        ctx_.out.error(entryFile, m.entryLine, m.name + " has no section [" + portName + "] in " + shown +
                                                   ": it offers no port and supports no Windows with a support key");
        return;
    }
    const cfg::ModelPortSection ports = cfg::ModelConfig(ctx_.package.platform(), m.category, is64).portSection(m.name);
    if (!ports.comSupported && !ports.lptSupported && !ports.usbSupported && !ports.netSupported)
        ctx_.out.error(shown, PackageFolder::line(ini, portName), m.name + " offers no port (start-up stops with PortNull)");
    if (ports.comSupported && cfg::kBaudRates[cfg::BaudRateIndex(ports.baudRate)] != ports.baudRate)
        ctx_.out.warning(shown, PackageFolder::line(ini, portName, "BaudRate"),
                         (ini->find(portName, "BaudRate") ? "BaudRate=" + std::to_string(ports.baudRate) + " is not in"
                                                          : "[" + portName + "] has no BaudRate, a speed not in") +
                             " the port page's list; it preselects 38400");

    for (cfg::OsClass os : ctx_.classes) {
        if (!ctx_.classInWidth(os, is64)) continue;
        const std::string section = readSectionName(ctx_.package.platform(), file, m.name, os);
        const bool present = ini->findSection(section) != nullptr;
        const std::string key = supportKeyOf(ctx_.package.platform(), file, portName, os);
        const bool keyed = !cfg::ModelPortSection{}.supportsOs(os);
        const bool claimed = keyed ? ports.supportsOs(os) : (present || os >= cfg::kOsWin2000);
        if (!claimed) continue;
        if (!present) {
            ctx_.out.error(shown, PackageFolder::line(ini, portName, key),
                           keyed ? key + " claims " + OsName(os) + " for " + m.name + " but there is no section [" + section + "]"
                                 : m.name + " can be installed on " + OsName(os) + " but there is no section [" + section +
                                       "]: every driver key reads as 0");
            continue;
        }
        osSection(m, is64, os, ports, file);
    }
}

void ModelFileCheck::monitors() {
    const sim::IniFile* ini = ctx_.package.ini(kPackageFile);
    const std::string shown = PackageFolder::shown(kPackageFile);
    cfg::PackageConfig config(ctx_.package.platform());
    // One finding per section and port kind, naming every class that reads the section
    // (Windows 8 and later read the older classes' when they have none of their own).
    struct Lack {
        std::set<std::string> models;
        std::string windows;
    };
    std::map<std::pair<std::string, int>, Lack> lacks;
    for (cfg::OsClass os : ctx_.classes) {
        const std::string section = readSectionName(ctx_.package.platform(), kPackageFile, "COMMON-MONITOR", os);
        const cfg::PortMonitors m = config.portMonitors(os);
        const std::pair<int, std::string> needs[] = {{0, m.comName}, {2, m.usbName}};
        for (const auto& need : needs) {
            auto it = offered_.find({os, need.first});
            if (it == offered_.end() || !cfg::IsNoFile(need.second)) continue;
            Lack& lack = lacks[{section, need.first}];
            lack.models.insert(it->second.begin(), it->second.end());
            lack.windows += (lack.windows.empty() ? "" : ", ") + OsName(os);
        }
        for (bool is64 : {false, true}) {
            if (!claimed_.count({os, is64})) continue;
            for (const char* key : {"COMMONitorPDLLName", "COMMONitorPUIDLLName", "USBMONitorPDLLName",
                                    "USBMONitorPUIDLLName", "USBLMONitorDLLName"}) {
                const std::string v = PackageFolder::value(ini, section, key);
                if (!cfg::IsNoFile(v) && !ctx_.binaryPresent(is64, v))
                    ctx_.out.error(shown, PackageFolder::line(ini, section, key),
                                   std::string(key) + "=" + v + " names a file that " + (is64 ? "W64" : "W32") + " lacks");
            }
        }
    }
    for (const auto& [where, lack] : lacks) {
        const std::string& section = where.first;
        const int kind = where.second;
        const int sectionLine = PackageFolder::line(ini, section);
        std::string models;
        for (const auto& name : lack.models) models += (models.empty() ? "" : ", ") + name;
        ctx_.out.error(shown, sectionLine ? sectionLine : PackageFolder::line(ini, "DEVICENAME"),
                       std::string("[") + section + "] configures no " + kPortKindNames[kind] + " port monitor (" +
                           (kind == 0 ? "COMMONitorPName" : "USBMONitorPName") + "), but " + models + " offer " +
                           kPortKindNames[kind] + " ports on " + lack.windows);
    }
}

// Sections that belong to no model of the file's category, or to no class, are never read.
void ModelFileCheck::unknownSections(int category, bool is64) {
    const std::string file = cfg::ModelFileName(category, is64);
    const sim::IniFile* ini = ctx_.package.ini(file);
    if (!ini) return;
    ctx_.checkRepeats(file);
    static const std::vector<KeySpec> osKeys = osSectionKeys(), portKeys = portSectionKeys();
    for (const auto& section : ini->sections()) {
        const std::vector<KeySpec>* keys = nullptr;
        for (const auto& m : ctx_.models) {
            if (m.category != category) continue;
            if (cfg::EqualsNoCase(section.name, cfg::ModelConfig::PortSectionName(m.name))) keys = &portKeys;
            for (cfg::OsClass os : ctx_.classes)
                if (cfg::EqualsNoCase(section.name, cfg::ModelConfig::OsSectionName(m.name, os))) keys = &osKeys;
        }
        if (keys)
            ctx_.checkKeys(file, section, *keys);
        else if (!section.name.empty() || !section.keys.empty())
            ctx_.out.warning(PackageFolder::shown(file), section.line,
                             "no program reads section [" + section.name + "]: it names no model of the package's entries "
                             "with a known suffix");
    }
}

void ModelFileCheck::run() {
    for (bool is64 : {false, true}) {
        if (!ctx_.width[is64]) continue;
        for (const auto& m : ctx_.models) model(m, is64);
        for (int category = 0; category < 4; ++category) unknownSections(category, is64);
    }
    monitors();
}

}  // namespace

void CheckModelFiles(CheckContext& ctx) {
    if (!ctx.package.ini(kPackageFile)) return;
    ModelFileCheck(ctx).run();
}

}  // namespace drvpkg
