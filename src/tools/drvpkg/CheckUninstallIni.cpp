// Uninstall.ini: the names the uninstaller may remove, held against what the package
// installs and against Windows' own monitors and processors, and the sections per class.
#include <set>

#include "config/IniValues.h"
#include "config/ModelConfig.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "tools/drvpkg/Checks.h"
#include "uninstall/UninstallIni.h"

namespace drvpkg {

namespace {

struct Installed {
    std::set<std::string> drivers, monitors, processors;
};

Installed whatThePackageInstalls(CheckContext& ctx) {
    Installed in;
    for (bool is64 : {false, true})
        for (int category = 0; category < 4; ++category) {
            const sim::IniFile* ini = ctx.package.ini(cfg::ModelFileName(category, is64));
            if (!ini) continue;
            for (const auto& s : ini->sections())
                for (const auto& k : s.keys) {
                    const std::string v = cfg::CutTo(PackageFolder::value(ini, s.name, k.name), 50);
                    if (cfg::IsNoFile(v)) continue;
                    if (StartsWithNoCase(k.name, "DriverName") || cfg::EqualsNoCase(k.name, "GDIDriverName")) in.drivers.insert(v);
                    if (cfg::EqualsNoCase(k.name, "GDIPrintProcessor") || cfg::EqualsNoCase(k.name, "STDPrintProcessor"))
                        in.processors.insert(v);
                }
        }
    cfg::PackageConfig config(ctx.package.platform());
    for (cfg::OsClass os : ctx.classes) {
        const cfg::PortMonitors m = config.portMonitors(os);
        for (const std::string* name : {&m.comName, &m.usbName, &m.languageName})
            if (!cfg::IsNoFile(*name)) in.monitors.insert(*name);
    }
    return in;
}

struct List {
    const char* section;
    const char* countKey;
    const char* base;
    const std::set<std::string>* installed;
    const char* what;
    bool windowsOwn;  // monitors and processors: Windows has its own
};

}  // namespace

void CheckUninstallIni(CheckContext& ctx) {
    const std::string file = ctx.package.exists("Uninstall.ini") ? "Uninstall.ini" : "DRVCONFIG\\Uninstall.ini";
    const std::string shown = PackageFolder::shown(file);
    const sim::IniFile* ini = ctx.package.ini(file);
    if (!ini) {
        ctx.out.error(shown, 0, "missing: the uninstaller stops with IDS_ERR_NOINI");
        return;
    }
    ctx.checkRepeats(file);
    const Installed installed = whatThePackageInstalls(ctx);
    const List lists[] = {{"QXPRINTER", "PRINTERNUM", "PRINTERNAME", &installed.drivers, "printer driver", false},
                          {"QXMONITOR", "MonitorNUM", "MONITORNAME", &installed.monitors, "port monitor", true},
                          {"QXPROC", "PROCNUM", "PROCNAME", &installed.processors, "print processor", true}};
    std::set<std::string> sections;  // the sections the uninstaller reads, by their cut names
    for (const List& list : lists) {
        const int count = std::min(cfg::LeadingInt(PackageFolder::value(ini, list.section, list.countKey)), uninstall::kMaxEntries);
        std::vector<KeySpec> known = {{list.countKey, uninstall::kIniValueSize}};
        for (int i = 0; i < count; ++i) {
            const std::string key = uninstall::EntryKey(list.base, i);
            known.push_back({key, uninstall::kIniValueSize});
            const auto* k = ini->find(list.section, key);
            const std::string entry = cfg::CutTo(PackageFolder::value(ini, list.section, key), uninstall::kIniValueSize);
            if (!k || uninstall::NamesNothing(entry)) {
                ctx.out.warning(shown, PackageFolder::line(ini, list.section, key),
                                "[" + std::string(list.section) + "] " + key + (k ? " names nothing" : " is missing") +
                                    " though " + list.countKey + "=" + std::to_string(count));
                continue;
            }
            bool matches = false;
            for (const auto& name : *list.installed) {
                if (name.find(entry) == std::string::npos) continue;
                matches = true;
                if (list.windowsOwn)
                    for (cfg::OsClass os : ctx.classes)
                        sections.insert(list.base == std::string("MONITORNAME") ? uninstall::MonitorSectionName(name, os)
                                                                                : uninstall::ProcessorSectionName(name, os));
            }
            if (!matches)
                ctx.out.warning(shown, k->line, "\"" + entry + "\" matches no " + list.what + " the package installs");
            if (!list.windowsOwn) continue;
            std::vector<std::string> own = uninstall::WindowsOwnComponents();
            own.push_back("Microsoft ");
            for (const auto& name : own)
                if (name.find(entry) != std::string::npos) {
                    ctx.out.warning(shown, k->line, "\"" + entry + "\" also matches Windows' own \"" + name +
                                                        "\", which the uninstaller never removes");
                    break;
                }
        }
        if (const auto* s = ini->findSection(list.section)) ctx.checkKeys(file, *s, known);
    }
    const std::vector<KeySpec> sectionKeys = {{"MonitorPDLLName", uninstall::kIniValueSize},
                                              {"MONitorPUIDLLName", uninstall::kIniValueSize},
                                              {"USBMONitorDLLName", uninstall::kIniValueSize},
                                              {"USBMONitorName", uninstall::kIniValueSize},
                                              {"ProcessorDllName", uninstall::kIniValueSize}};
    for (const auto& s : ini->sections()) {
        bool isList = false;
        for (const List& list : lists) isList = isList || cfg::EqualsNoCase(s.name, list.section);
        if (isList || (s.name.empty() && s.keys.empty())) continue;
        if (s.name.size() >= uninstall::kIniValueSize) {
            ctx.out.error(shown, s.line, "section name [" + s.name + "] is " + std::to_string(s.name.size()) +
                                             " characters; the uninstaller looks for names cut to " +
                                             std::to_string(uninstall::kIniValueSize - 1) + " and never finds it");
            continue;
        }
        bool read = false;
        for (const auto& name : sections) read = read || cfg::EqualsNoCase(name, s.name);
        if (!read) {
            ctx.out.warning(shown, s.line, "no program reads section [" + s.name + "]: it belongs to no listed monitor "
                                           "or processor the package installs");
            continue;
        }
        ctx.checkKeys(file, s, sectionKeys);
    }
}

}  // namespace drvpkg
