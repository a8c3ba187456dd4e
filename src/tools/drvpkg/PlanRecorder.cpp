#include "tools/drvpkg/PlanRecorder.h"

namespace drvpkg {

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::string opt(const plat::OptText& t) { return t ? *t : std::string("(null)"); }

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : ",") + n;
    return out;
}

std::string rootName(plat::RegKey root) {
    switch (root) {
        case plat::kHkeyClassesRoot: return "HKCR";
        case plat::kHkeyCurrentUser: return "HKCU";
        case plat::kHkeyLocalMachine: return "HKLM";
        case plat::kHkeyUsers: return "HKU";
        default: return std::string();
    }
}

std::string valueText(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    if (type == plat::kRegDword && size == 4) {
        const std::uint32_t v = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
        return "dword " + std::to_string(v);
    }
    if (type == plat::kRegSz) {
        std::string s(reinterpret_cast<const char*>(data), size);
        const auto nul = s.find('\0');
        return "sz \"" + (nul == std::string::npos ? s : s.substr(0, nul)) + "\"";
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out = "type " + std::to_string(type) + " hex ";
    for (std::uint32_t i = 0; i < size; ++i) out += std::string{kHex[data[i] >> 4], kHex[data[i] & 15]};
    return out;
}

Fields printerFields(const plat::PrinterInfo2& i) {
    return {{"pPrinterName", opt(i.printerName)}, {"pPortName", opt(i.portName)},
            {"pDriverName", opt(i.driverName)},   {"pPrintProcessor", opt(i.printProcessor)},
            {"pDatatype", opt(i.datatype)},       {"pShareName", opt(i.shareName)},
            {"pComment", opt(i.comment)},         {"pLocation", opt(i.location)},
            {"Attributes", std::to_string(i.attributes)}, {"Priority", std::to_string(i.priority)}};
}

}  // namespace

// ---- files

bool RecordingFiles::CopyFile(const std::string& source, const std::string& target, bool failIfExists) {
    const bool ok = in_.CopyFile(source, target, failIfExists);
    r_.add("file", "CopyFileA", {{"source", source}, {"target", target}}, ok);
    return ok;
}

bool RecordingFiles::DeleteFile(const std::string& path) {
    const bool ok = in_.DeleteFile(path);
    r_.add("file", "DeleteFileA", {{"path", path}}, ok);
    return ok;
}

bool RecordingFiles::CreateDirectory(const std::string& path) {
    const bool ok = in_.CreateDirectory(path);
    r_.add("file", "CreateDirectoryA", {{"path", path}}, ok);
    return ok;
}

bool RecordingFiles::SetupIterateCabinet(const std::string& cabinet, const plat::CabinetCallback& callback) {
    // Files taken out of a cabinet are copies too: the callback's answer says which.
    std::vector<std::pair<std::string, std::string>> extracted;
    const bool ok = in_.SetupIterateCabinet(cabinet, [&](plat::CabinetNotification& n) {
        const std::uint32_t answer = callback(n);
        if (n.notification == plat::kSpFileNotifyFileInCabinet && answer == plat::kFileOpDoIt)
            extracted.emplace_back(cabinet + "\\" + n.nameInCabinet, n.fullTargetName);
        return answer;
    });
    for (const auto& e : extracted) r_.add("file", "SetupIterateCabinetA", {{"source", e.first}, {"target", e.second}}, ok);
    if (extracted.empty()) r_.add("file", "SetupIterateCabinetA", {{"source", cabinet}}, ok);
    return ok;
}

// ---- registry

RecordingRegistry::OpenKey RecordingRegistry::describe(plat::RegKey root, const std::string& subKey,
                                                       std::uint32_t access) const {
    OpenKey parent = of(root);
    OpenKey key;
    key.path = subKey.empty() ? parent.path : parent.path + "\\" + subKey;
    while (!key.path.empty() && key.path.back() == '\\') key.path.pop_back();
    // A 32-bit program sees the 32-bit view unless it asks for the 64-bit one.
    if (!rootName(root).empty())
        key.view = (is64_ && (access & plat::kKeyWow64_64Key)) ? "64-bit" : "32-bit";
    else
        key.view = parent.view;
    return key;
}

RecordingRegistry::OpenKey RecordingRegistry::of(plat::RegKey key) const {
    const std::string root = rootName(key);
    if (!root.empty()) return {root, "32-bit"};
    auto it = keys_.find(key);
    return it == keys_.end() ? OpenKey{"(unknown key)", "?"} : it->second;
}

long RecordingRegistry::RegOpenKeyEx(plat::RegKey root, const std::string& subKey, std::uint32_t options,
                                     std::uint32_t access, plat::RegKey* result) {
    const long rc = in_.RegOpenKeyEx(root, subKey, options, access, result);
    if (rc == 0) opened(*result, describe(root, subKey, access));
    return rc;
}

