#include "tools/drvpkg/Checks.h"

#include <algorithm>

#include "config/IniValues.h"
#include "tools/drvpkg/PlanRun.h"

namespace drvpkg {

std::string OsName(cfg::OsClass os) { return std::string("Windows ") + (cfg::OsSuffix(os) + 1); }

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && cfg::EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool CheckContext::classInWidth(cfg::OsClass os, bool is64) const {
    for (const auto& cw : classWidths)
        if (cw.first == os && cw.second == is64) return true;
    return false;
}

void CheckContext::checkKeys(const std::string& file, const sim::IniFile::Section& section,
                             const std::vector<KeySpec>& known) {
    for (const auto& key : section.keys) {
        const KeySpec* match = nullptr;
        for (const auto& k : known)
            if (cfg::EqualsNoCase(k.name, key.name)) match = &k;
        if (!match) {
            out.warning(PackageFolder::shown(file), key.line,
                        "[" + section.name + "] " + key.name + ": no program reads this key");
            continue;
        }
        const std::string v = PackageFolder::value(package.ini(file), section.name, key.name);
        if (v.size() >= match->size)
            out.error(PackageFolder::shown(file), key.line,
                      key.name + " is " + std::to_string(v.size()) + " characters; it is read into " +
                          std::to_string(match->size) + " bytes and cut to \"" + cfg::CutTo(v, match->size) + "\"");
    }
}

void CheckContext::checkRepeats(const std::string& file) {
    const sim::IniFile* ini = package.ini(file);
    if (!ini) return;
    const auto& sections = ini->sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const auto& s = sections[i];
        if (i > 0 && ini->findSection(s.name) != &s)
            out.warning(PackageFolder::shown(file), s.line, "section [" + s.name + "] repeated; only the first is read");
        for (std::size_t k = 0; k < s.keys.size(); ++k)
            for (std::size_t j = 0; j < k; ++j)
                if (cfg::EqualsNoCase(s.keys[j].name, s.keys[k].name)) {
                    out.warning(PackageFolder::shown(file), s.keys[k].line,
                                s.keys[k].name + " repeated in [" + s.name + "]; only line " +
                                    std::to_string(s.keys[j].line) + " is read");
                    break;
                }
    }
}

bool CheckContext::binaryPresent(bool is64, const std::string& name) {
    const std::string folder = is64 ? "W64" : "W32";
    if (!package.isFolder(folder)) {
        out.warning(folder, 0, "folder missing: the files the configuration names for " +
                                   std::string(is64 ? "64" : "32") + "-bit Windows are not checked");
        return true;
    }
    return package.exists(folder + "\\" + name);
}

std::vector<Finding> CheckPackage(const std::string& hostDir) {
    PackageFolder package(hostDir);
    return CheckPackage(package);
}

std::vector<Finding> CheckPackage(PackageFolder& package) {
    Findings out;
    CheckContext ctx{package, out, {}, {true, true}, {}, {}};
    for (cfg::OsClass os = 0; *cfg::OsSuffix(os); ++os) ctx.classes.push_back(os);
    // The classes each simulated Windows falls in, worked out once per process.
    static const std::vector<std::pair<cfg::OsClass, bool>> classWidths = [] {
        std::vector<std::pair<cfg::OsClass, bool>> found;
        for (const auto& w : SimulatedWindowsList()) {
            sim::SimMachine m;
            m.setWindows(w.version, w.sixtyFourBit);
            const std::pair<cfg::OsClass, bool> cw(cfg::DetectOsClass(m.platform(), cfg::Program::Setup), w.sixtyFourBit);
            if (std::find(found.begin(), found.end(), cw) == found.end()) found.push_back(cw);
        }
        return found;
    }();
    ctx.classWidths = classWidths;
    CheckPackageFile(ctx);
    CheckModelFiles(ctx);
    CheckLanguageFiles(ctx);
    CheckUninstallIni(ctx);
    return out.all();
}

}  // namespace drvpkg
