#include "engine/InstallWorker.h"

#include "config/FsRedirection.h"
#include "config/IniValues.h"
#include "config/MessageBoxes.h"
#include "config/RegistryKey.h"
#include "config/RunLog.h"
#include "engine/ComponentUpdates.h"
#include "engine/PackageRecords.h"
#include "engine/PortSetup.h"
#include "engine/SpoolerRegistration.h"
#include "engine/SystemFileStaging.h"

namespace engine {

namespace {

using cfg::Program;

class Sequence {
public:
    Sequence(EngineContext& ctx, InstallJob& job) : ctx_(ctx), r_(job.request), messages_(job.messages) {}

    bool run();

private:
    // Copies one file; false when it left a failure text (files in use are skipped).
    bool stage(const std::string& name, int kind, cfg::OsClass os) {
        std::string file = name;
        InstallSystemFile(ctx_, file, kind, os, false, messages_);
        return messages_.empty();
    }
    bool lost() {
        messages_.set(ctx_.text("IDS_ERR_LOSTDRIVERFILE"));
        return false;
    }
    // Logs a step's end: its platform result (the last error) and the message it left.
    bool step(const char* name, bool ok) {
        auto& p = ctx_.platform;
        if (!cfg::Logging(p)) return ok;
        cfg::LogLine(p, std::string("step ") + name + (ok ? ": done" : ": FAILED") + ", last error " +
                            std::to_string(p.process.GetLastError()) +
                            (messages_.empty() ? std::string() : ", message: " + messages_.text()));
        return ok;
    }
    bool components();
    bool driverFiles();
    bool languageMonitor();
    bool usbPortRecord();
    bool serialSettings();

