#include "uninstall/UninstallIni.h"

#include <algorithm>

#include "config/IniValues.h"
#include "config/OsSections.h"
#include "config/PrinterRecord.h"

namespace uninstall {

namespace {

constexpr std::uint32_t kPrinterAllAccess = 0x000F000C;

struct ListKeys {
    const char* section;
    const char* countKey;
    const char* entryBase;
};

ListKeys keysOf(ListKind kind) {
    switch (kind) {
    case ListKind::Printer:
        return {"QXPRINTER", "PRINTERNUM", "PRINTERNAME"};
    case ListKind::Monitor:
        return {"QXMONITOR", "MonitorNUM", "MONITORNAME"};
    case ListKind::Processor:
        break;
    }
    return {"QXPROC", "PROCNUM", "PROCNAME"};
}

std::string readValue(plat::Platform& p, const std::string& file, const std::string& section, const std::string& key) {
    return cfg::ReadIniString(p, file, section, key, kIniValueSize);
}

int entryCount(plat::Platform& p, const std::string& file, const ListKeys& keys) {
    return std::min(cfg::LeadingInt(readValue(p, file, keys.section, keys.countKey)), kMaxEntries);
}

// Reads entry by entry and stops at the first that matches, as a single lookup needs.
bool isListed(plat::Platform& p, const std::string& file, ListKind kind, const std::string& name) {
    const ListKeys keys = keysOf(kind);
    const int count = entryCount(p, file, keys);
    for (int k = 0; k < count; ++k) {
        const std::string entry = readValue(p, file, keys.section, EntryKey(keys.entryBase, k));
        if (!NamesNothing(entry) && name.find(entry) != std::string::npos) return true;
    }
    return false;
}

std::string withSuffix(const std::string& name, cfg::OsClass os) {
    return cfg::CutTo(name + cfg::UninstallOsSuffix(os), kIniValueSize);
}

// The section actually read: from Windows 8 on, the older class's when the file has no
// section for the running one.
std::string readableSection(plat::Platform& p, const UninstallState& state, const std::string& name) {
    return cfg::ChooseOsSection(p, state.iniPath, name, state.osClass, kIniValueSize, cfg::SuffixTable::Uninstall)
        .name;
}

std::string monitorBaseName(const std::string& monitorName) {
    std::string name = monitorName;
    name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name;
}

}  // namespace

std::string EntryKey(const std::string& base, int index) {
    return base + static_cast<char>('1' + index);
}

bool NamesNothing(const std::string& entry) { return entry.empty() || entry == "0"; }

bool IsPlainName(const std::string& value) {
    return value.find_first_of("\\/:") == std::string::npos && value.find("..") == std::string::npos;
}

std::string ExtraMonitorKey(const std::string& extraMonitor) {
    constexpr std::size_t kRegistryPathLimit = 255;
    if (cfg::IsNoFile(extraMonitor)) return std::string();
    return ("SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\MONITORS\\" + extraMonitor).substr(0, kRegistryPathLimit);
}

std::vector<std::string> ReadListedNames(plat::Platform& p, const std::string& iniPath, ListKind kind) {
    const ListKeys keys = keysOf(kind);
    const int count = entryCount(p, iniPath, keys);
    std::vector<std::string> entries;
    for (int k = 0; k < count; ++k) {
        std::string entry = readValue(p, iniPath, keys.section, EntryKey(keys.entryBase, k));
        if (!NamesNothing(entry)) entries.push_back(std::move(entry));
    }
    return entries;
}

bool MatchesListedName(const std::vector<std::string>& entries, const std::string& name) {
    for (const auto& entry : entries)
        if (!NamesNothing(entry) && name.find(entry) != std::string::npos) return true;
    return false;
}

const std::vector<std::string>& WindowsOwnComponents() {
    static const std::vector<std::string> kOwn = {
        "Local Port", "Standard TCP/IP Port", "USB Monitor", "WSD Port", "LPR Port", "Microsoft Shared Fax Monitor",
        "AppMon", "BJ Language Monitor", "PJL Language monitor", "Microsoft Document Imaging Writer Monitor",
        "Microsoft XPS Document Writer Monitor", "Microsoft Print To PDF Monitor", "Windows NT Fax Monitor",
        "winprint", "Internet Print Processor"};
    return kOwn;
}

bool IsWindowsOwnComponent(const std::string& name) {
    for (const std::string& own : WindowsOwnComponents())
        if (cfg::EqualsNoCase(name, own)) return true;
    // Windows' own XPS and PDF writers and their kin carry the maker's name first.
    return cfg::EqualsNoCase(name.substr(0, 10), "microsoft ");
}

bool IsListedMonitor(plat::Platform& p, const UninstallState& state, const std::string& monitorName) {
    if (IsWindowsOwnComponent(monitorName)) return false;
    return isListed(p, state.iniPath, ListKind::Monitor, monitorName);
}

bool IsListedProcessor(plat::Platform& p, const UninstallState& state, const std::string& processorName) {
    if (state.osClass == cfg::kOsWin9x || IsWindowsOwnComponent(processorName)) return false;
    return isListed(p, state.iniPath, ListKind::Processor, processorName);
}

bool ReadPrinterDriverName(plat::Platform& p, const std::string& printerName, std::string* driverName) {
    plat::PrinterHandle printer = 0;
    if (!p.spooler.OpenPrinterWithAccess(printerName, kPrinterAllAccess, &printer)) return false;
    plat::PrinterInfo2 info;
    const bool read = cfg::ReadPrinterRecord(p, printer, &info);
    p.spooler.ClosePrinter(printer);
    if (!read) return false;
    *driverName = info.driverName.value_or("");
    return true;
}

bool IsListedPrinter(plat::Platform& p, const UninstallState& state, const std::string& printerName) {
    std::string driver;
    if (!ReadPrinterDriverName(p, printerName, &driver)) return false;
    return isListed(p, state.iniPath, ListKind::Printer, driver);
}

std::string MonitorSectionName(const std::string& monitorName, cfg::OsClass os) {
    return withSuffix(monitorBaseName(monitorName), os);
}

std::string ProcessorSectionName(const std::string& processorName, cfg::OsClass os) {
    return withSuffix(processorName, os);
}

MonitorFiles ReadMonitorFiles(plat::Platform& p, const UninstallState& state, const std::string& monitorName) {
    const std::string section = readableSection(p, state, monitorBaseName(monitorName));
    MonitorFiles files;
    files.monitorDll = readValue(p, state.iniPath, section, "MonitorPDLLName");
    files.monitorUiDll = readValue(p, state.iniPath, section, "MONitorPUIDLLName");
    files.extraDll = "0";
    const bool usbOrCom = section.find("USB") != std::string::npos || section.find("COM") != std::string::npos;
    if (usbOrCom && !state.is64BitWindows) files.extraDll = readValue(p, state.iniPath, section, "USBMONitorDLLName");
    return files;
}

std::string ReadExtraMonitorName(plat::Platform& p, const UninstallState& state, const std::string& monitorName) {
    return readValue(p, state.iniPath, readableSection(p, state, monitorBaseName(monitorName)), "USBMONitorName");
}

std::string ReadProcessorFile(plat::Platform& p, const UninstallState& state, const std::string& processorName) {
    return readValue(p, state.iniPath, readableSection(p, state, processorName), "ProcessorDllName");
}

UninstallLists UninstallLists::Load(plat::Platform& p, const UninstallState& state) {
    UninstallLists lists;
    lists.osClass_ = state.osClass;
    lists.printers_ = ReadListedNames(p, state.iniPath, ListKind::Printer);
    lists.monitors_ = ReadListedNames(p, state.iniPath, ListKind::Monitor);
    // Windows 9x never lists a processor, so its list is not even read.
    if (state.osClass != cfg::kOsWin9x) lists.processors_ = ReadListedNames(p, state.iniPath, ListKind::Processor);
    return lists;
}

bool UninstallLists::isListedMonitor(const std::string& monitorName) const {
    return !IsWindowsOwnComponent(monitorName) && MatchesListedName(monitors_, monitorName);
}

bool UninstallLists::isListedProcessor(const std::string& processorName) const {
    return osClass_ != cfg::kOsWin9x && !IsWindowsOwnComponent(processorName) &&
           MatchesListedName(processors_, processorName);
}

bool UninstallLists::isListedDriver(const std::string& driverName) const {
    return MatchesListedName(printers_, driverName);
}

bool UninstallLists::isListedPrinter(plat::Platform& p, const std::string& printerName) const {
    std::string driver;
    return ReadPrinterDriverName(p, printerName, &driver) && isListedDriver(driver);
}

}  // namespace uninstall
