// DRVCONFIG\setup.ini: the model entries, the package switches, the port monitors per
// Windows class and the print processor version.
#include <set>

#include "config/IniValues.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "tools/drvpkg/Checks.h"

namespace drvpkg {

namespace {

const char kFile[] = "DRVCONFIG\\setup.ini";

bool isNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

const std::vector<KeySpec>& monitorKeys() {
    static const std::vector<KeySpec> keys = {
        {"COMMONitorPName", 50},     {"COMMONitorPDLLName", 200}, {"COMMONitorPUIDLLName", 50},
        {"COMMONitorVersion", 10},   {"USBMONitorPName", 50},     {"USBMONitorPDLLName", 200},
        {"USBMONitorPUIDLLName", 50}, {"USBMONitorVersion", 10},  {"USBLMONitorName", 50},
        {"USBLMONitorDLLName", 200}, {"USBLMONitorVersion", 10}};
    return keys;
}

void checkEntries(CheckContext& ctx, const sim::IniFile* ini, cfg::PackageConfig& config) {
    const std::string file = PackageFolder::shown(kFile);
    const int count = config.deviceCount();
    const int read = config.modelEntryCount();
    const int countLine = PackageFolder::line(ini, "DEVICENAME", "DEVICENUMBER");
    if (count != read)
        ctx.out.error(file, countLine, "DEVICENUMBER=" + std::to_string(count) + " is outside 0 to " +
                                           std::to_string(cfg::kMaxModelEntries) + "; the programs read " +
                                           std::to_string(read) + " entries");
    for (int n = 1; n <= read; ++n) {
        const auto* key = ini->find("DEVICENAME", std::to_string(n));
        if (!key) {
            ctx.out.error(file, countLine, "DEVICENUMBER=" + std::to_string(count) + " but entry " + std::to_string(n) +
                                               " is missing");
            continue;
        }
        std::string name;
        const int category = config.deviceEntry(n, &name);
        if (category < 0)
            ctx.out.warning(file, key->line, "entry " + std::to_string(n) + " \"" + name +
                                                 "\" has no category suffix (-ReceiptPrinter, -TicketPrinter, "
                                                 "-LabelPrinter, -EmbeddedPrinter); the wizard never lists it");
        else
            ctx.models.push_back({name, category, key->line});
    }
    for (const auto& key : ini->findSection("DEVICENAME")->keys)
        if (isNumber(key.name) && cfg::LeadingInt(key.name) > read && cfg::LeadingInt(key.name) > 0)
            ctx.out.error(file, key.line, "entry " + key.name + " lies beyond DEVICENUMBER=" + std::to_string(count) +
                                              " and is never read");

    if (const auto* key = ini->find("DEVICENAME", "DEFAULTNAME")) {
        std::string name;
        const int number = cfg::LeadingInt(PackageFolder::value(ini, "DEVICENAME", "DEFAULTNAME"));
        if (number < 1 || number > read || config.defaultEntry(&name) < 0)
            ctx.out.warning(file, key->line, "DEFAULTNAME=" + std::to_string(number) +
                                                 " names no model entry; no model is preselected");
    }
}

void checkSwitches(CheckContext& ctx, const sim::IniFile* ini, cfg::PackageConfig& config) {
    const std::string file = PackageFolder::shown(kFile);
    const int widths = config.supported32Or64();
    ctx.width[0] = widths != 2;
    ctx.width[1] = widths != 1;
    if (ini->find("DEVICENAME", "Supported32OR64") && widths != 0 && widths != 1 && widths != 2)
        ctx.out.warning(file, PackageFolder::line(ini, "DEVICENAME", "Supported32OR64"),
                        "Supported32OR64=" + std::to_string(widths) + " is neither 1 (32-bit only) nor 2 (64-bit "
                                                                      "only): the package claims both widths");
    if (config.loadLicense() != 0 && !ctx.package.exists("License.txt"))
        ctx.out.error(file, PackageFolder::line(ini, "DEVICENAME", "LOADLICENSE"),
                      "LOADLICENSE asks for the agreement page but License.txt is missing");
}

}  // namespace

void CheckPackageFile(CheckContext& ctx) {
    const sim::IniFile* ini = ctx.package.ini(kFile);
    const std::string file = PackageFolder::shown(kFile);
    if (!ini) {
        ctx.out.error(file, 0, "missing: every key reads as 0 and the package has no model");
        return;
    }
    if (!ini->findSection("DEVICENAME")) {
        ctx.out.error(file, 0, "no section [DEVICENAME]: the package has no model");
        return;
    }
    cfg::PackageConfig config(ctx.package.platform());
    checkEntries(ctx, ini, config);
    checkSwitches(ctx, ini, config);
    ctx.checkRepeats(kFile);

    std::set<std::string> usbPorts;
    for (const auto& m : ctx.models) {
        for (char n = '1'; n <= '4'; ++n) usbPorts.insert("USB_" + m.name + "_" + n);
        // The KLM-C5 family shares the ports of its base name.
        if (m.name.compare(0, 6, "KLM-C5") == 0)
            for (char n = '1'; n <= '4'; ++n) usbPorts.insert(std::string("USB_KLM-C5_") + n);
    }
    const std::vector<KeySpec> deviceKeys = {{"DEVICENUMBER", 50}, {"DEFAULTNAME", 260}, {"Supported32OR64", 256},
                                             {"LOADLICENSE", 256}, {"LANGUAGE", 256},    {"GDISTDSign", 256}};
    for (const auto& section : ini->sections()) {
        if (section.name.empty() && section.keys.empty()) continue;
        std::vector<KeySpec> known;
        if (cfg::EqualsNoCase(section.name, "DEVICENAME")) {
            known = deviceKeys;
            for (const auto& key : section.keys)
                if (isNumber(key.name)) known.push_back({key.name, 200});
        } else if (cfg::EqualsNoCase(section.name, "ProcessorVersion")) {
            known = {{"DriverVersion", 50}};
        } else if (cfg::EqualsNoCase(section.name, "SUPPORTED-USB-DEVICE")) {
            for (const auto& key : section.keys)
                for (const auto& port : usbPorts)
                    if (cfg::EqualsNoCase(port, key.name)) known.push_back({key.name, 256});
        } else {
            bool monitors = false;
            for (cfg::OsClass os : ctx.classes)
                monitors = monitors || cfg::EqualsNoCase(section.name, std::string("COMMON-MONITOR") + cfg::OsSuffix(os));
            if (!monitors) {
                ctx.out.warning(file, section.line, section.name.empty() ? "keys before the first section are never read"
                                                                         : "no program reads section [" + section.name + "]");
                continue;
            }
            known = monitorKeys();
        }
        ctx.checkKeys(kFile, section, known);
    }
}

}  // namespace drvpkg
