// The uninstaller's reading of Uninstall.ini: the three lists, the per-call lookups against
// the lists read once, the sections of a monitor or processor on each Windows, and the file
// paths and registry keys a removal builds from the values, behind the name check it
// applies first.
//
// Input: one option byte (bits 0-3 the Windows of fuzz::kWindows, bit 4 64-bit), the file, then optionally
// "\n@@@\n" and component names one a line, looked up besides the file's own entries.
// One simulated machine per Windows is kept across inputs; only the file changes.
#include "FuzzCommon.h"
#include "KeptMachine.h"
#include "config/IniValues.h"
#include "config/OsClass.h"
#include "platform/sim/SimMachine.h"
#include "uninstall/UninstallIni.h"

using fuzz::expect;
using fuzz::expectRead;

namespace {

const char kIniPath[] = "C:\\PKG\\Uninstall.ini";
const char kSystemDir[] = "C:\\WINDOWS\\system32";
constexpr std::size_t kMaxNames = 12;


// A value that passed the removal's name check, joined to a folder, names a file in that
// folder and nowhere else.
void expectInside(const std::string& value, const char* what) {
    if (cfg::IsNoFile(value) || !uninstall::IsPlainName(value)) return;
    const std::string dir = kSystemDir;
    const std::string resolved = sim::SimFileSystem::fullPath(dir + "\\" + value, "C:\\");
    const bool inside = resolved.size() > dir.size() + 1 && resolved.compare(0, dir.size() + 1, dir + "\\") == 0 &&
                        resolved.find('\\', dir.size() + 1) == std::string::npos;
    expect(inside || resolved == dir, what, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::vector<std::string> parts = fuzz::SplitParts(data + 1, size - 1, 2);
    sim::SimMachine& m = fuzz::KeptMachine(options & 15, (options & 16) != 0);
    m.files.writeFile(kIniPath, parts[0]);

    plat::Platform& p = m.platform();
    uninstall::UninstallState state;
    state.iniPath = kIniPath;
    state.osClass = cfg::DetectOsClass(p, cfg::Program::Uninstall);
    state.is64BitWindows = (options & 16) != 0;

    using uninstall::ListKind;
    std::vector<std::string> names;
    for (ListKind kind : {ListKind::Printer, ListKind::Monitor, ListKind::Processor}) {
        const std::vector<std::string> listed = uninstall::ReadListedNames(p, kIniPath, kind);
        expect(listed.size() <= static_cast<std::size_t>(uninstall::kMaxEntries), "more entries than keys");
        for (const std::string& entry : listed) {
            expectRead(entry, uninstall::kIniValueSize, "list entry");
            expect(!entry.empty() && entry != "0", "an entry that names nothing was listed", entry);
            if (names.size() < kMaxNames) names.push_back(entry);
        }
    }
    if (parts.size() > 1) {
        std::size_t start = 0;
        while (start <= parts[1].size() && names.size() < 2 * kMaxNames) {
            std::size_t end = parts[1].find('\n', start);
            if (end == std::string::npos) end = parts[1].size();
            // Names come from the spooler as C strings.
            const std::string line = parts[1].substr(start, end - start);
            names.push_back(line.substr(0, line.find('\0')));
            start = end + 1;
        }
    }

    const uninstall::UninstallLists lists = uninstall::UninstallLists::Load(p, state);
    for (const std::string& name : names) {
        // The lists read once answer as the per-call lookups that read the file each time.
        const bool monitor = uninstall::IsListedMonitor(p, state, name);
        expect(lists.isListedMonitor(name) == monitor, "monitor lists disagree", name);
        const bool processor = uninstall::IsListedProcessor(p, state, name);
        expect(lists.isListedProcessor(name) == processor, "processor lists disagree", name);
        if (uninstall::IsWindowsOwnComponent(name)) expect(!monitor && !processor, "Windows' own listed", name);

        for (cfg::OsClass os = 0; cfg::OsSuffix(os)[0] != '\0'; ++os) {
            expectRead(uninstall::MonitorSectionName(name, os), uninstall::kIniValueSize, "monitor section");
            expectRead(uninstall::ProcessorSectionName(name, os), uninstall::kIniValueSize, "processor section");
        }
        const uninstall::MonitorFiles files = uninstall::ReadMonitorFiles(p, state, name);
        for (const std::string* v : {&files.monitorDll, &files.monitorUiDll, &files.extraDll}) {
            expectRead(*v, uninstall::kIniValueSize, "monitor file");
            expectInside(*v, "monitor file outside the system folder");
        }
        const std::string processorFile = uninstall::ReadProcessorFile(p, state, name);
        expectRead(processorFile, uninstall::kIniValueSize, "processor file");
        expectInside(processorFile, "processor file outside its folder");
        const std::string extra = uninstall::ReadExtraMonitorName(p, state, name);
        expectRead(extra, uninstall::kIniValueSize, "extra monitor");
        const std::string key = uninstall::ExtraMonitorKey(extra);
        if (!cfg::IsNoFile(extra) && uninstall::IsPlainName(extra)) {
            const std::string monitors = "SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\MONITORS\\";
            expect(key.size() > monitors.size() && key.compare(0, monitors.size(), monitors) == 0 &&
                       key.find('\\', monitors.size()) == std::string::npos,
                   "monitor key outside Monitors", key);
        }
        if (cfg::IsNoFile(extra)) expect(key.empty(), "a key for a monitor named nothing", extra);
    }
    return 0;
}
