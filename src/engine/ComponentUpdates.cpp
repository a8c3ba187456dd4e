#include "engine/ComponentUpdates.h"

#include "config/IniValues.h"
#include "config/RegistryKey.h"
#include "config/SpoolerEnvironment.h"
#include "config/SpoolerService.h"
#include "engine/PackageRecords.h"
#include "engine/SpoolerRegistration.h"
#include "engine/SystemFileStaging.h"

namespace engine {

const char* const kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

std::string PrintProcessorKey(const EngineContext& ctx, cfg::OsClass os, const std::string& processor) {
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
           cfg::SpoolerEnvironmentName(os, ctx.is64BitWindows) +
           "\\Print Processors\\" + processor;
}

namespace {

using cfg::Program;
using cfg::RegistryKey;

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
// An absent key reads as "0": like every "0" of the configuration, it names nothing.
bool names(const plat::OptText& value) { return value && !cfg::IsNoFile(*value); }

// An installed component is outdated when its version cannot be read or is older.
bool isOutdated(RegistryKey& key, int packageVersion) {
    std::uint32_t installed = 0;
    return !key.QueryDword("DriverVersion", &installed) || installed < static_cast<std::uint32_t>(packageVersion);
}

// The spooler made the key when it took the component; a version that cannot be recorded
// would have the component replaced again at every installation.
bool writeVersion(EngineContext& ctx, const std::string& keyPath, int version, const std::string* driver,
                  cfg::MessageBuffer& messages) {
    RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
    if (!OpenRecord(ctx, key, keyPath, false, messages)) return false;
    if (driver && !key.SetString("Driver", *driver)) return RecordWriteFailed(ctx, key, keyPath, messages);
    if (!key.SetDword("DriverVersion", static_cast<std::uint32_t>(version)))
        return RecordWriteFailed(ctx, key, keyPath, messages);
    return true;
}

// Installs a monitor that the spooler does not know yet: its DLL (under the "n" name
// when the old file is held), its UI DLL, the registration and the version record.
int installMonitor(EngineContext& ctx, plat::MonitorInfo2 monitor, const std::string& uiDll, int version,
                   cfg::OsClass os, cfg::MessageBuffer& messages) {
    const std::string dll = InstallReplaceableFile(ctx, monitor.dllName.value_or(""), KindSystem, os, messages);
    if (dll.empty()) return kMonitorNotAdded;
    monitor.dllName = dll;
    if (!cfg::IsNoFile(uiDll)) {
        std::string ui = uiDll;
        InstallSystemFile(ctx, ui, KindSystem, os, false, messages);
        if (!messages.empty()) return kMonitorNotAdded;
    }
    if (!RegisterPortMonitor(ctx, monitor, messages)) return kMonitorNotAdded;
    if (!writeVersion(ctx, kMonitorsKey + monitor.name.value_or(""), version, nullptr, messages)) return kMonitorNotAdded;
    return 0;
}

int checkMonitor(EngineContext& ctx, const plat::MonitorInfo2& monitor, const std::string& uiDll, int version,
                 int outdatedBit, cfg::OsClass os, cfg::MessageBuffer& messages) {
    RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
    const std::string keyPath = kMonitorsKey + monitor.name.value_or("");
    if (key.Open(plat::kHkeyLocalMachine, keyPath)) return isOutdated(key, version) ? outdatedBit : 0;
    // Only a key that is not there means a monitor to install; a key that cannot be read
    // says nothing about the monitor.
    if (key.lastError() != plat::kErrorFileNotFound) {
        messages.set(RecordFailureText(ctx, keyPath, key.lastError()));
        return kMonitorNotAdded;
    }
    return installMonitor(ctx, monitor, uiDll, version, os, messages);
}

}  // namespace

int checkPortMonitors(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                      cfg::MessageBuffer& messages) {
    if (contains(portName, "LPT") || contains(portName, "NET")) return 0;
    PortMonitorSet set = package.readPortMonitors(os);
    int result = 0;
    if (contains(portName, "COM") && !ctx.is64BitWindows && names(set.serial.dllName) && names(set.serial.name) &&
        os != cfg::kOsWin9x) {
        result = checkMonitor(ctx, set.serial, set.serialUiDll, set.serialVersion, kSerialMonitorOutdated, os, messages);
        if (result < 0) return result;
    }
    if (contains(portName, "USB_") && names(set.usb.dllName) && names(set.usb.name) && os != cfg::kOsNt4) {
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
    if (key.lastError() != plat::kErrorFileNotFound) {
        messages.set(RecordFailureText(ctx, PrintProcessorKey(ctx, os, processor), key.lastError()));
        return kProcessorNotAdded;
    }
    key.Close();
    std::string file = dll;
    if (!file.empty()) InstallSystemFile(ctx, file, KindPrintProcessor, os, false, messages);
    if (!messages.empty()) return kProcessorNotAdded;  // the copy's own reason is the better text
    const int added = RegisterPrintProcessor(ctx, processor, file, os);
    if (added == 0 || added == 87 || added == 183 || added == 3005) {
        messages.set(ctx.text("IDS_ERR_ADDPROCESSOR"));
        return kProcessorNotAdded;
    }
    if (!writeVersion(ctx, PrintProcessorKey(ctx, os, processor), version, nullptr, messages)) return kProcessorNotAdded;
    ctx.platform.clock.Sleep(200);
    return 0;
}

int checkLanguageMonitor(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                         cfg::MessageBuffer& messages) {
    if (!contains(portName, "USB_")) return 0;
    LanguageMonitorDef def = package.readLanguageMonitor(os, kPortUsb);
    if (!def.configured() || !names(def.monitor.dllName) || !names(def.monitor.name) || os == cfg::kOsNt4) return 0;
    return checkMonitor(ctx, def.monitor, std::string(), def.version, kLanguageMonitorOutdated, os, messages);
}

bool ReplaceMonitorDll(EngineContext& ctx, const plat::MonitorInfo2& monitor, int version, bool recordDriver,
                       cfg::OsClass os, cfg::MessageBuffer& messages) {
    const std::string written = InstallReplaceableFile(ctx, monitor.dllName.value_or(""), KindSystem, os, messages);
    if (written.empty()) return false;
    // The Driver value must name the file that holds the new version: always when that is
    // the "n" copy, and for the monitors whose value setup keeps up to date.
    const bool renamed = written[0] == 'n';
    return writeVersion(ctx, kMonitorsKey + monitor.name.value_or(""), version,
                        renamed || recordDriver ? &written : nullptr, messages);
}

namespace {

// Windows 98: nothing is stopped; a file still held after the "n" copy needs a restart.
bool update9x(EngineContext& ctx, InstallRequest& request, cfg::MessageBuffer& messages) {
    auto install = [&](std::string file, int kind, const std::string& keyPath, int version) {
        cfg::RegistryKey key(ctx.platform, Program::Setup, ctx.is64BitWindows);
        cfg::OpenOrCreate(key, ctx.platform, Program::Setup, ctx.is64BitWindows, plat::kHkeyLocalMachine, keyPath);
        std::string recorded;
        const int first = InstallSystemFile(ctx, file, kind, cfg::kOsWin9x, false, messages);
        if (IsHeldFile(first)) {
            const int second = InstallSystemFile(ctx, file, kind, cfg::kOsWin9x, true, messages);
            if (IsHeldFile(second)) {
                messages.set(ctx.text("IDS_ERR_NEEDRESTART"));
                return false;
            }
            if (second != 1) return false;  // its reason is in the buffer
            recorded = "n" + file;
        } else if (first == 1) {
            recorded = file;
        } else {
            return false;
        }
        if (!key.isOpen()) {
            messages.set(RecordFailureText(ctx, keyPath, key.lastError()));
            return false;
        }
        if (!key.SetString("Driver", recorded) || !key.SetDword("DriverVersion", static_cast<std::uint32_t>(version)))
            return RecordWriteFailed(ctx, key, keyPath, messages);
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

// Replaces the processor DLL in place: nothing but the stopped spooler loads it.
bool replaceProcessor(EngineContext& ctx, InstallRequest& request, const std::string& processorDir,
                      cfg::MessageBuffer& messages) {
    auto& p = ctx.platform;
    std::string current;
    p.process.GetCurrentDirectory(256, &current);
    const std::string source = current + (ctx.is64BitWindows ? "\\W64\\" : "\\W32\\") + request.files.processorDll;
    const std::string target = processorDir + "\\" + request.files.processorDll;
    // A copy from read-only media is read-only; cleared before and after, as every copy.
    p.files.SetFileAttributes(target, plat::kFileAttributeArchive);
    if (!p.files.CopyFile(source, target, false)) {
        messages.set(ctx.text("IDS_ERR_COPYFIEL") + source);
        return false;
    }
    p.files.SetFileAttributes(target, plat::kFileAttributeArchive);
    return writeVersion(ctx, PrintProcessorKey(ctx, request.targetOs, request.printer.printProcessor.value_or("")),
                        request.package.processorVersion(), nullptr, messages);
}

}  // namespace

bool updateComponents(EngineContext& ctx, InstallRequest& request, cfg::MessageBuffer& messages) {
    const cfg::OsClass os = request.targetOs;
    if (os == cfg::kOsWin9x) return update9x(ctx, request, messages);
    auto& p = ctx.platform;
    const unsigned flags = request.componentFlags;

    std::string processorDir;
    if ((flags & kPrintProcessorOutdated) &&
        !p.spooler.GetPrintProcessorDirectory(cfg::SpoolerEnvironment(os, ctx.is64BitWindows), 256, &processorDir)) {
        messages.set(ctx.text("IDS_ERR_GETPRODIR"));
        return false;
    }
    cfg::StopSpooler(p);
    p.clock.Sleep(500);
    PortMonitorSet set = request.package.readPortMonitors(os);

    // Whatever happens from here on, the machine must not be left without its spooler.
    bool ok = true;
    if (flags & kSerialMonitorOutdated) {
        ok = ReplaceMonitorDll(ctx, set.serial, set.serialVersion, false, os, messages);
        if (ok && !cfg::IsNoFile(set.serialUiDll)) {
            std::string ui = set.serialUiDll;
            InstallSystemFile(ctx, ui, KindSystem, os, false, messages);
        }
    } else if (flags & kUsbMonitorOutdated) {
        ok = ReplaceMonitorDll(ctx, set.usb, set.usbVersion, true, os, messages);
        if (ok && !cfg::IsNoFile(set.usbUiDll)) {
            std::string ui = set.usbUiDll;
            InstallSystemFile(ctx, ui, KindSystem, os, false, messages);
        }
    } else if (flags & kPrintProcessorOutdated) {
        ok = replaceProcessor(ctx, request, processorDir, messages);
    }
    ok = ok && messages.empty();

    cfg::MessageBuffer startMessages;
    cfg::StartSpooler(p, ok ? messages : startMessages);
    if (os == cfg::kOsNt4 || os == cfg::kOsWin2000) p.clock.Sleep(1000);
    if (os == cfg::kOsWinXP || os == cfg::kOsServer2003) p.clock.Sleep(2500);
    std::uint32_t state = cfg::WaitSpoolerRunning(p, ok ? messages : startMessages);
    if (state != plat::kServiceRunning) {
        // One more start; the spooler may only have been slow to stop.
        cfg::MessageBuffer again;
        cfg::StartSpooler(p, again);
        p.clock.Sleep(2500);
        state = cfg::WaitSpoolerRunning(p, again);
        if (ok && state == plat::kServiceRunning) messages.clear();  // the update is complete and the spooler runs
    }
    if (!ok) {
        // The failure is the update's; that the spooler stayed down must be said as well.
        if (state != plat::kServiceRunning) messages.append("\n" + startMessages.text());
        return false;
    }
    return state == plat::kServiceRunning;
}

}  // namespace engine
