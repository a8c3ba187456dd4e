#include "engine/UsbPrinter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "config/FsRedirection.h"
#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/MessageBoxes.h"
#include "config/PackageFiles.h"
#include "engine/InstallRequest.h"
#include "platform/UsbCommand.h"

namespace engine {

namespace {

constexpr int kUsbDeviceSlots = 8;
constexpr std::size_t kDescriptorSize = 20;
constexpr std::uint32_t kPathBufferSize = 260;
constexpr const char* kNoVersion = "0.0.0.0";

bool isDevice(int handle) { return handle != 0 && handle != -1; }

// The maker's library for the length of one operation: whatever way the operation ends,
// the library is released again.
class UsbLibrary {
public:
    explicit UsbLibrary(plat::Platform& p) : p_(p), module_(p.process.LoadLibrary(kUsbLibraryName)) {}
    ~UsbLibrary() {
        if (module_) p_.process.FreeLibrary(module_);
    }
    UsbLibrary(const UsbLibrary&) = delete;
    UsbLibrary& operator=(const UsbLibrary&) = delete;

    bool loaded() const { return module_ != 0; }
    plat::ProcAddress bind(const char* name) { return p_.process.GetProcAddress(module_, name); }

private:
    plat::Platform& p_;
    plat::ModuleHandle module_;
};

void say(plat::Platform& p, cfg::Program program, const std::string& text) {
    cfg::ShowAppMessage(p, program, text, plat::kMbOk);
}

std::string driverFolder(bool is64BitWindows) {
    return is64BitWindows ? "USBDRV\\USBDriver_x64\\" : "USBDRV\\USBDriver\\";
}

}  // namespace

int ReadUsbDeviceId(plat::Platform& p, cfg::Program program) {
    UsbLibrary library(p);
    if (!library.loaded()) {
        say(p, program, "Can not load RuZuvUzu.dll");
        return kUsbNoPrinter;
    }
    const plat::ProcAddress open = library.bind("OpenDeviceX");
    const plat::ProcAddress descriptor = library.bind("GetDescriptor");
    const plat::ProcAddress close = library.bind("CloseDevice");
    if (!open || !descriptor || !close) {
        say(p, program, "open function error");
        return kUsbNoPrinter;
    }

    int printers = 0;
    for (int index = 0; index < kUsbDeviceSlots; ++index) {
        const int device = p.usb.CallOpenDeviceX(open, index);
        if (!isDevice(device)) continue;
        p.usb.CallCloseDevice(close, device);
        if (++printers == 2) {
            if (program == cfg::Program::Setup)
                say(p, program, cfg::MessageTexts(p, cfg::Program::Setup).GetText("IDS_ERR_ONEPRINTER"));
            return kUsbSeveralPrinters;
        }
    }

    int device = -1;
    for (int index = 0; index < kUsbDeviceSlots && !isDevice(device); ++index)
        device = p.usb.CallOpenDeviceX(open, index);
    if (!isDevice(device)) return kUsbNoPrinter;

    std::uint8_t bytes[kDescriptorSize] = {};
    if (!p.usb.CallGetDescriptor(descriptor, device, bytes)) {
        say(p, program, "Get Device ID error");
        p.usb.CallCloseDevice(close, device);
        return kUsbNoPrinter;
    }
    p.usb.CallCloseDevice(close, device);
    return bytes[12] | (bytes[13] << 8);  // bcdDevice
}

bool WriteUsbDeviceId(plat::Platform& p, int identifier) {
    if (identifier < 1 || identifier > kUsbDeviceSlots) return false;
    const cfg::Program setup = cfg::Program::Setup;
    UsbLibrary library(p);
    if (!library.loaded()) {
        say(p, setup, "Can not load RuZuvUzu.dll");
        return false;
    }
    const plat::ProcAddress open = library.bind("OpenDeviceX");
    const plat::ProcAddress write = library.bind("uWrite");
    const plat::ProcAddress close = library.bind("CloseDevice");
    if (!open || !write || !close) {
        say(p, setup, "open function error");
        return false;
    }
    int device = -1;
    for (int index = 0; index < kUsbDeviceSlots && !isDevice(device); ++index)
        device = p.usb.CallOpenDeviceX(open, index);
    if (!isDevice(device)) {
        say(p, setup, "Can not find USB device.");
        return false;
    }
    const auto command = plat::SetIdentifierCommand(identifier);
    const int written = p.usb.CallUWrite(write, device, 0, command.data(), static_cast<int>(command.size()));
    // The device is released on the refused write too, or it would stay claimed until
    // setup ends.
    p.usb.CallCloseDevice(close, device);
    if (written <= 0) {
        say(p, setup, "write ID error");
        return false;
    }
    return true;
}

int UsbDeviceNumber(int release) { return static_cast<int>(static_cast<unsigned>(release) % 8u) + 1; }

int UsbPortIdentifier(const std::string& portName) {
    for (int n = 4; n >= 1; --n)
        if (portName.find("_" + std::to_string(n)) != std::string::npos) return n;
    return 0;
}

std::string ReadFileVersionString(plat::Platform& p, const std::string& path) {
    const std::uint32_t size = p.files.GetFileVersionInfoSize(path);
    if (size == 0) return kNoVersion;
    std::vector<std::uint8_t> block;
    if (!p.files.GetFileVersionInfo(path, size, &block)) return kNoVersion;
    std::uint16_t language = 0, codePage = 0;
    if (!p.files.VerQueryTranslation(block, &language, &codePage)) return kNoVersion;
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\FileVersion", static_cast<unsigned>(language),
                  static_cast<unsigned>(codePage));
    std::string version;
    if (!p.files.VerQueryString(block, subBlock, &version) || version.empty()) return kNoVersion;
    return version;
}

