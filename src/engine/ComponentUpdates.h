// Making sure the port monitor of the chosen port, the USB language monitor and the print
// processor are installed and not older than the package's; an outdated one is replaced
// with the spooler stopped.
#pragma once
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/DriverPackage.h"
#include "engine/EngineContext.h"
#include "engine/InstallRequest.h"

namespace engine {

constexpr int kMonitorNotAdded = -15;
constexpr int kProcessorNotAdded = -14;

extern const char* const kMonitorsKey;  // "SYSTEM\CurrentControlSet\Control\Print\Monitors\"
std::string PrintProcessorKey(const EngineContext& ctx, cfg::OsClass os, const std::string& processor);

// 0, kSerialMonitorOutdated, kUsbMonitorOutdated, or kMonitorNotAdded. A missing monitor
// is installed on the spot.
int checkPortMonitors(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                      cfg::MessageBuffer& messages);
// 0, kPrintProcessorOutdated, or kProcessorNotAdded.
int checkPrintProcessor(EngineContext& ctx, cfg::OsClass os, const std::string& processor, const std::string& dll,
                        cfg::MessageBuffer& messages);
// 0, kLanguageMonitorOutdated, or kMonitorNotAdded.
int checkLanguageMonitor(EngineContext& ctx, DriverPackage& package, cfg::OsClass os, const std::string& portName,
                         cfg::MessageBuffer& messages);
// Puts a newer monitor DLL in place (or its "n" copy beside a held one) and records the
// version, and the Driver value when asked or when the "n" copy is what was written.
// False, with the reason in `messages`, when no copy was written; nothing is recorded then.
bool ReplaceMonitorDll(EngineContext& ctx, const plat::MonitorInfo2& monitor, int version, bool recordDriver,
                       cfg::OsClass os, cfg::MessageBuffer& messages);

// Replaces the first outdated component of the request's flags. False on failure.
bool updateComponents(EngineContext& ctx, InstallRequest& request, cfg::MessageBuffer& messages);

}  // namespace engine
