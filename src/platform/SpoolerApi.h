// The print spooler calls (winspool.drv), with the records they take as plain structs.
// A string member that Windows allows to be null is an Optional text.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace plat {

using PrinterHandle = Handle;
using OptText = std::optional<std::string>;

struct PrinterInfo2 {
    OptText serverName, printerName, shareName, portName, driverName, comment, location;
    OptText sepFile, printProcessor, datatype, parameters;
    std::uint32_t attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0;
    std::uint32_t status = 0, jobs = 0, averagePpm = 0;
};

struct DriverInfo3 {
    std::uint32_t version = 0;
    OptText name, environment, driverPath, dataFile, configFile, helpFile;
    std::vector<std::string> dependentFiles;  // the double-NUL-terminated list, as names
    OptText monitorName, defaultDataType;
};

struct MonitorInfo2 {
    OptText name, environment, dllName;
};

enum : std::uint32_t {
    kErrorUnknownPrinterDriver = 1797,
    kErrorInvalidPrinterName = 1801,
    kErrorPrinterAlreadyExists = 1802,
    kErrorPrinterDriverInUse = 3001,
    kErrorPrintProcessorAlreadyInstalled = 3005,
    kErrorPrintMonitorAlreadyInstalled = 3006,
    kErrorPrintMonitorInUse = 3008,
    kErrorUnknownPrintMonitor = 3000,
    kErrorRpcServerUnavailable = 1722,
    kErrorCanNotComplete = 1003,
    kPrinterAllAccess = 0xF000C,
    kPrinterAttributeDefault = 4,
};

// PORT_DATA_1 of the Standard TCP/IP port monitor; texts are ANSI here and travel as
// UTF-16 (converted with the ANSI code page).
struct PortData1 {
    std::string portName;
    std::uint32_t version = 1, protocol = 1, size = 964, reserved = 0;
    std::string hostAddress, snmpCommunity;
    std::uint32_t doubleSpool = 0;
    std::string queue, ipAddress;
    std::uint32_t portNumber = 0, snmpEnabled = 0, snmpDevIndex = 0;
};

class SpoolerApi {
public:
    virtual ~SpoolerApi() = default;
    virtual bool AddPrinter(const PrinterInfo2& info, PrinterHandle* printer) = 0;  // level 2
    virtual bool OpenPrinter(const std::string& name, PrinterHandle* printer) = 0;
    virtual bool ClosePrinter(PrinterHandle printer) = 0;
    // GetPrinterA level 2: with bufferSize below *needed it fails with 122.
    virtual bool GetPrinter2(PrinterHandle printer, std::uint32_t bufferSize, PrinterInfo2* info,
                             std::uint32_t* needed) = 0;
    virtual bool SetPrinter2(PrinterHandle printer, const PrinterInfo2& info) = 0;
    virtual bool DeletePrinter(PrinterHandle printer) = 0;
    virtual bool AddPrinterDriver(const DriverInfo3& info) = 0;  // level 3
    virtual bool AddMonitor(const MonitorInfo2& info) = 0;       // level 2
    virtual bool AddPrintProcessor(const OptText& environment, const std::string& dllName,
                                   const std::string& processorName) = 0;
    // EnumPortsA level 1: with bufferSize below *needed it fails with 122.
    virtual bool EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) = 0;
    // A null environment is the calling program's own: "Windows NT x86" for a 32-bit
    // program, also on 64-bit Windows.
    virtual bool GetPrinterDriverDirectory(const OptText& environment, std::uint32_t size, std::string* directory) = 0;
    virtual bool GetPrintProcessorDirectory(const OptText& environment, std::uint32_t size, std::string* directory) = 0;
    // OpenPrinterA with PRINTER_DEFAULTS of no data type, no device mode and `access`
    // (the ",XcvMonitor <name>" objects take SERVER_ACCESS_ADMINISTER, 1).
    virtual bool OpenPrinterWithAccess(const std::string& name, std::uint32_t access, PrinterHandle* printer) = 0;
    // XcvDataW(L"AddPort", PORT_DATA_1): the call's result, with its status out-parameter.
    virtual bool XcvDataAddPort(PrinterHandle xcv, const PortData1& port, std::uint32_t* status) = 0;
    // Listing and removal, for the uninstaller. Enumerations follow the two-call protocol:
    // with bufferSize below *needed they fail with 122.
    virtual bool EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names,
                               std::uint32_t* needed) = 0;  // local printers
    virtual bool EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) = 0;
    virtual bool EnumPrintProcessors1(const OptText& environment, std::uint32_t bufferSize,
                                      std::vector<std::string>* names, std::uint32_t* needed) = 0;
    // `server` is passed as given: an empty text is not the same call as a null one.
    virtual bool DeleteMonitor(const OptText& server, const OptText& environment, const std::string& name) = 0;
    virtual bool DeletePrintProcessor(const OptText& server, const OptText& environment, const std::string& name) = 0;
    virtual bool DeletePrinterDriver(const OptText& server, const OptText& environment, const std::string& name) = 0;
    // DeletePrinterDriverExA, found at run time in winspool.drv (Windows 2000 and later).
    virtual bool CallDeletePrinterDriverEx(ProcAddress fn, const OptText& server, const OptText& environment,
                                           const std::string& name, std::uint32_t deleteFlag,
                                           std::uint32_t versionFlag) = 0;
    // SetDefaultPrinterA, found at run time in winspool.drv (Windows 2000 and later).
    virtual bool CallSetDefaultPrinter(ProcAddress fn, const std::string& name) = 0;
};

}  // namespace plat
