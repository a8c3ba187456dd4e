#include "engine/SpoolerRegistration.h"

#include "config/IniValues.h"
#include "config/PrinterRecord.h"
#include "engine/DriverPackage.h"
#include "engine/InstallRequest.h"

namespace engine {

std::string AppendSystemErrorText(EngineContext& ctx, const std::string& key, std::uint32_t code) {
    std::string system;
    std::string text = ctx.text(key);
    if (ctx.platform.process.FormatSystemMessage(code, &system)) text += "\n" + system;
    return text;
}

int RegisterPrinter(EngineContext& ctx, plat::PrinterInfo2& printer, bool usb, cfg::MessageBuffer& messages) {
    auto& spooler = ctx.platform.spooler;
    auto& process = ctx.platform.process;
    const std::string given = cfg::CutTo(printer.printerName.value_or(""), kPrinterNameSize);
    printer.printerName = given;
    auto fail = [&](const std::string& text) {
        messages.set(text);
        printer.printerName = std::string();
        return 0;
    };

    plat::PrinterHandle handle = 0;
    if (spooler.AddPrinter(printer, &handle)) {
        spooler.ClosePrinter(handle);
        return 1;
    }
    std::uint32_t error = process.GetLastError();
    if (error != plat::kErrorPrinterAlreadyExists) return fail(AppendSystemErrorText(ctx, "IDS_ERR_ADDPRINTER", error));
    if (usb) return fail(ctx.text("IDS_ERR_TOOMANY"));

    for (int n = 1; n <= kNumberedNameAttempts; ++n) {
        printer.printerName = cfg::CutTo(given + "(" + std::to_string(n) + ")", kPrinterNameSize);
        if (spooler.AddPrinter(printer, &handle)) {
            spooler.ClosePrinter(handle);
            return 1;
        }
        error = process.GetLastError();
        if (error != plat::kErrorPrinterAlreadyExists)
            return fail(AppendSystemErrorText(ctx, "IDS_ERR_ADDPRINTER", error));
    }
    return fail(ctx.text("IDS_ERR_TOOMANY"));
}

int RegisterPrinterDriver(EngineContext& ctx, const plat::DriverInfo3& driver, cfg::MessageBuffer& messages) {
    if (ctx.platform.spooler.AddPrinterDriver(driver)) return 1;
    messages.set(AppendSystemErrorText(ctx, "IDS_ERR_ADDPRNDRV3", ctx.platform.process.GetLastError()));
    return 0;
}

int RegisterPortMonitor(EngineContext& ctx, const plat::MonitorInfo2& monitor, cfg::MessageBuffer& messages) {
    if (ctx.platform.spooler.AddMonitor(monitor)) return 1;
    const std::uint32_t error = ctx.platform.process.GetLastError();
    if (error == plat::kErrorPrintMonitorAlreadyInstalled || error == plat::kErrorAlreadyExists) return 1;
    messages.set(AppendSystemErrorText(ctx, "IDS_ERR_ADDMONITOR", error));
    return 0;
}

int RegisterPrintProcessor(EngineContext& ctx, const std::string& name, const std::string& dll, cfg::OsClass os) {
    if (ctx.platform.spooler.AddPrintProcessor(EnvironmentFor(os, ctx.is64BitWindows), dll, name)) return 1;
    const std::uint32_t error = ctx.platform.process.GetLastError();
    if (error == plat::kErrorInvalidParameter || error == plat::kErrorAlreadyExists ||
        error == plat::kErrorPrintProcessorAlreadyInstalled)
        return static_cast<int>(error);
    return 0;
}

namespace {

void announceDefault(EngineContext& ctx, const std::optional<std::string>& lParam) {
    ctx.platform.windows.SendMessageTimeoutBroadcast(plat::kWmWinIniChange, 0, lParam, plat::kSmtoNormal, 1000);
}

}  // namespace

int MakeDefaultPrinter(EngineContext& ctx, const std::optional<std::string>& printerName) {
    if (!printerName) return 0;
    auto& p = ctx.platform;
    plat::OsVersionInfo version;
    if (!p.system.GetVersionEx(&version, false)) version = plat::OsVersionInfo{};

    if (version.platformId == plat::kPlatformWindows ||
        (version.platformId == plat::kPlatformNt && version.majorVersion < 5)) {
        plat::PrinterHandle printer = 0;
        if (!p.spooler.OpenPrinter(*printerName, &printer)) return 0;
        plat::PrinterInfo2 info;
        bool ok = cfg::ReadPrinterRecord(ctx.platform, printer, &info);
        if (ok && version.platformId == plat::kPlatformWindows) {
            info.attributes |= plat::kPrinterAttributeDefault;
            ok = p.spooler.SetPrinter2(printer, info);
            if (ok) announceDefault(ctx, std::string("windows"));
        } else if (ok) {
            ok = info.driverName && info.portName && !info.driverName->empty() && !info.portName->empty();
            if (ok) ok = p.profile.WriteProfileString(std::string("windows"), std::string("device"),
                                                      *printerName + "," + *info.driverName + "," + *info.portName);
            if (ok) announceDefault(ctx, std::nullopt);
        }
        p.spooler.ClosePrinter(printer);
        return ok ? 1 : 0;
    }
    if (version.platformId == plat::kPlatformNt) {
        plat::ModuleHandle winspool = p.process.LoadLibrary("winspool.drv");
        if (!winspool) return 0;
        plat::ProcAddress setDefault = p.process.GetProcAddress(winspool, "SetDefaultPrinterA");
        const bool ok = setDefault && p.spooler.CallSetDefaultPrinter(setDefault, *printerName);
        p.process.FreeLibrary(winspool);
        if (!ok) return 0;
        announceDefault(ctx, std::nullopt);
        return 1;
    }
    return 1;
}

int ProbePortList(EngineContext& ctx, cfg::MessageBuffer& messages) {
    auto& spooler = ctx.platform.spooler;
    std::vector<std::string> ports;
    std::uint32_t needed = 0;
    spooler.EnumPorts1(0, &ports, &needed);
    const std::uint32_t size = needed < 300 ? 1000 : needed;
    if (spooler.EnumPorts1(size, &ports, &needed) || spooler.EnumPorts1(size, &ports, &needed)) return 1;
    messages.set(AppendSystemErrorText(ctx, "IDS_ERR_ALLOCMEMORY", ctx.platform.process.GetLastError()));
    return 0;
}

}  // namespace engine
