// What the uninstaller's dialog, its lookups and its removal worker share for the life of
// the process, and the search for the Uninstall.ini that names what may be removed.
#pragma once
#include <string>
#include <vector>

#include "config/OsClass.h"
#include "platform/Platform.h"

namespace uninstall {

// What a row of the component list stands for, decided when the list is built from the
// spooler's own enumerations: a printer named like a monitor is still a printer.
enum class ComponentKind { Monitor, Processor, Printer };

struct UninstallState {
    std::string iniPath;  // full path of the Uninstall.ini in use; empty until it is found
    cfg::OsClass osClass = cfg::kOsWin9x;
    bool is64BitWindows = false;  // a 32-bit process on 64-bit Windows
    plat::ModuleHandle spoolerLibrary = 0;
    plat::ProcAddress deletePrinterDriverEx = 0;  // absent on systems without it
    std::string messageText;  // composes the driver-deletion error line
    // The kind of each row of the component list, row by row; the removal deletes an entry
    // with its row. A row without one is never removed.
    std::vector<ComponentKind> rowKinds;

    // The Message key the dialog closed with as it opened; "" when it opened.
    std::string closedWith;
    // What the removal runs of this process came to, for the program's exit code.
    struct RemovalSummary {
        int runs = 0;                 // the worker's runs
        bool refused = false;         // a queued print job kept a run from starting
        bool failed = false;          // some step said it failed
        bool restartOffered = false;  // a run removed something and asked to restart
    } removal;
};

// The ini path is read into 256 bytes; a longer current directory counts as unavailable.
constexpr std::uint32_t kIniPathSize = 256;

struct IniSearchResult {
    enum Outcome {
        Found,
        NoCurrentDirectory,  // IDS_ERR_GETSYSDIR
        CannotEnumerate,     // IDS_ERR_INVALID
        NotFound,            // IDS_ERR_NOINI
    };
    Outcome outcome = NotFound;
    const char* messageKey = "";  // the Message key shown, "" when found
};

// Looks for an entry whose name contains "Uninstall.ini" (case-sensitive) in the current
// directory, then in its DRVCONFIG folder, and sets `state.iniPath` to "Uninstall.ini" in
// the folder where one was seen. On failure the message is shown in a box owned by
// `owner`; the caller then closes its dialog.
IniSearchResult FindUninstallIni(plat::Platform& p, UninstallState& state, plat::WindowHandle owner);

}  // namespace uninstall
