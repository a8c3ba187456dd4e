// The print spooler of the simulated machine, answering as Windows does: 1802 for a name
// that exists, 1797 for an unknown driver, 3006 for a monitor that is installed, 3005 for
// a processor that is installed, 1722 for every call while the Spooler service is not
// running, and files that must be in place before a driver, monitor or processor is added.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/SpoolerApi.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimState.h"
#include "platform/sim/SimText.h"

namespace sim {

struct SimPrinter {
    plat::PrinterInfo2 info;
    std::uint32_t queuedJobs = 0;
};

struct SimMonitor {
    std::string name, dll, environment;
    std::vector<std::string> ports;  // ports the monitor provides
    bool loaded = true;              // its DLL was there when the spooler last started
    bool builtIn = false;            // one of Windows' own, part of the system
};

class SimSpooler : public plat::SpoolerApi {
public:
    SimSpooler(SimState& state, SimFileSystem& files, SimProcess& process, SimServices& services,
               SimRegistry& registry);
    // The spooler's own environment is "Windows 4.0" on Windows 98 and "Windows x64" on
    // 64-bit Windows (a 64-bit service); printers use drivers and processors of that one.
    // A call without an environment means the CALLER's, and the caller is a 32-bit
    // program: "Windows NT x86" on every NT, also under WOW64.
    void setNativeEnvironment(bool windows9x, bool x64) {
        x64_ = x64;
        windows9x_ = windows9x;
        nativeEnvironment_ = windows9x ? "Windows 4.0" : x64 ? "Windows x64" : "Windows NT x86";
        callerEnvironment_ = windows9x ? "Windows 4.0" : "Windows NT x86";
        processors_[lowerAscii(nativeEnvironment_) + "|winprint"] = "winprint.dll";  // Windows' own
        processorNames_[lowerAscii(nativeEnvironment_) + "|winprint"] = "WinPrint";
    }
    std::string nativeEnvironment() const { return nativeEnvironment_; }
    // The monitors a fresh installation of that Windows has (replacing any set before).
    void setBuiltInMonitors(const std::vector<std::string>& names);

    // The folders of an environment (the native one when empty); empty for an unknown one.
    std::string driverDirectory(const std::string& environment = "") const;     // ...\spool\drivers\x64
    std::string processorDirectory(const std::string& environment = "") const;  // ...\spool\prtprocs\x64

    // What a test looks at afterwards.
    const SimPrinter* printer(const std::string& name) const;
    bool hasDriver(const std::string& name, const std::string& environment = "") const;
    const plat::DriverInfo3* driver(const std::string& name, const std::string& environment = "") const;
    // A monitor the running spooler has loaded (one whose DLL was missing at the last start
    // is not).
    const SimMonitor* monitor(const std::string& name) const;
    bool hasProcessor(const std::string& name, const std::string& environment = "") const;
    std::vector<std::string> printerNames() const;
    std::vector<std::string> portNames() const;
    const std::string& defaultPrinter() const { return default_; }
    void addPort(const std::string& port) { ports_.push_back(port); }
    // Whether the running spooler has this file loaded (lower-case path as resolved): the
    // DLLs of its monitors in the system folder and of its print processors.
    bool holdsFile(const std::string& lowerPath) const;
    void setJobs(const std::string& printer, std::uint32_t jobs);
    // What the Spooler service does when it has started: it loads its monitors anew from
    // their registry keys.
    void loadMonitors();
    std::size_t openHandleCount() const { return handles_.size(); }
    // Everything the spooler knows, one sorted line per printer, driver (with its files),
    // monitor, processor and port, so two machines can be compared whole.
    std::vector<std::string> inventory() const;

