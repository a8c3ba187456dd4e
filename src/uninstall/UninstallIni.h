// Uninstall.ini: which printer drivers, port monitors and print processors the package may
// remove, and the files and registry names that go with each monitor and processor.
// Names are matched as substrings, so an entry may name a whole family ("KLM").
#pragma once
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// Every value of the file is read into 30 bytes: at most 29 characters count.
constexpr std::uint32_t kIniValueSize = 30;

enum class ListKind { Printer, Monitor, Processor };

// The key of the zero-based entry `index`: the base name and ONE character, '1' + index
// ("PRINTERNAME1" ... "PRINTERNAME9", then "PRINTERNAME:" for the tenth).
std::string EntryKey(const std::string& base, int index);

// A key ends in a single byte, so only this many entries can have keys of their own;
// a larger count is read as this many.
constexpr int kMaxEntries = 256 - '1';

// The usable entries of one list, in file order. An absent entry reads as "0" and an
// empty one as ""; neither names anything, so both are left out.
std::vector<std::string> ReadListedNames(plat::Platform& p, const std::string& iniPath, ListKind kind);

// An entry that is empty or "0" (what an absent key reads as) names nothing: taken as a
// name it would match every name, or every name holding the digit 0.
bool NamesNothing(const std::string& entry);

// True when some entry occurs in `name` (case-sensitive).
bool MatchesListedName(const std::vector<std::string>& entries, const std::string& name);

// A monitor or print processor that Windows installs itself. Entries are matched as
// substrings, so an entry such as "USB" would take in Windows' own "USB Monitor": these
// are never listed and never removed, whatever Uninstall.ini says.
bool IsWindowsOwnComponent(const std::string& name);
// The names that rule knows by heart (besides any name beginning with "Microsoft ").
const std::vector<std::string>& WindowsOwnComponents();

// Per-call lookups: each reads the file named by `state.iniPath` again.
bool IsListedMonitor(plat::Platform& p, const UninstallState& state, const std::string& monitorName);
// Never on Windows 9x: its print processors are not removed.
bool IsListedProcessor(plat::Platform& p, const UninstallState& state, const std::string& processorName);
// Tested against the printer's DRIVER name, whatever the printer is called; a printer
// that cannot be opened or read is not listed.
bool IsListedPrinter(plat::Platform& p, const UninstallState& state, const std::string& printerName);

// The driver name of a printer, from its level-2 record; false when the printer cannot be
// opened or read. The printer is closed again in every case.
bool ReadPrinterDriverName(plat::Platform& p, const std::string& printerName, std::string* driverName);

// Sections describing one monitor or processor on the running system (cut to 29 characters):
// the monitor's name without blanks, the processor's name as it is, then the uninstaller's
// suffix for `os` (XP shares ".2K"; nothing outside 0 to 7).
std::string MonitorSectionName(const std::string& monitorName, cfg::OsClass os);
std::string ProcessorSectionName(const std::string& processorName, cfg::OsClass os);

// Values as read (default "0"); whether one names a file is the caller's rule.
struct MonitorFiles {
    std::string monitorDll;    // MonitorPDLLName
    std::string monitorUiDll;  // MONitorPUIDLLName
    std::string extraDll;      // USBMONitorDLLName; "0" unless read (see ReadMonitorFiles)
};
// The extra DLL is read only for a section whose name holds "USB" or "COM", and not
// under WOW64; otherwise it stays "0".
MonitorFiles ReadMonitorFiles(plat::Platform& p, const UninstallState& state, const std::string& monitorName);
std::string ReadExtraMonitorName(plat::Platform& p, const UninstallState& state, const std::string& monitorName);
std::string ReadProcessorFile(plat::Platform& p, const UninstallState& state, const std::string& processorName);

// Uninstall.ini values become file names in the system folders and registry paths below
// ...\Print\Monitors: a separator, a drive or ".." would reach past them.
bool IsPlainName(const std::string& value);

// The key of a monitor's extra entry below ...\Print\Monitors, cut to the registry's path
// limit; "" when the value names nothing (an empty name would delete ...\Monitors itself).
std::string ExtraMonitorKey(const std::string& extraMonitor);

// The three lists read once, for a listing of many printers: the same answers as the
// per-call lookups without reading the file for every printer and entry.
class UninstallLists {
public:
    static UninstallLists Load(plat::Platform& p, const UninstallState& state);

    bool isListedMonitor(const std::string& monitorName) const;
    bool isListedProcessor(const std::string& processorName) const;
    bool isListedDriver(const std::string& driverName) const;
    // Opens the printer for its driver name, as IsListedPrinter does.
    bool isListedPrinter(plat::Platform& p, const std::string& printerName) const;

    const std::vector<std::string>& printers() const { return printers_; }
    const std::vector<std::string>& monitors() const { return monitors_; }
    const std::vector<std::string>& processors() const { return processors_; }

private:
    std::vector<std::string> printers_, monitors_, processors_;
    cfg::OsClass osClass_ = cfg::kOsWin9x;
};

}  // namespace uninstall
