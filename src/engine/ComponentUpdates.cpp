#include "engine/ComponentUpdates.h"

#include "config/RegistryKey.h"
#include "config/SpoolerService.h"
#include "engine/SpoolerRegistration.h"
#include "engine/SystemFileStaging.h"

namespace engine {

const char* const kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

std::string PrintProcessorKey(const EngineContext& ctx, cfg::OsClass os, const std::string& processor) {
    const char* environment = os == cfg::kOsWin9x ? "Windows 4.0" : ctx.is64BitWindows ? "Windows x64" : "Windows NT x86";
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + environment +
           "\\Print Processors\\" + processor;
}

namespace {

using cfg::Program;
using cfg::RegistryKey;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
bool isInUse(int result) { return result == 32 || result == 5; }

// An installed component is outdated when its version cannot be read or is older.
bool isOutdated(RegistryKey& key, int packageVersion) {
    std::uint32_t installed = 0;
    return !key.QueryDword("DriverVersion", &installed) || installed < static_cast<std::uint32_t>(packageVersion);
}

void writeVersion(EngineContext& ctx, const std::string& keyPath, int version, const std::string* driver) {
    RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
    if (!key.Open(plat::kHkeyLocalMachine, keyPath)) return;
    if (driver) key.SetString("Driver", *driver);
    key.SetDword("DriverVersion", static_cast<std::uint32_t>(version));
}

// Installs a monitor that the spooler does not know yet: its DLL (under the "n" name
// when the old file is held), its UI DLL, the registration and the version record.
int installMonitor(EngineContext& ctx, plat::MonitorInfo2 monitor, const std::string& uiDll, int version,
                   cfg::OsClass os, cfg::MessageBuffer& messages) {
    std::string dll = monitor.dllName.value_or("");
    if (isInUse(InstallSystemFile(ctx, dll, KindSystem, os, false, messages))) {
        InstallSystemFile(ctx, dll, KindSystem, os, true, messages);
        dll = "n" + dll;
    }
    monitor.dllName = dll;
    if (!uiDll.empty()) {
        std::string ui = uiDll;
        InstallSystemFile(ctx, ui, KindSystem, os, false, messages);
    }
    if (!RegisterPortMonitor(ctx, monitor, messages)) return kMonitorNotAdded;
    writeVersion(ctx, kMonitorsKey + monitor.name.value_or(""), version, nullptr);
    return 0;
}

int checkMonitor(EngineContext& ctx, const plat::MonitorInfo2& monitor, const std::string& uiDll, int version,
                 int outdatedBit, cfg::OsClass os, cfg::MessageBuffer& messages) {
    RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
    if (key.Open(plat::kHkeyLocalMachine, kMonitorsKey + monitor.name.value_or("")))
        return isOutdated(key, version) ? outdatedBit : 0;
    return installMonitor(ctx, monitor, uiDll, version, os, messages);
}

}  // namespace

int checkPortMonitors(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                      cfg::MessageBuffer& messages) {
    if (contains(portName, "LPT") || contains(portName, "NET")) return 0;
    PortMonitorSet set = package.readPortMonitors(os);
    int result = 0;
    if (contains(portName, "COM") && !ctx.is64BitWindows && !set.serial.dllName.value_or("").empty() &&
        os != cfg::kOsWin9x) {
        result = checkMonitor(ctx, set.serial, set.serialUiDll, set.serialVersion, kSerialMonitorOutdated, os, messages);
        if (result < 0) return result;
    }
    if (contains(portName, "USB_") && !set.usb.dllName.value_or("").empty() && os != cfg::kOsNt4) {
        const int usb = checkMonitor(ctx, set.usb, set.usbUiDll, set.usbVersion, kUsbMonitorOutdated, os, messages);
        if (usb < 0) return usb;
        result |= usb;
    }
    return result;
}

int checkPrintProcessor(EngineContext& ctx, cfg::OsClass os, const std::string& processor, const std::string& dll,
                        cfg::MessageBuffer& messages) {
    const int version = DriverPackage(ctx.platform, ctx.is64BitWindows).processorVersion();
    if (processor == "WinPrint") return 0;
    RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
    if (key.Open(plat::kHkeyLocalMachine, PrintProcessorKey(ctx, os, processor)))
        return isOutdated(key, version) ? static_cast<int>(kPrintProcessorOutdated) : 0;
    key.Close();
    std::string file = dll;
    if (!file.empty()) InstallSystemFile(ctx, file, KindPrintProcessor, os, false, messages);
    const int added = RegisterPrintProcessor(ctx, processor, file, os);
    if (added == 0 || added == 87 || added == 183 || added == 3005) {
        messages.set(ctx.text("IDS_ERR_ADDPROCESSOR"));
        return kProcessorNotAdded;
    }
    writeVersion(ctx, PrintProcessorKey(ctx, os, processor), version, nullptr);
    ctx.platform.clock.Sleep(200);
    return 0;
}

int checkLanguageMonitor(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                         cfg::MessageBuffer& messages) {
    if (!contains(portName, "USB_")) return 0;
    LanguageMonitorDef def = package.readLanguageMonitor(os, kPortUsb);
    if (!def.configured() || os == cfg::kOsNt4) return 0;
    return checkMonitor(ctx, def.monitor, std::string(), def.version, kLanguageMonitorOutdated, os, messages);
}

namespace {

// Replaces one monitor DLL while the spooler is stopped.
bool replaceMonitor(EngineContext& ctx, const plat::MonitorInfo2& monitor, const std::string& uiDll, int version,
                    bool recordDriver, cfg::OsClass os, cfg::MessageBuffer& messages) {
    std::string dll = monitor.dllName.value_or("");
    const std::string keyPath = kMonitorsKey + monitor.name.value_or("");
    const int result = InstallSystemFile(ctx, dll, KindSystem, os, false, messages);
    if (isInUse(result)) {
        InstallSystemFile(ctx, dll, KindSystem, os, true, messages);
        const std::string renamed = "n" + dll;
        writeVersion(ctx, keyPath, version, &renamed);
    } else {
        if (!messages.empty()) return false;
        writeVersion(ctx, keyPath, version, recordDriver ? &dll : nullptr);
    }
    if (!uiDll.empty()) {
        std::string ui = uiDll;
        InstallSystemFile(ctx, ui, KindSystem, os, false, messages);
    }
    return true;
}

// Windows 98: nothing is stopped; a file still held after the "n" copy needs a restart.
bool update9x(EngineContext& ctx, InstallRequest& request, cfg::MessageBuffer& messages) {
    auto install = [&](std::string file, int kind, const std::string& keyPath, int version) {
        cfg::RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
        cfg::OpenOrCreate(key, ctx.platform, Program::Setup, ctx.is64BitWindows, plat::kHkeyLocalMachine, keyPath);
        std::string recorded;
        if (isInUse(InstallSystemFile(ctx, file, kind, cfg::kOsWin9x, false, messages))) {
            if (isInUse(InstallSystemFile(ctx, file, kind, cfg::kOsWin9x, true, messages))) {
                messages.set(ctx.text("IDS_ERR_NEEDRESTART"));
                return false;
            }
            recorded = "n" + file;
        } else {
            recorded = file;
        }
        key.SetString("Driver", recorded);
        key.SetDword("DriverVersion", static_cast<std::uint32_t>(version));
        return true;
    };
    if (request.componentFlags & kUsbMonitorOutdated) {
        PortMonitorSet set = request.package.readPortMonitors(cfg::kOsWin9x);
        return install(set.usb.dllName.value_or(""), KindSystem, kMonitorsKey + set.usb.name.value_or(""),
                       set.usbVersion);
    }
    if (request.componentFlags & kPrintProcessorOutdated) {
        const std::string processor = request.printer.printProcessor.value_or("");
        return install(request.files.processorDll, KindPrintProcessor,
                       PrintProcessorKey(ctx, cfg::kOsWin9x, processor), request.package.processorVersion());
    }
    return true;
}

}  // namespace

bool updateComponents(EngineContext& ctx, InstallRequest& request, cfg::MessageBuffer& messages) {
    const cfg::OsClass os = request.targetOs;
    if (os == cfg::kOsWin9x) return update9x(ctx, request, messages);
    auto& p = ctx.platform;
    const unsigned flags = request.componentFlags;

    std::string processorDir;
    if ((flags & kPrintProcessorOutdated) && !p.spooler.GetPrintProcessorDirectory(256, &processorDir)) {
        messages.set(ctx.text("IDS_ERR_GETPRODIR"));
        return false;
    }
    cfg::StopSpooler(p);
    p.clock.Sleep(500);
    PortMonitorSet set = request.package.readPortMonitors(os);

    // Whatever happens from here on, the machine must not be left without its spooler.
    bool ok = true;
    if (flags & kSerialMonitorOutdated) {
        ok = replaceMonitor(ctx, set.serial, set.serialUiDll, set.serialVersion, false, os, messages);
    } else if (flags & kUsbMonitorOutdated) {
        ok = replaceMonitor(ctx, set.usb, set.usbUiDll, set.usbVersion, true, os, messages);
    } else if (flags & kPrintProcessorOutdated) {
        std::string current;
        p.process.GetCurrentDirectory(256, &current);
        const std::string source =
            current + (ctx.is64BitWindows ? "\\W64\\" : "\\W32\\") + request.files.processorDll;
        if (!p.files.CopyFile(source, processorDir + "\\" + request.files.processorDll, false)) {
            messages.set(ctx.text("IDS_ERR_COPYFIEL") + source);
            ok = false;
        } else {
            const std::string processor = request.printer.printProcessor.value_or("");
            writeVersion(ctx, PrintProcessorKey(ctx, os, processor), request.package.processorVersion(), nullptr);
        }
    }

    cfg::MessageBuffer startMessages;
    cfg::StartSpooler(p, ok ? messages : startMessages);
    if (os == cfg::kOsNt4 || os == cfg::kOsWin2000) p.clock.Sleep(1000);
    if (os == cfg::kOsWinXP || os == cfg::kOsServer2003) p.clock.Sleep(2500);
    const std::uint32_t state = cfg::WaitSpoolerRunning(p, ok ? messages : startMessages);
    if (!ok) return false;
    if (state == plat::kServiceRunning) return true;
    if (state == plat::kServiceStopped || state == plat::kServiceStopPending) {
        // Treated as done; the text left by the wait ends the installation at the
        // worker's next check.
        cfg::StartSpooler(p, messages);
        p.clock.Sleep(2500);
        return true;
    }
    return false;
}

}  // namespace engine