long RecordingRegistry::RegCreateKeyEx(plat::RegKey root, const std::string& subKey, const char* className,
                                       std::uint32_t options, std::uint32_t access, plat::RegKey* result,
                                       std::uint32_t* disposition) {
    const long rc = in_.RegCreateKeyEx(root, subKey, className, options, access, result, disposition);
    const OpenKey where = describe(root, subKey, access);
    if (rc == 0) opened(*result, where);
    r_.add("registry", "RegCreateKeyExA", {{"view", where.view}, {"key", where.path}}, rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

long RecordingRegistry::RegCloseKey(plat::RegKey key) {
    keys_.erase(key);
    return in_.RegCloseKey(key);
}

long RecordingRegistry::RegSetValueEx(plat::RegKey key, const std::string& name, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t size) {
    const long rc = in_.RegSetValueEx(key, name, type, data, size);
    const OpenKey where = of(key);
    r_.add("registry", "RegSetValueExA",
           {{"view", where.view}, {"key", where.path}, {"name", name}, {"value", valueText(type, data, size)}}, rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

long RecordingRegistry::RegDeleteValue(plat::RegKey key, const std::string& name) {
    const long rc = in_.RegDeleteValue(key, name);
    const OpenKey where = of(key);
    r_.add("registry", "RegDeleteValueA", {{"view", where.view}, {"key", where.path}, {"name", name}}, rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

long RecordingRegistry::RegDeleteKey(plat::RegKey root, const std::string& subKey) {
    const long rc = in_.RegDeleteKey(root, subKey);
    const OpenKey where = describe(root, subKey, 0);
    r_.add("registry", "RegDeleteKeyA", {{"view", where.view}, {"key", where.path}}, rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

long RecordingRegistry::CallRegDeleteKeyEx(plat::ProcAddress fn, plat::RegKey root, const std::string& subKey,
                                           std::uint32_t access) {
    const long rc = in_.CallRegDeleteKeyEx(fn, root, subKey, access);
    const OpenKey where = describe(root, subKey, access);
    r_.add("registry", "RegDeleteKeyExA", {{"view", where.view}, {"key", where.path}}, rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

// ---- WIN.INI

bool RecordingProfile::WriteProfileString(const std::optional<std::string>& section,
                                          const std::optional<std::string>& key,
                                          const std::optional<std::string>& value) {
    const bool ok = in_.WriteProfileString(section, key, value);
    if (section) r_.add("profile", "WriteProfileStringA", {{"section", *section}, {"key", opt(key)}, {"value", opt(value)}}, ok);
    return ok;
}

// ---- services

plat::ScHandle RecordingServices::OpenService(plat::ScHandle manager, const std::string& name, std::uint32_t access) {
    const plat::ScHandle h = in_.OpenService(manager, name, access);
    if (h) names_[h] = name;
    return h;
}

bool RecordingServices::ControlService(plat::ScHandle service, std::uint32_t control, plat::ServiceStatus* status) {
    const bool ok = in_.ControlService(service, control, status);
    r_.add("service", "ControlService",
           {{"service", names_[service]}, {"control", control == plat::kServiceControlStop ? "stop" : std::to_string(control)}}, ok);
    return ok;
}

bool RecordingServices::StartService(plat::ScHandle service) {
    const bool ok = in_.StartService(service);
    r_.add("service", "StartServiceA", {{"service", names_[service]}}, ok);
    return ok;
}

// ---- spooler

bool RecordingSpooler::AddPrinter(const plat::PrinterInfo2& info, plat::PrinterHandle* printer) {
    const bool ok = in_.AddPrinter(info, printer);
    r_.add("spooler", "AddPrinterA", printerFields(info), ok);
    return ok;
}

bool RecordingSpooler::SetPrinter2(plat::PrinterHandle printer, const plat::PrinterInfo2& info) {
    const bool ok = in_.SetPrinter2(printer, info);
    r_.add("spooler", "SetPrinterA", printerFields(info), ok);
    return ok;
}

bool RecordingSpooler::DeletePrinter(plat::PrinterHandle printer) {
    const bool ok = in_.DeletePrinter(printer);
    r_.add("spooler", "DeletePrinter", {}, ok);
    return ok;
}

bool RecordingSpooler::AddPrinterDriver(const plat::DriverInfo3& i) {
    const bool ok = in_.AddPrinterDriver(i);
    r_.add("spooler", "AddPrinterDriverA",
           {{"cVersion", std::to_string(i.version)}, {"pName", opt(i.name)}, {"pEnvironment", opt(i.environment)},
            {"pDriverPath", opt(i.driverPath)}, {"pDataFile", opt(i.dataFile)}, {"pConfigFile", opt(i.configFile)},
            {"pHelpFile", opt(i.helpFile)}, {"pDependentFiles", joined(i.dependentFiles)},
            {"pMonitorName", opt(i.monitorName)}, {"pDefaultDataType", opt(i.defaultDataType)}},
           ok);
    return ok;
}

bool RecordingSpooler::AddMonitor(const plat::MonitorInfo2& i) {
    const bool ok = in_.AddMonitor(i);
    r_.add("spooler", "AddMonitorA", {{"pName", opt(i.name)}, {"pEnvironment", opt(i.environment)}, {"pDLLName", opt(i.dllName)}},
           ok);
    return ok;
}

bool RecordingSpooler::AddPrintProcessor(const plat::OptText& environment, const std::string& dllName,
                                         const std::string& processorName) {
    const bool ok = in_.AddPrintProcessor(environment, dllName, processorName);
    r_.add("spooler", "AddPrintProcessorA",
           {{"pEnvironment", opt(environment)}, {"pPathName", dllName}, {"pPrintProcessorName", processorName}}, ok);
    return ok;
}

bool RecordingSpooler::XcvDataAddPort(plat::PrinterHandle xcv, const plat::PortData1& d, std::uint32_t* status) {
    const bool ok = in_.XcvDataAddPort(xcv, d, status);
    r_.add("spooler", "XcvDataW AddPort",
           {{"sztPortName", d.portName}, {"dwProtocol", std::to_string(d.protocol)},
            {"sztHostAddress", d.hostAddress}, {"sztIPAddress", d.ipAddress}, {"dwPortNumber", std::to_string(d.portNumber)},
            {"sztQueue", d.queue}, {"dwSNMPEnabled", std::to_string(d.snmpEnabled)},
            {"sztSNMPCommunity", d.snmpCommunity}, {"status", std::to_string(status ? *status : 0)}},
           ok && (!status || *status == 0));
    return ok;
}

bool RecordingSpooler::DeleteMonitor(const plat::OptText& server, const plat::OptText& environment, const std::string& name) {
    const bool ok = in_.DeleteMonitor(server, environment, name);
    r_.add("spooler", "DeleteMonitorA", {{"pEnvironment", opt(environment)}, {"pMonitorName", name}}, ok);
    return ok;
}

bool RecordingSpooler::DeletePrintProcessor(const plat::OptText& server, const plat::OptText& environment,
                                            const std::string& name) {
    const bool ok = in_.DeletePrintProcessor(server, environment, name);
    r_.add("spooler", "DeletePrintProcessorA", {{"pEnvironment", opt(environment)}, {"pPrintProcessorName", name}}, ok);
    return ok;
}

bool RecordingSpooler::DeletePrinterDriver(const plat::OptText& server, const plat::OptText& environment,
                                           const std::string& name) {
    const bool ok = in_.DeletePrinterDriver(server, environment, name);
    r_.add("spooler", "DeletePrinterDriverA", {{"pEnvironment", opt(environment)}, {"pDriverName", name}}, ok);
    return ok;
}

bool RecordingSpooler::CallDeletePrinterDriverEx(plat::ProcAddress fn, const plat::OptText& server,
                                                 const plat::OptText& environment, const std::string& name,
                                                 std::uint32_t deleteFlag, std::uint32_t versionFlag) {
    const bool ok = in_.CallDeletePrinterDriverEx(fn, server, environment, name, deleteFlag, versionFlag);
    r_.add("spooler", "DeletePrinterDriverExA",
           {{"pEnvironment", opt(environment)}, {"pDriverName", name}, {"dwDeleteFlag", std::to_string(deleteFlag)},
            {"dwVersionFlag", std::to_string(versionFlag)}},
           ok);
    return ok;
}

bool RecordingSpooler::CallSetDefaultPrinter(plat::ProcAddress fn, const std::string& name) {
    const bool ok = in_.CallSetDefaultPrinter(fn, name);
    r_.add("spooler", "SetDefaultPrinterA", {{"pszPrinter", name}}, ok);
    return ok;
}

// ---- the recorder

PlanRecorder::PlanRecorder(sim::SimMachine& m)
    : machine_(m),
      files_(*this, m.fileApi),
      registry_(*this, m.registry, m.system.wow64),
      profile_(*this, m.profile),
      services_(*this, m.services),
      spooler_(*this, m.spooler),
      platform_{profile_, registry_, m.system, m.process, m.security, services_, m.windows,
                m.clock,  spooler_,  files_,   m.shell,   m.usb} {}

void PlanRecorder::add(const char* kind, const char* call, std::vector<std::pair<std::string, std::string>> fields,
                       bool ok, std::uint32_t error) {
    if (!recording) return;
    PlanStep step{kind, call, std::move(fields), ok, ok ? 0u : error ? error : machine_.state.lastError};
    steps_.push_back(std::move(step));
}

}  // namespace drvpkg