    EngineContext& ctx_;
    InstallRequest& r_;
    cfg::MessageBuffer& messages_;
};

bool Sequence::components() {
    r_.componentFlags = 0;
    const int monitors = checkPortMonitors(ctx_, r_.package, r_.targetOs, r_.portName, messages_);
    if (monitors == kMonitorNotAdded) return false;
    r_.componentFlags = static_cast<unsigned>(monitors);
    const int processor =
        checkPrintProcessor(ctx_, r_.targetOs, r_.printer.printProcessor.value_or(""), r_.files.processorDll, messages_);
    if (processor == kProcessorNotAdded) return false;
    r_.componentFlags += static_cast<unsigned>(processor);
    if (r_.componentFlags != 0 && !updateComponents(ctx_, r_, messages_)) return false;
    return messages_.empty();
}

bool Sequence::driverFiles() {
    const DriverFileSet& f = r_.files;
    if (f.driverPath.empty() || f.dataFile.empty() || f.configFile.empty() || f.helpFile.empty()) return lost();
    const cfg::OsClass os = r_.targetOs;
    for (const std::string* file : {&f.configFile, &f.dataFile, &f.driverPath, &f.helpFile})
        if (!stage(*file, KindPrinterDriver, os)) return false;
    for (const std::string* file : {&f.dataFileDll, &f.uiPlugin, &f.renderingPlugin, &f.pluginIni})
        if (!cfg::IsNoFile(*file) && !stage(*file, KindPrinterDriver, os)) return false;
    if (!cfg::IsNoFile(f.controlFontFile) && !stage(f.controlFontFile, KindDriverVersion3, os)) return false;
    if (!ctx_.is64BitWindows && !cfg::IsNoFile(f.usbInternalId) && !stage(f.usbInternalId, KindDriverVersion3, os))
        return false;
    if (os == cfg::kOsWinXP && !ctx_.is64BitWindows) {
        if (!stage("srclient.dll", KindSystemIfAbsent, cfg::kOsWinXP) || !stage("framedyn.dll", KindWbemIfAbsent, os) ||
            !stage("newdev.dll", KindSystemIfAbsent, os))
            return false;
    }
    const bool universal = r_.package.needsUniversalDriverFiles(r_.modelName, os, r_.variant);
    RestoreGenericDriverFiles(ctx_, os, universal, messages_);
    if (os == cfg::kOsWin9x &&
        (r_.modelName.find("KLM-B200") != std::string::npos || r_.modelName.find("KLM-A100") != std::string::npos) &&
        !stage("DMCOLOR.DLL", KindPrinterDriver, os))
        return false;
    if (universal && f.dataFileDll.empty()) return lost();
    return true;
}

bool Sequence::languageMonitor() {
    const std::string dll = r_.languageMonitor.dllName.value_or("");
    if (r_.portKind != kPortUsb || ctx_.is64BitWindows || cfg::IsNoFile(dll)) return true;
    const int flags = checkLanguageMonitor(ctx_, r_.package, r_.targetOs, r_.portName, messages_);
    if (flags == kMonitorNotAdded) return false;
    r_.componentFlags = static_cast<unsigned>(flags);
    if (!(r_.componentFlags & kLanguageMonitorOutdated)) return true;

    LanguageMonitorDef def = r_.package.readLanguageMonitor(r_.targetOs, kPortUsb);
    return ReplaceMonitorDll(ctx_, def.monitor, def.version, true, r_.targetOs, messages_);
}

bool Sequence::usbPortRecord() {
    if (r_.portKind != kPortUsb) return true;
    bool written = false;
    auto write = [&] {
        const char* const keyPath = "SOFTWARE\\TARVEKO\\PRINTERPORT\\";
        cfg::RegistryKey key(ctx_.platform, Program::Setup, ctx_.is64BitWindows);
        if (!OpenRecord(ctx_, key, keyPath, false, messages_)) return;
        written = key.SetDword(r_.portName, 0) || RecordWriteFailed(ctx_, key, keyPath, messages_);
    };
    if (!ctx_.is64BitWindows) {
        write();
        return written;
    }
    // Without the library the record cannot be put where the port monitor reads it.
    plat::ModuleHandle kernel32 = ctx_.platform.process.LoadLibrary("Kernel32.dll");
    if (!kernel32) {
        cfg::ShowAppMessage(ctx_.platform, Program::Setup, "Can't Load Kernel32.dll", plat::kMbOk);
        messages_.set("Can't Load Kernel32.dll");
        return false;
    }
    ctx_.platform.process.FreeLibrary(kernel32);
    cfg::WithFsRedirectionDisabled(ctx_.platform, Program::Setup, true, write);
    return written;
}

bool Sequence::serialSettings() {
    if (r_.portKind != kPortCom) return true;
    const auto at = r_.portName.find("COM");
    if (at == std::string::npos) return true;
    const std::string port = r_.portName.substr(at);
    const int number = port.size() > 3 && port[3] >= '0' && port[3] <= '9' ? port[3] - '0' : 0;
    if (r_.serial.parity >= 'A' && r_.serial.parity <= 'Z') r_.serial.parity = static_cast<char>(r_.serial.parity + 32);
    if (r_.targetOs != cfg::kOsWin9x)
        return WriteComSettingsNt(ctx_, port, r_.serial, messages_);
    WriteComSettings9x(ctx_, number, port, r_.serial);
    return true;
}

bool Sequence::run() {
    if (!step("port monitors and print processor", components())) return false;
    if (r_.portKind == kPortUsb && !step("spooler port list", ProbePortList(ctx_, messages_))) return false;
    if (!step("driver files", driverFiles())) return false;
    if (!step("language monitor", languageMonitor())) return false;
    if (!step("printer driver", RegisterPrinterDriver(ctx_, r_.driver, messages_))) return false;
    if (!step("USB port record", usbPortRecord())) return false;
    if (!step("printer", RegisterPrinter(ctx_, r_.printer, r_.portKind == kPortUsb, messages_))) return false;
    r_.modelName = cfg::CutTo(r_.printer.printerName.value_or(""), kModelNameSize);
    if (r_.modelName.empty()) {
        if (messages_.empty()) messages_.set(ctx_.text("IDS_ERR_ADDPRINTER"));
        return step("printer name", false);
    }
    if (r_.setAsDefault) step("default printer", MakeDefaultPrinter(ctx_, r_.modelName) > 0);
    if (!step("serial settings", serialSettings())) return false;
    if (r_.targetOs != cfg::kOsWin9x)
        messages_.set(ctx_.text(r_.portKind == kPortUsb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART"));
    return true;
}

}  // namespace

int InstallWorker(EngineContext& ctx, InstallJob& job) {
    const bool ok = Sequence(ctx, job).run();
    job.completionState.store(ok ? kSucceeded : kFailed);
    return 0;
}

}  // namespace engine