namespace {

std::array<long, 4> versionParts(const std::string& version) {
    // A number is a run of digits; whatever stands between runs only separates them.
    constexpr long kMaxPart = 1000000000;
    std::array<long, 4> parts = {};
    std::size_t part = 0, i = 0;
    while (part < parts.size() && i < version.size()) {
        if (!std::isdigit(static_cast<unsigned char>(version[i]))) {
            ++i;
            continue;
        }
        for (; i < version.size() && std::isdigit(static_cast<unsigned char>(version[i])); ++i)
            parts[part] = std::min(parts[part] * 10 + (version[i] - '0'), kMaxPart);
        ++part;
    }
    return parts;
}

}  // namespace

int CompareDriverVersions(const std::string& a, const std::string& b) {
    const auto x = versionParts(a), y = versionParts(b);
    return x < y ? -1 : (y < x ? 1 : 0);
}

bool IsNoDriverVersion(const std::string& version) { return versionParts(version) == std::array<long, 4>{}; }

std::string ReadInstalledUsbDriverVersion(EngineContext& ctx) {
    auto& p = ctx.platform;
    std::string installed = kNoVersion;
    std::string windows;
    const std::uint32_t length = p.process.GetWindowsDirectory(kPathBufferSize, &windows);
    if (length > 0 && length < kPathBufferSize) {
        cfg::WithFsRedirectionDisabled(p, cfg::Program::Setup, ctx.is64BitWindows, [&] {
            installed = ReadFileVersionString(p, windows + "\\system32\\drivers\\VORUZA.sys");
        });
    }
    return installed;
}

int CompareUsbDriverVersion(EngineContext& ctx) {
    auto& p = ctx.platform;
    const std::string package =
        ReadFileVersionString(p, cfg::ProgramFolder(p) + driverFolder(ctx.is64BitWindows) + "VORUZA.sys");
    const std::string installed = ReadInstalledUsbDriverVersion(ctx);
    if (installed == package) return 0;
    if (IsNoDriverVersion(installed)) return -1;
    return CompareDriverVersions(installed, package) < 0 ? 1 : 0;
}

