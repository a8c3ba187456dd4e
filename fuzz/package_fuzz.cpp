// Feeds arbitrary bytes to the configuration readers as the three files a package carries:
// DRVCONFIG\setup.ini, a model file and the wording. One simulated machine per Windows is
// made once and reused: an input only replaces the package files, which the profile
// reader then parses once. Setup's start-up, which changes the machine, is startup_fuzz.
//
// Input: one option byte, then up to three parts separated by "\n@@@\n". A part that is
// absent leaves its file missing (the package file is always written); an empty part is an
// empty file. The option byte picks the simulated Windows (bits 1-4, an index into
// fuzz::kWindows), whether it is 64-bit (bit 0), and a second target system whose port
// monitors are read (bits 5-7).
//
// Besides crashes and sanitizer reports, the run aborts when a reader breaks a promise
// the callers rely on: a buffer limit, a category out of range, a NUL inside a text.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCommon.h"
#include "KeptMachine.h"
#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/ModelConfig.h"
#include "config/OsClass.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "platform/sim/IniFile.h"
#include "platform/sim/SimMachine.h"
#include "setup/SetupStartup.h"

using fuzz::expect;
using fuzz::expectRead;

namespace {

// The entry loops follow DEVICENUMBER only this far, so one input stays fast whatever
// count it claims.
constexpr int kMaxEntries = 64;
// Model entries whose sections are read.
constexpr std::size_t kMaxModels = 3;

void checkEntry(int category, const std::string& raw, const std::string& name) {
    static const char* const kSuffixes[] = {"-ReceiptPrinter", "-TicketPrinter", "-LabelPrinter",
                                            "-EmbeddedPrinter"};
    expect(category >= -1 && category <= 3, "category out of range", name);
    expectRead(name, 200, "model entry");
    if (category < 0) {
        expect(name == raw, "entry without suffix was changed", raw);
        return;
    }
    // The suffix found is the first in the fixed order; the name is what stood before it.
    expect(raw.compare(0, name.size(), name) == 0, "entry name is not a prefix of the entry", raw);
    expect(raw.compare(name.size(), std::string(kSuffixes[category]).size(), kSuffixes[category]) == 0,
           "entry not cut at its suffix", raw);
    for (int earlier = 0; earlier < category; ++earlier)
        expect(raw.find(kSuffixes[earlier]) == std::string::npos, "suffix tried out of order", raw);
}

void readModels(plat::Platform& p, const std::vector<std::pair<int, std::string>>& models, bool is64,
                cfg::OsClass target) {
    for (std::size_t i = 0; i < models.size(); ++i) {
        const auto& model = models[i];
        cfg::ModelConfig file(p, model.first, is64);
        expect(!file.path().empty(), "model file of a known category has no path");
        expectRead(cfg::ModelConfig::OsSectionName(model.second, target), 200, "OS section name");
        expectRead(cfg::ModelConfig::PortSectionName(model.second), 200, "port section name");

        cfg::ModelPortSection port = file.portSection(model.second);
        const int baud = cfg::BaudRateIndex(port.baudRate);
        expect(baud >= 0 && baud < 10, "baud index");
        // Windows 98, 2000 and XP have no key of their own and are never refused.
        expect(port.supportsOs(cfg::kOsWin9x) && port.supportsOs(cfg::kOsWin2000) && port.supportsOs(cfg::kOsWinXP),
               "a system without a key was refused");

        // Each model is read as one variant: standard, GDI, or one the reader does not know.
        const int variant = static_cast<int>(i % 3);
        cfg::ModelOsSection s = file.osSection(model.second, target, variant);
        for (const std::string* t : {&s.gdiDriverName, &s.driverNameS, &s.driverNameP, &s.driverNameU,
                                     &s.driverNameN, &s.printProcessor})
            expectRead(*t, 50, "driver or processor name");
        for (const std::string* t : {&s.driverPath, &s.dataFile, &s.configFile, &s.helpFile, &s.dataFileDllName,
                                     &s.dataOemuiDll, &s.dataOemuniDll, &s.dataOemuniIni, &s.processorDllName,
                                     &s.controlFontFile, &s.usbInternalId})
            expectRead(*t, 200, "driver file name");
        expect(!is64 || s.usbInternalId.empty(), "USB id read on 64-bit Windows");
        if (variant == 2) expect(s.driverPath.empty() && !s.needsUniversalFiles, "unknown variant read files");
    }
}

// `package` is the package file as parsed here, to check the readers' answers against.
void readPackage(plat::Platform& p, const sim::IniFile* package, bool is64, cfg::OsClass target,
                 cfg::OsClass otherTarget) {
    cfg::PackageConfig config(p);
    const int count = config.deviceCount();
    auto raw = [&](const std::string& key, std::uint32_t size) {
        return sim::IniFile::getString(package, "DEVICENAME", key, "0", size);
    };
    expect(count == cfg::LeadingInt(raw("DEVICENUMBER", 50)), "entry count differs from the file");

    std::vector<std::pair<int, std::string>> models;
    auto entry = [&](int n) {
        std::string name;
        const int category = config.deviceEntry(n, &name);
        checkEntry(category, raw(std::to_string(n), 200), name);
        if (category >= 0 && models.size() < kMaxModels) models.emplace_back(category, name);
    };
    for (int n = 1; n <= std::min(count, kMaxEntries); ++n) entry(n);
    for (int n : {0, -1, INT_MIN, INT_MAX}) entry(n);
    std::string def;
    const int defaultCategory = config.defaultEntry(&def);
    checkEntry(defaultCategory, raw(std::to_string(cfg::LeadingInt(raw("DEFAULTNAME", 260))), 200), def);

    const std::initializer_list<cfg::OsClass> targets = {target, otherTarget, cfg::kOsWin10, cfg::kOsServer2012};
    for (cfg::OsClass os : targets) {
        cfg::PortMonitors m = config.portMonitors(os);
        for (const std::string* t : {&m.comName, &m.comUiDll, &m.usbName, &m.usbUiDll, &m.languageName})
            expectRead(*t, 50, "monitor name");
        for (const std::string* t : {&m.comDll, &m.usbDll, &m.languageDll}) expectRead(*t, 200, "monitor file");
    }
    config.processorVersion();
    config.supported32Or64();
    config.loadLicense();
    config.language();
    config.gdiStdSign();
    config.supportedUsbDevice(models.empty() ? std::string("USB001") : models.front().second);

    readModels(p, models, is64, target);
    // A category outside 0 to 3 names no file and reads only defaults.
    cfg::ModelConfig none(p, 4, is64);
    expect(none.path().empty(), "unknown category has a model file");
    expect(none.portSection("X").usbSupported == 0, "unknown category read a port section");
}

void readWording(plat::Platform& p) {
    static const std::pair<const char*, const char*> kTexts[] = {
        {"Setup", "Close"},       {"Setup", "Nonsupport"}, {"Setup", "PortNull"},
        {"Message", "IDS_X64"},   {"Message", "IDS_X32"},  {"Message", "IDS_ERR_SYSTEM"},
    };
    for (cfg::Program program : {cfg::Program::Setup, cfg::Program::Uninstall})
        for (const auto& t : kTexts)
            expectRead(cfg::LanguageFile(p, program, t.first).GetText(t.second), cfg::kTextBufferSize,
                       "language text");
}

void putFile(sim::SimMachine& m, const std::string& path, const std::vector<std::string>& parts, std::size_t part) {
    if (part < parts.size())
        m.files.writeFile(path, parts[part]);
    else
        m.files.removeFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::vector<std::string> parts = fuzz::SplitParts(data + 1, size - 1, 3);

    sim::SimMachine& m = fuzz::KeptMachine(options >> 1, (options & 1) != 0);
    const std::string folder = std::string(fuzz::kPackageFolder) + "\\";
    putFile(m, folder + cfg::kPackageFile, parts, 0);
    for (int category = 0; category < 4; ++category)
        for (bool wide : {false, true}) putFile(m, folder + cfg::ModelFileName(category, wide), parts, 1);
    putFile(m, folder + "language\\setup.ini", parts, 2);
    putFile(m, folder + "language\\uninstall.ini", parts, 2);

    plat::Platform& p = m.platform();
    const bool is64 = setup::IsWow64(p);
    const cfg::OsClass target = cfg::DetectOsClass(p, cfg::Program::Setup);
    expect(target >= cfg::kOsWin9x && cfg::OsSuffix(target)[0] != '\0', "OS class out of range");
    cfg::DetectOsClass(p, cfg::Program::Uninstall);

    const sim::IniFile package = sim::IniFile::parse(parts[0]);
    readPackage(p, &package, is64, target, static_cast<cfg::OsClass>((options >> 5) & 7));
    readWording(p);
    return 0;
}
