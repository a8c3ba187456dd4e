#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <cstring>
#include <vector>

namespace plat {

namespace {

char* text(const OptText& t) { return t ? const_cast<char*>(t->c_str()) : nullptr; }
OptText fromChars(const char* s) { return s ? OptText(std::string(s)) : std::nullopt; }
HANDLE toHandle(PrinterHandle h) { return reinterpret_cast<HANDLE>(h); }

PRINTER_INFO_2A toRecord(const PrinterInfo2& i) {
    PRINTER_INFO_2A r;
    std::memset(&r, 0, sizeof r);
    r.pServerName = text(i.serverName);
    r.pPrinterName = text(i.printerName);
    r.pShareName = text(i.shareName);
    r.pPortName = text(i.portName);
    r.pDriverName = text(i.driverName);
    r.pComment = text(i.comment);
    r.pLocation = text(i.location);
    r.pSepFile = text(i.sepFile);
    r.pPrintProcessor = text(i.printProcessor);
    r.pDatatype = text(i.datatype);
    r.pParameters = text(i.parameters);
    r.Attributes = i.attributes;
    r.Priority = i.priority;
    r.DefaultPriority = i.defaultPriority;
    r.StartTime = i.startTime;
    r.UntilTime = i.untilTime;
    return r;
}

std::vector<WCHAR> wide(const std::string& s) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> out(n > 0 ? static_cast<std::size_t>(n) : 1, 0);
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, out.data(), n);
    return out;
}

void copyWide(WCHAR* target, std::size_t capacity, const std::string& s) {
    const auto w = wide(s);
    const std::size_t n = std::min(capacity - 1, w.size() - 1);
    std::memcpy(target, w.data(), n * sizeof(WCHAR));
    target[n] = 0;
}

// PORT_DATA_1 as the TCP/IP port monitor reads it (964 bytes).
struct PortData1Record {
    WCHAR sztPortName[64];
    DWORD dwVersion, dwProtocol, cbSize, dwReserved;
    WCHAR sztHostAddress[49];
    WCHAR sztSNMPCommunity[33];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[33];
    WCHAR sztIPAddress[16];
    BYTE Reserved[540];
    DWORD dwPortNumber, dwSNMPEnabled, dwSNMPDevIndex;
};
static_assert(sizeof(PortData1Record) == 964, "PORT_DATA_1 is 964 bytes");

typedef BOOL(WINAPI* XcvDataWFn)(HANDLE, PCWSTR, PBYTE, DWORD, PBYTE, DWORD, PDWORD, PDWORD);
typedef BOOL(WINAPI* SetDefaultPrinterAFn)(LPCSTR);

}  // namespace

bool Win32SpoolerApi::AddPrinter(const PrinterInfo2& info, PrinterHandle* printer) {
    PRINTER_INFO_2A record = toRecord(info);
    HANDLE h = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&record));
    *printer = reinterpret_cast<PrinterHandle>(h);
    return h != nullptr;
}

bool Win32SpoolerApi::OpenPrinter(const std::string& name, PrinterHandle* printer) {
    HANDLE h = nullptr;
    BOOL ok = ::OpenPrinterA(const_cast<char*>(name.c_str()), &h, nullptr);
    *printer = ok ? reinterpret_cast<PrinterHandle>(h) : 0;
    return ok != FALSE;
}

bool Win32SpoolerApi::OpenPrinterWithAccess(const std::string& name, std::uint32_t access, PrinterHandle* printer) {
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, access};
    HANDLE h = nullptr;
    BOOL ok = ::OpenPrinterA(const_cast<char*>(name.c_str()), &h, &defaults);
    *printer = ok ? reinterpret_cast<PrinterHandle>(h) : 0;
    return ok != FALSE;
}

bool Win32SpoolerApi::ClosePrinter(PrinterHandle printer) { return ::ClosePrinter(toHandle(printer)) != FALSE; }

bool Win32SpoolerApi::GetPrinter2(PrinterHandle printer, std::uint32_t bufferSize, PrinterInfo2* info,
                                  std::uint32_t* needed) {
    std::vector<BYTE> buffer(bufferSize ? bufferSize : 1, 0);
    DWORD need = 0;
    BOOL ok = ::GetPrinterA(toHandle(printer), 2, bufferSize ? buffer.data() : nullptr, bufferSize, &need);
    *needed = need;
    if (!ok) return false;
    const auto* r = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    info->serverName = fromChars(r->pServerName);
    info->printerName = fromChars(r->pPrinterName);
    info->shareName = fromChars(r->pShareName);
    info->portName = fromChars(r->pPortName);
    info->driverName = fromChars(r->pDriverName);
    info->comment = fromChars(r->pComment);
    info->location = fromChars(r->pLocation);
    info->sepFile = fromChars(r->pSepFile);
    info->printProcessor = fromChars(r->pPrintProcessor);
    info->datatype = fromChars(r->pDatatype);
    info->parameters = fromChars(r->pParameters);
    info->attributes = r->Attributes;
    info->priority = r->Priority;
    info->defaultPriority = r->DefaultPriority;
    info->startTime = r->StartTime;
    info->untilTime = r->UntilTime;
    info->status = r->Status;
    info->jobs = r->cJobs;
    info->averagePpm = r->AveragePPM;
    return true;
}