bool UsbInstallSteps::Ask(const std::string& key) {
    return cfg::ShowAppMessage(ctx_.platform, cfg::Program::Setup, ctx_.text(key), plat::kMbYesNo) == plat::kIdYes;
}

bool UsbInstallSteps::RunDriverCheck(cfg::OsClass target) {
    if (!cfg::IsWin2000OrLater(target)) return true;
    if (CompareUsbDriverVersion(ctx_) == 0) return true;
    auto& p = ctx_.platform;
    if (mode_ != kTypicalMode) {
        say(p, cfg::Program::Setup, ctx_.text("IDS_ERR_FIRSTSETUPUSB"));
        return false;
    }

    // The installer copies these files; a read-only flag from the medium would stop it.
    const std::string package = cfg::ProgramFolder(p) + driverFolder(ctx_.is64BitWindows);
    p.files.SetFileAttributes(package + "VORUZA.sys", plat::kFileAttributeArchive);
    p.files.SetFileAttributes(package + "VORUZA.INF", plat::kFileAttributeArchive);

    std::string current;
    const std::uint32_t length = p.process.GetCurrentDirectory(kPathBufferSize, &current);
    if (length == 0 || length >= kPathBufferSize) current.clear();
    if (!current.empty() && current.back() == '\\') current.pop_back();  // a drive root
    const std::string installer = current + "\\" + driverFolder(ctx_.is64BitWindows) + "Install.exe";
    if (p.shell.ShellExecute(0, "open", installer, std::string("2"), std::nullopt, plat::kSwShowNormal) <= 32)
        say(p, cfg::Program::Setup, std::to_string(p.process.GetLastError()));

    // The installer runs on its own; setup goes on once its window has gone.
    p.clock.Sleep(500);
    const std::string caption = cfg::LanguageFile(p, cfg::Program::Setup, "Setup").GetText("CaptionName");
    // Without a caption the search would match any untitled window and never end.
    if (!caption.empty())
        while (p.windows.FindWindowByAnsiTitle(caption)) p.clock.Sleep(1000);
    p.clock.Sleep(1000);
    p.clock.Sleep(2000);
    return true;
}

bool UsbInstallSteps::Identify(const std::string& portName) {
    auto& p = ctx_.platform;
    const int release = ReadUsbDeviceId(p, cfg::Program::Setup);
    if (mode_ != kTypicalMode) {
        if (release == kUsbNoPrinter) {
            say(p, cfg::Program::Setup, ctx_.text("IDS_ERR_NOUSBDEVICE"));
            return false;
        }
        if (release == kUsbSeveralPrinters) return false;
        const int number = UsbDeviceNumber(release);
        if (portName.find("_" + std::to_string(number)) != std::string::npos) return true;
        const int wanted = UsbPortIdentifier(portName);
        if (!Ask("IDS_INF_CHANGEID")) return false;
        if (!WriteUsbDeviceId(p, wanted)) {
            writeFailed_ = true;
            say(p, cfg::Program::Setup, "Failed to set Printer ID!");
            return false;
        }
        return true;
    }
    if (release == kUsbNoPrinter) return true;  // typical mode installs without the printer
    if (release == kUsbSeveralPrinters) return false;
    if (UsbDeviceNumber(release) == 1) return true;
    if (!Ask("IDS_INF_CHANGEID")) return false;
    writeFailed_ = !WriteUsbDeviceId(p, 1);
    return !writeFailed_;
}

std::string UsbInstallSteps::PrinterNameMarks(const std::string& printerName, const std::string& portName) {
    std::string name = printerName;
    for (int n = 1; n <= 4; ++n)
        if (portName.find("_" + std::to_string(n)) != std::string::npos) name += "(U) " + std::to_string(n);
    return cfg::CutTo(name, kPrinterNameSize);
}

std::string UsbInstallSteps::InstalledPortName(const std::string& portName) {
    if (portName.find("KLM-C5") == std::string::npos) return portName;
    return std::string("USB_KLM-C5_") + portName.back();
}

}  // namespace engine