    bool AddPrinter(const plat::PrinterInfo2& info, plat::PrinterHandle* printer) override;
    bool OpenPrinter(const std::string& name, plat::PrinterHandle* printer) override;
    bool ClosePrinter(plat::PrinterHandle printer) override;
    bool GetPrinter2(plat::PrinterHandle printer, std::uint32_t bufferSize, plat::PrinterInfo2* info,
                     std::uint32_t* needed) override;
    bool SetPrinter2(plat::PrinterHandle printer, const plat::PrinterInfo2& info) override;
    bool DeletePrinter(plat::PrinterHandle printer) override;
    bool AddPrinterDriver(const plat::DriverInfo3& info) override;
    bool AddMonitor(const plat::MonitorInfo2& info) override;
    bool AddPrintProcessor(const plat::OptText& environment, const std::string& dllName,
                           const std::string& processorName) override;
    bool EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) override;
    bool GetPrinterDriverDirectory(const plat::OptText& environment, std::uint32_t size,
                                   std::string* directory) override;
    bool GetPrintProcessorDirectory(const plat::OptText& environment, std::uint32_t size,
                                    std::string* directory) override;
    bool OpenPrinterWithAccess(const std::string& name, std::uint32_t access, plat::PrinterHandle* printer) override;
    bool XcvDataAddPort(plat::PrinterHandle xcv, const plat::PortData1& port, std::uint32_t* status) override;
    bool CallSetDefaultPrinter(plat::ProcAddress fn, const std::string& name) override;
    bool EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override;
    bool EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override;
    bool EnumPrintProcessors1(const plat::OptText& environment, std::uint32_t bufferSize,
                              std::vector<std::string>* names, std::uint32_t* needed) override;
    bool DeleteMonitor(const plat::OptText& server, const plat::OptText& environment, const std::string& name) override;
    bool DeletePrintProcessor(const plat::OptText& server, const plat::OptText& environment,
                              const std::string& name) override;
    bool DeletePrinterDriver(const plat::OptText& server, const plat::OptText& environment,
                             const std::string& name) override;
    bool CallDeletePrinterDriverEx(plat::ProcAddress fn, const plat::OptText& server, const plat::OptText& environment,
                                   const std::string& name, std::uint32_t deleteFlag,
                                   std::uint32_t versionFlag) override;
    // A port provided by a monitor: the monitor is in use while a printer uses the port.
    void addMonitorPort(const std::string& monitor, const std::string& port);
    // Ports made through the TCP/IP monitor, with what they were made from.
    const std::map<std::string, plat::PortData1>& tcpPorts() const { return tcpPorts_; }
    bool tcpMonitorPresent = true;
    // A status the TCP/IP monitor answers AddPort with while the call itself succeeds, as a
    // monitor refusing the port does (0: it takes the port).
    std::uint32_t tcpMonitorRefusal = 0;

private:
    bool enter(const char* api);  // fault check and "is the spooler running"
    bool listNames(const char* api, const std::vector<std::string>& all, std::uint32_t entrySize,
                   std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed);
    bool deleteDriver(const plat::OptText& environment, const std::string& name);
    SimPrinter* printerByHandle(plat::PrinterHandle h);
    std::string environmentOf(const plat::OptText& env) const;
    bool knownEnvironment(const std::string& environment) const;
    static std::uint32_t sizeOf(const plat::PrinterInfo2& info);

    SimState& state_;
    SimFileSystem& files_;
    SimProcess& process_;
    SimServices& services_;
    SimRegistry& registry_;
    bool x64_ = false;
    bool windows9x_ = false;
    std::string nativeEnvironment_ = "Windows NT x86";
    std::string callerEnvironment_ = "Windows NT x86";
    std::map<std::string, SimPrinter> printers_;            // by lower-case name
    std::map<std::string, plat::DriverInfo3> drivers_;      // "environment|name", lower case
    std::map<std::string, SimMonitor> monitors_;            // by lower-case name
    std::map<std::string, std::string> processors_;         // "environment|name" -> dll
    std::map<std::string, std::string> processorNames_;     // "environment|name" -> the name as added
    std::vector<std::string> ports_;
    std::string default_;
    std::map<std::string, plat::PortData1> tcpPorts_;
    std::map<plat::PrinterHandle, std::string> handles_;    // -> lower-case printer name
    plat::PrinterHandle next_ = 0xA000;
};

}  // namespace sim
