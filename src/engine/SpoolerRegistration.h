// Registering components with the print spooler: which answers count as success, the
// numbered-name retries of a printer, and the failure texts left in the MessageBuffer.
#pragma once
#include <optional>
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/EngineContext.h"
#include "platform/SpoolerApi.h"

namespace engine {

// The language text of `key`, a line feed and the system's text for `code`; without a
// system text only the language text (a failure is never left without words).
std::string AppendSystemErrorText(EngineContext& ctx, const std::string& key, std::uint32_t code);

// 1 added (the record then carries the name that was accepted, possibly "Name(3)"),
// 0 failed (the record's name is cleared). A USB printer whose name exists is refused.
int RegisterPrinter(EngineContext& ctx, plat::PrinterInfo2& printer, bool usb, cfg::MessageBuffer& messages);
int RegisterPrinterDriver(EngineContext& ctx, const plat::DriverInfo3& driver, cfg::MessageBuffer& messages);
// An installed monitor of that name counts as added.
int RegisterPortMonitor(EngineContext& ctx, const plat::MonitorInfo2& monitor, cfg::MessageBuffer& messages);
// 1 added; 87, 183 or 3005 passed back; 0 for anything else. Writes no message.
int RegisterPrintProcessor(EngineContext& ctx, const std::string& name, const std::string& dll, cfg::OsClass os);
int MakeDefaultPrinter(EngineContext& ctx, const std::optional<std::string>& printerName);
int ProbePortList(EngineContext& ctx, cfg::MessageBuffer& messages);

constexpr int kNumberedNameAttempts = 98;

}  // namespace engine
