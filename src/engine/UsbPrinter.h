// The connected USB printer's identifier (read from and written to the printer through the
// maker's USB library), the USB device driver's version, and the USB steps of Install.
#pragma once
#include <cstdint>
#include <string>

#include "config/OsClass.h"
#include "config/Program.h"
#include "engine/EngineContext.h"
#include "platform/Platform.h"

namespace engine {

// The install mode chosen on the install-mode page.
enum InstallMode : int { kAdvancedMode = 0, kTypicalMode = 1 };

constexpr const char* kUsbLibraryName = "RuZuvUzu.dll";
constexpr int kUsbNoPrinter = -1;
constexpr int kUsbSeveralPrinters = -2;

// The release number (bcdDevice) of the one connected printer; kUsbNoPrinter when the
// library, a function or a printer is missing or the descriptor cannot be read;
// kUsbSeveralPrinters when more than one printer answers (setup says so, the uninstaller
// stays quiet).
int ReadUsbDeviceId(plat::Platform& p, cfg::Program program);

// Sends the set-identifier command to the first printer; identifier 1 to 8.
bool WriteUsbDeviceId(plat::Platform& p, int identifier);

// The identifier 1 to 8 a printer with this release number stands for.
int UsbDeviceNumber(int release);

// The largest n of 1 to 4 for which "_n" occurs in the port name; 0 for none.
int UsbPortIdentifier(const std::string& portName);

// The FileVersion text of a file's version resource, "0.0.0.0" without one.
std::string ReadFileVersionString(plat::Platform& p, const std::string& path);

// Orders two FileVersion texts by their first four numbers, each compared as a number
// ("10.0.0.0" is newer than "9.0.0.0"; "1, 0, 0, 2" reads as 1.0.0.2); a missing number
// counts as 0. Negative, zero or positive as `a` is older, the same or newer.
int CompareDriverVersions(const std::string& a, const std::string& b);
// A text whose numbers are all 0 (or that has none) stands for no driver.
bool IsNoDriverVersion(const std::string& version);

// The FileVersion of the USB device driver Windows has installed ("0.0.0.0" for none),
// read from the real system folder on 64-bit Windows.
std::string ReadInstalledUsbDriverVersion(EngineContext& ctx);

// -1 no USB device driver installed, 1 the installed one is older than the package's,
// 0 otherwise.
int CompareUsbDriverVersion(EngineContext& ctx);

// The USB steps of the install command, in the order the command runs them. Each answers
// whether the installation may go on.
class UsbInstallSteps {
public:
    UsbInstallSteps(EngineContext& ctx, int installMode) : ctx_(ctx), mode_(installMode) {}

    // The package's USB device driver must be installed and current: the advanced mode
    // refuses, the typical mode runs the driver installer and waits for it.
    bool RunDriverCheck(cfg::OsClass target);
    // The connected printer's identifier must match the chosen port, or be changed.
    bool Identify(const std::string& portName);
    // Identify stopped because the printer did not take its new identifier (rather than
    // because of the printers connected or the answer to the question).
    bool identifierWriteFailed() const { return writeFailed_; }
    // The printer name with the port's marks "(U) 1" to "(U) 4", cut to its buffer.
    static std::string PrinterNameMarks(const std::string& printerName, const std::string& portName);
    // The port the printer is installed on: every KLM-C5 variant shares the plain
    // USB_KLM-C5_n ports.
    static std::string InstalledPortName(const std::string& portName);

private:
    bool Ask(const std::string& key);
    EngineContext& ctx_;
    int mode_;
    bool writeFailed_ = false;
};

}  // namespace engine