bool Win32SpoolerApi::SetPrinter2(PrinterHandle printer, const PrinterInfo2& info) {
    PRINTER_INFO_2A record = toRecord(info);
    return ::SetPrinterA(toHandle(printer), 2, reinterpret_cast<BYTE*>(&record), 0) != FALSE;
}

bool Win32SpoolerApi::DeletePrinter(PrinterHandle printer) { return ::DeletePrinter(toHandle(printer)) != FALSE; }

bool Win32SpoolerApi::AddPrinterDriver(const DriverInfo3& info) {
    // The dependent files travel as one buffer of NUL-terminated names closed by an empty one.
    std::vector<char> dependent;
    for (const auto& name : info.dependentFiles) {
        dependent.insert(dependent.end(), name.begin(), name.end());
        dependent.push_back('\0');
    }
    dependent.push_back('\0');
    dependent.push_back('\0');
    DRIVER_INFO_3A r;
    std::memset(&r, 0, sizeof r);
    r.cVersion = info.version;
    r.pName = text(info.name);
    r.pEnvironment = text(info.environment);
    r.pDriverPath = text(info.driverPath);
    r.pDataFile = text(info.dataFile);
    r.pConfigFile = text(info.configFile);
    r.pHelpFile = text(info.helpFile);
    r.pDependentFiles = dependent.data();
    r.pMonitorName = text(info.monitorName);
    r.pDefaultDataType = text(info.defaultDataType);
    return ::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&r)) != FALSE;
}

bool Win32SpoolerApi::AddMonitor(const MonitorInfo2& info) {
    MONITOR_INFO_2A r = {text(info.name), text(info.environment), text(info.dllName)};
    return ::AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&r)) != FALSE;
}

bool Win32SpoolerApi::AddPrintProcessor(const OptText& environment, const std::string& dllName,
                                        const std::string& processorName) {
    return ::AddPrintProcessorA(nullptr, text(environment), const_cast<char*>(dllName.c_str()),
                                const_cast<char*>(processorName.c_str())) != FALSE;
}

bool Win32SpoolerApi::EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) {
    std::vector<BYTE> buffer(bufferSize ? bufferSize : 1, 0);
    DWORD need = 0, count = 0;
    BOOL ok = ::EnumPortsA(nullptr, 1, bufferSize ? buffer.data() : nullptr, bufferSize, &need, &count);
    *needed = need;
    if (!ok) return false;
    const auto* p = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    ports->clear();
    for (DWORD i = 0; i < count; ++i) ports->push_back(p[i].pName ? p[i].pName : "");
    return true;
}

bool Win32SpoolerApi::GetPrinterDriverDirectory(const OptText& environment, std::uint32_t size, std::string* directory) {
    std::vector<BYTE> buffer(size + 1u, 0);
    DWORD need = 0;
    if (!::GetPrinterDriverDirectoryA(nullptr, text(environment), 1, buffer.data(), size, &need)) return false;
    *directory = reinterpret_cast<const char*>(buffer.data());
    return true;
}

bool Win32SpoolerApi::GetPrintProcessorDirectory(const OptText& environment, std::uint32_t size, std::string* directory) {
    std::vector<BYTE> buffer(size + 1u, 0);
    DWORD need = 0;
    if (!::GetPrintProcessorDirectoryA(nullptr, text(environment), 1, buffer.data(), size, &need)) return false;
    *directory = reinterpret_cast<const char*>(buffer.data());
    return true;
}

bool Win32SpoolerApi::XcvDataAddPort(PrinterHandle xcv, const PortData1& port, std::uint32_t* status) {
    // Looked up at run time: older import libraries do not all carry XcvDataW.
    HMODULE winspool = ::GetModuleHandleA("winspool.drv");
    auto xcvData = winspool ? reinterpret_cast<XcvDataWFn>(reinterpret_cast<void*>(::GetProcAddress(winspool, "XcvDataW")))
                            : nullptr;
    if (!xcvData) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return false;
    }
    PortData1Record r;
    std::memset(&r, 0, sizeof r);
    copyWide(r.sztPortName, 64, port.portName);
    r.dwVersion = port.version;
    r.dwProtocol = port.protocol;
    r.cbSize = port.size;
    r.dwReserved = port.reserved;
    copyWide(r.sztHostAddress, 49, port.hostAddress);
    copyWide(r.sztSNMPCommunity, 33, port.snmpCommunity);
    r.dwDoubleSpool = port.doubleSpool;
    copyWide(r.sztQueue, 33, port.queue);
    copyWide(r.sztIPAddress, 16, port.ipAddress);
    r.dwPortNumber = port.portNumber;
    r.dwSNMPEnabled = port.snmpEnabled;
    r.dwSNMPDevIndex = port.snmpDevIndex;
    BYTE output[260] = {0};
    DWORD needed = 0, st = 0;
    BOOL ok = xcvData(toHandle(xcv), L"AddPort", reinterpret_cast<BYTE*>(&r), sizeof r, output, sizeof output,
                      &needed, &st);
    *status = st;
    return ok != FALSE;
}

namespace {

template <typename Info, typename Call>
bool enumNames(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed, Call call) {
    std::vector<BYTE> buffer(bufferSize ? bufferSize : 1, 0);
    DWORD need = 0, count = 0;
    BOOL ok = call(bufferSize ? buffer.data() : nullptr, bufferSize, &need, &count);
    *needed = need;
    if (!ok) return false;
    const auto* items = reinterpret_cast<const Info*>(buffer.data());
    names->clear();
    for (DWORD i = 0; i < count; ++i) names->push_back(items[i].pName ? items[i].pName : "");
    return true;
}

typedef BOOL(WINAPI* DeletePrinterDriverExAFn)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);

}  // namespace

bool Win32SpoolerApi::EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) {
    std::vector<BYTE> buffer(bufferSize ? bufferSize : 1, 0);
    DWORD need = 0, count = 0;
    BOOL ok = ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, bufferSize ? buffer.data() : nullptr, bufferSize, &need,
                              &count);
    *needed = need;
    if (!ok) return false;
    const auto* items = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    names->clear();
    for (DWORD i = 0; i < count; ++i) names->push_back(items[i].pPrinterName ? items[i].pPrinterName : "");
    return true;
}

bool Win32SpoolerApi::EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) {
    return enumNames<MONITOR_INFO_1A>(bufferSize, names, needed, [](BYTE* b, DWORD s, DWORD* n, DWORD* c) {
        return ::EnumMonitorsA(nullptr, 1, b, s, n, c);
    });
}

bool Win32SpoolerApi::EnumPrintProcessors1(const OptText& environment, std::uint32_t bufferSize,
                                           std::vector<std::string>* names, std::uint32_t* needed) {
    return enumNames<PRINTPROCESSOR_INFO_1A>(bufferSize, names, needed, [&](BYTE* b, DWORD s, DWORD* n, DWORD* c) {
        return ::EnumPrintProcessorsA(nullptr, text(environment), 1, b, s, n, c);
    });
}

bool Win32SpoolerApi::DeleteMonitor(const OptText& server, const OptText& environment, const std::string& name) {
    return ::DeleteMonitorA(text(server), text(environment), const_cast<char*>(name.c_str())) != FALSE;
}

bool Win32SpoolerApi::DeletePrintProcessor(const OptText& server, const OptText& environment, const std::string& name) {
    return ::DeletePrintProcessorA(text(server), text(environment), const_cast<char*>(name.c_str())) != FALSE;
}

bool Win32SpoolerApi::DeletePrinterDriver(const OptText& server, const OptText& environment, const std::string& name) {
    return ::DeletePrinterDriverA(text(server), text(environment), const_cast<char*>(name.c_str())) != FALSE;
}

bool Win32SpoolerApi::CallDeletePrinterDriverEx(ProcAddress fn, const OptText& server, const OptText& environment,
                                                const std::string& name, std::uint32_t deleteFlag,
                                                std::uint32_t versionFlag) {
    return reinterpret_cast<DeletePrinterDriverExAFn>(fn)(text(server), text(environment),
                                                          const_cast<char*>(name.c_str()), deleteFlag,
                                                          versionFlag) != FALSE;
}

bool Win32SpoolerApi::CallSetDefaultPrinter(ProcAddress fn, const std::string& name) {
    return reinterpret_cast<SetDefaultPrinterAFn>(fn)(name.c_str()) != FALSE;
}

}  // namespace plat
