#include "platform/sim/SimSpooler.h"

#include <algorithm>

#include "platform/sim/SimText.h"

namespace sim {

namespace {
constexpr std::uint32_t kErrorUnknownPort = 1796;
constexpr std::uint32_t kErrorUnknownPrintProcessor = 1798;
constexpr std::uint32_t kErrorInvalidEnvironment = 1805;
const char kMonitorsKey[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

std::string key(const std::string& environment, const std::string& name) {
    return lowerAscii(environment) + "|" + lowerAscii(name);
}
std::uint32_t textSize(const plat::OptText& t) { return t ? static_cast<std::uint32_t>(t->size() + 1) : 0; }
}  // namespace

SimSpooler::SimSpooler(SimState& state, SimFileSystem& files, SimProcess& process, SimServices& services,
                       SimRegistry& registry)
    : state_(state), files_(files), process_(process), services_(services), registry_(registry) {
    ports_ = {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
}

namespace {
// The folder name of an environment under spool\drivers and spool\prtprocs.
const char* environmentFolder(const std::string& environment) {
    if (equalsNoCase(environment, "Windows x64")) return "x64";
    if (equalsNoCase(environment, "Windows NT x86")) return "w32x86";
    if (equalsNoCase(environment, "Windows 4.0")) return "win40";
    return nullptr;
}
}  // namespace

bool SimSpooler::knownEnvironment(const std::string& environment) const {
    if (windows9x_) return equalsNoCase(environment, "Windows 4.0");
    return environmentFolder(environment) != nullptr;
}

std::string SimSpooler::driverDirectory(const std::string& environment) const {
    const std::string env = environment.empty() ? nativeEnvironment_ : environment;
    if (windows9x_) return process_.systemDir();  // Windows 98 keeps drivers in SYSTEM
    const char* folder = environmentFolder(env);
    return folder ? process_.systemDir() + "\\spool\\drivers\\" + folder : std::string();
}
std::string SimSpooler::processorDirectory(const std::string& environment) const {
    const std::string env = environment.empty() ? nativeEnvironment_ : environment;
    if (windows9x_) return process_.systemDir();
    const char* folder = environmentFolder(env);
    return folder ? process_.systemDir() + "\\spool\\prtprocs\\" + folder : std::string();
}

bool SimSpooler::enter(const char* api) {
    if (state_.enter(api)) return false;
    if (services_.currentState("Spooler") != plat::kServiceRunning)
        return state_.fail(plat::kErrorRpcServerUnavailable);
    return true;
}

void SimSpooler::setBuiltInMonitors(const std::vector<std::string>& names) {
    for (auto it = monitors_.begin(); it != monitors_.end();) it = it->second.builtIn ? monitors_.erase(it) : ++it;
    for (const auto& name : names) {
        SimMonitor m{name, "", nativeEnvironment_, {}};
        m.builtIn = true;
        monitors_[lowerAscii(name)] = m;
    }
}

void SimSpooler::loadMonitors() {
    // The service read HKLM\...\Monitors afresh: a monitor whose key is gone is gone, one
    // whose Driver file is missing stays unloaded (its ports with it).
    for (auto it = monitors_.begin(); it != monitors_.end();) {
        if (it->second.builtIn) {  // part of Windows: always there unless deleted
            ++it;
            continue;
        }
        const std::string keyPath = kMonitorsKey + it->second.name;
        if (!registry_.keyExists(keyPath)) {
            it = monitors_.erase(it);
            continue;
        }
        if (auto driver = registry_.peek(keyPath, "Driver")) {
            std::string dll(driver->data.begin(), driver->data.end());
            dll = dll.c_str();  // up to its NUL
            it->second.dll = dll;
        }
        it->second.loaded = files_.fileExistsNative(process_.systemDir() + "\\" + it->second.dll);
        ++it;
    }
}

std::string SimSpooler::environmentOf(const plat::OptText& env) const {
    return env && !env->empty() ? *env : callerEnvironment_;
}

std::uint32_t SimSpooler::sizeOf(const plat::PrinterInfo2& i) {
    return 84 + textSize(i.serverName) + textSize(i.printerName) + textSize(i.shareName) + textSize(i.portName) +
           textSize(i.driverName) + textSize(i.comment) + textSize(i.location) + textSize(i.sepFile) +
           textSize(i.printProcessor) + textSize(i.datatype) + textSize(i.parameters);
}

const SimPrinter* SimSpooler::printer(const std::string& name) const {
    auto it = printers_.find(lowerAscii(name));
    return it == printers_.end() ? nullptr : &it->second;
}

bool SimSpooler::hasDriver(const std::string& name, const std::string& environment) const {
    return drivers_.count(key(environment.empty() ? nativeEnvironment() : environment, name)) != 0;
}

const plat::DriverInfo3* SimSpooler::driver(const std::string& name, const std::string& environment) const {
    auto it = drivers_.find(key(environment.empty() ? nativeEnvironment() : environment, name));
    return it == drivers_.end() ? nullptr : &it->second;
}

const SimMonitor* SimSpooler::monitor(const std::string& name) const {
    auto it = monitors_.find(lowerAscii(name));
    return it == monitors_.end() || !it->second.loaded ? nullptr : &it->second;
}

bool SimSpooler::hasProcessor(const std::string& name, const std::string& environment) const {
    return processors_.count(key(environment.empty() ? nativeEnvironment() : environment, name)) != 0;
}

std::vector<std::string> SimSpooler::printerNames() const {
    std::vector<std::string> names;
    for (const auto& p : printers_) names.push_back(*p.second.info.printerName);
    return names;
}

std::vector<std::string> SimSpooler::portNames() const {
    std::vector<std::string> all = ports_;
    for (const auto& m : monitors_)
        if (m.second.loaded) all.insert(all.end(), m.second.ports.begin(), m.second.ports.end());
    return all;
}

bool SimSpooler::holdsFile(const std::string& lowerPath) const {
    const std::string system = lowerAscii(process_.systemDir()) + "\\";
    for (const auto& m : monitors_)
        if (m.second.loaded && !m.second.builtIn && lowerPath == system + lowerAscii(m.second.dll)) return true;
    // Only the spooler's own environment's processors are loaded into it.
    const std::string prefix = lowerAscii(nativeEnvironment_) + "|";
    const std::string processors = lowerAscii(processorDirectory()) + "\\";
    for (const auto& p : processors_)
        if (p.first.compare(0, prefix.size(), prefix) == 0 && lowerPath == processors + lowerAscii(p.second))
            return true;
    return false;
}

std::vector<std::string> SimSpooler::inventory() const {
    std::vector<std::string> lines;
    auto text = [](const plat::OptText& t) { return t ? *t : std::string("(null)"); };
    for (const auto& p : printers_)
        lines.push_back("printer " + text(p.second.info.printerName) + " driver=" + text(p.second.info.driverName) +
                        " port=" + text(p.second.info.portName) + " processor=" + text(p.second.info.printProcessor));
    for (const auto& d : drivers_) {
        std::string line = "driver " + d.first + " files=" + text(d.second.driverPath) + "," + text(d.second.dataFile) +
                           "," + text(d.second.configFile) + "," + text(d.second.helpFile) + " deps=";
        for (const auto& f : d.second.dependentFiles) line += f + ",";
        lines.push_back(line + " monitor=" + text(d.second.monitorName));
    }
    for (const auto& m : monitors_) lines.push_back("monitor " + m.first + " dll=" + lowerAscii(m.second.dll));
    for (const auto& p : processors_) lines.push_back("processor " + p.first + " dll=" + lowerAscii(p.second));
    for (const auto& port : portNames()) lines.push_back("port " + lowerAscii(port));
    lines.push_back("default " + lowerAscii(default_));
    std::sort(lines.begin(), lines.end());
    return lines;
}

void SimSpooler::setJobs(const std::string& name, std::uint32_t jobs) {
    auto it = printers_.find(lowerAscii(name));
    if (it != printers_.end()) it->second.queuedJobs = jobs;
}

bool SimSpooler::AddPrinter(const plat::PrinterInfo2& info, plat::PrinterHandle* printer) {
    *printer = 0;
    if (!enter("AddPrinterA")) return false;
    if (!info.printerName || info.printerName->empty() || info.printerName->size() > 220)
        return state_.fail(plat::kErrorInvalidPrinterName);
    if (printers_.count(lowerAscii(*info.printerName))) return state_.fail(plat::kErrorPrinterAlreadyExists);
    // The spooler prints with its own environment's driver and processor, whatever the
    // caller's width.
    if (!info.driverName || !hasDriver(*info.driverName)) return state_.fail(plat::kErrorUnknownPrinterDriver);
    if (!info.printProcessor || !hasProcessor(*info.printProcessor))
        return state_.fail(kErrorUnknownPrintProcessor);
    bool portKnown = false;
    for (const auto& port : portNames())
        if (info.portName && equalsNoCase(port, *info.portName)) portKnown = true;
    if (!portKnown) return state_.fail(kErrorUnknownPort);
    SimPrinter p;
    p.info = info;
    printers_[lowerAscii(*info.printerName)] = p;
    *printer = next_++;
    handles_[*printer] = lowerAscii(*info.printerName);
    return true;
}

bool SimSpooler::OpenPrinter(const std::string& name, plat::PrinterHandle* printer) {
    *printer = 0;
    if (!enter("OpenPrinterA")) return false;
    if (!printers_.count(lowerAscii(name))) return state_.fail(plat::kErrorInvalidPrinterName);
    *printer = next_++;
    handles_[*printer] = lowerAscii(name);
    return true;
}

bool SimSpooler::ClosePrinter(plat::PrinterHandle printer) {
    if (state_.enter("ClosePrinter")) return false;
    if (!handles_.erase(printer)) return state_.fail(plat::kErrorInvalidHandle);
    return true;
}

SimPrinter* SimSpooler::printerByHandle(plat::PrinterHandle h) {
    auto it = handles_.find(h);
    if (it == handles_.end()) {
        state_.lastError = plat::kErrorInvalidHandle;
        return nullptr;
    }
    auto p = printers_.find(it->second);
    if (p == printers_.end()) {
        state_.lastError = plat::kErrorInvalidPrinterName;
        return nullptr;
    }
    return &p->second;
}

bool SimSpooler::GetPrinter2(plat::PrinterHandle printer, std::uint32_t bufferSize, plat::PrinterInfo2* info,
                             std::uint32_t* needed) {
    if (!enter("GetPrinterA")) return false;
    SimPrinter* p = printerByHandle(printer);
    if (!p) return false;
    *needed = sizeOf(p->info);
    if (bufferSize < *needed) return state_.fail(plat::kErrorInsufficientBuffer);
    *info = p->info;
    info->jobs = p->queuedJobs;
    if (equalsNoCase(default_, *p->info.printerName)) info->attributes |= plat::kPrinterAttributeDefault;
    return true;
}

bool SimSpooler::SetPrinter2(plat::PrinterHandle printer, const plat::PrinterInfo2& info) {
    if (!enter("SetPrinterA")) return false;
    SimPrinter* p = printerByHandle(printer);
    if (!p) return false;
    p->info.attributes = info.attributes & ~plat::kPrinterAttributeDefault;
    if (info.attributes & plat::kPrinterAttributeDefault) default_ = *p->info.printerName;
    return true;
}

bool SimSpooler::DeletePrinter(plat::PrinterHandle printer) {
    if (!enter("DeletePrinter")) return false;
    auto it = handles_.find(printer);
    if (it == handles_.end()) return state_.fail(plat::kErrorInvalidHandle);
    if (equalsNoCase(default_, it->second)) default_.clear();
    printers_.erase(it->second);
    return true;
}

bool SimSpooler::AddPrinterDriver(const plat::DriverInfo3& info) {
    if (!enter("AddPrinterDriverA")) return false;
    if (!info.name || info.name->empty()) return state_.fail(plat::kErrorInvalidParameter);
    const std::string environment = environmentOf(info.environment);
    if (!knownEnvironment(environment)) return state_.fail(kErrorInvalidEnvironment);
    // The spooler takes every file, help and dependent files too, from the environment's
    // driver directory (or its version subfolder) and refuses a driver with one missing.
    const std::string dir = driverDirectory(environment);
    auto present = [&](const std::string& file) {
        return files_.fileExistsNative(dir + "\\" + file) || files_.fileExistsNative(dir + "\\3\\" + file);
    };
    for (const plat::OptText* file : {&info.driverPath, &info.dataFile, &info.configFile}) {
        if (!*file || (*file)->empty()) return state_.fail(plat::kErrorInvalidParameter);
        if (!present(**file)) return state_.fail(plat::kErrorFileNotFound);
    }
    if (info.helpFile && !info.helpFile->empty() && !present(*info.helpFile))
        return state_.fail(plat::kErrorFileNotFound);
    for (const auto& file : info.dependentFiles)
        if (!file.empty() && !present(file)) return state_.fail(plat::kErrorFileNotFound);
    drivers_[key(environment, *info.name)] = info;
    return true;
}

bool SimSpooler::AddMonitor(const plat::MonitorInfo2& info) {
    if (!enter("AddMonitorA")) return false;
    if (!info.name || info.name->empty() || !info.dllName) return state_.fail(plat::kErrorInvalidParameter);
    // Monitors run inside the spooler: only its own environment's can be added, and a
    // 32-bit caller that names none asks for x86 ones.
    if (!equalsNoCase(environmentOf(info.environment), nativeEnvironment_)) return state_.fail(kErrorInvalidEnvironment);
    if (monitors_.count(lowerAscii(*info.name))) return state_.fail(plat::kErrorPrintMonitorAlreadyInstalled);
    // The spooler is a native process: it looks in the real system32.
    if (!files_.fileExistsNative(process_.systemDir() + "\\" + *info.dllName))
        return state_.fail(plat::kErrorModNotFound);
    monitors_[lowerAscii(*info.name)] = SimMonitor{*info.name, *info.dllName, environmentOf(info.environment), {}};
    const std::string dll = *info.dllName;
    registry_.poke("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + *info.name, "Driver", plat::kRegSz,
                   std::vector<std::uint8_t>(dll.c_str(), dll.c_str() + dll.size() + 1));
    return true;
}

bool SimSpooler::AddPrintProcessor(const plat::OptText& environment, const std::string& dllName,
                                   const std::string& processorName) {
    if (!enter("AddPrintProcessorA")) return false;
    if (processorName.empty()) return state_.fail(plat::kErrorInvalidParameter);
    const std::string env = environmentOf(environment);
    if (!knownEnvironment(env)) return state_.fail(kErrorInvalidEnvironment);
    const std::string k = key(env, processorName);
    if (processors_.count(k)) return state_.fail(plat::kErrorPrintProcessorAlreadyInstalled);
    if (!files_.fileExistsNative(processorDirectory(env) + "\\" + dllName)) return state_.fail(plat::kErrorFileNotFound);
    processors_[k] = dllName;
    processorNames_[k] = processorName;
    registry_.poke("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + environmentOf(environment) +
                       "\\Print Processors\\" + processorName,
                   "Driver", plat::kRegSz, std::vector<std::uint8_t>(dllName.c_str(), dllName.c_str() + dllName.size() + 1));
    return true;
}

bool SimSpooler::EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) {
    if (!enter("EnumPortsA")) return false;
    const auto all = portNames();
    std::uint32_t size = 0;
    for (const auto& p : all) size += 4 + static_cast<std::uint32_t>(p.size() + 1);
    *needed = size;
    if (bufferSize < size) return state_.fail(plat::kErrorInsufficientBuffer);
    *ports = all;
    return true;
}

bool SimSpooler::GetPrinterDriverDirectory(const plat::OptText& environment, std::uint32_t size,
                                           std::string* directory) {
    if (!enter("GetPrinterDriverDirectoryA")) return false;
    const std::string env = environmentOf(environment);
    if (!knownEnvironment(env)) return state_.fail(kErrorInvalidEnvironment);
    const std::string dir = driverDirectory(env);
    if (dir.size() + 1 > size) return state_.fail(plat::kErrorInsufficientBuffer);
    *directory = dir;
    return true;
}

bool SimSpooler::GetPrintProcessorDirectory(const plat::OptText& environment, std::uint32_t size,
                                            std::string* directory) {
    if (!enter("GetPrintProcessorDirectoryA")) return false;
    const std::string env = environmentOf(environment);
    if (!knownEnvironment(env)) return state_.fail(kErrorInvalidEnvironment);
    const std::string dir = processorDirectory(env);
    if (dir.size() + 1 > size) return state_.fail(plat::kErrorInsufficientBuffer);
    *directory = dir;
    return true;
}

bool SimSpooler::OpenPrinterWithAccess(const std::string& name, std::uint32_t access, plat::PrinterHandle* printer) {
    *printer = 0;
    static const std::string kXcv = ",XcvMonitor ";
    if (name.compare(0, kXcv.size(), kXcv) != 0) {
        if (!OpenPrinter(name, printer)) return false;
        return true;
    }
    if (!enter("OpenPrinterA")) return false;
    if (!tcpMonitorPresent || !equalsNoCase(name.substr(kXcv.size()), "Standard TCP/IP Port"))
        return state_.fail(plat::kErrorInvalidPrinterName);
    if (access != 1) return state_.fail(plat::kErrorAccessDenied);
    *printer = next_++;
    handles_[*printer] = "\x01xcv";
    return true;
}

bool SimSpooler::XcvDataAddPort(plat::PrinterHandle xcv, const plat::PortData1& port, std::uint32_t* status) {
    if (!enter("XcvDataW")) return false;
    auto it = handles_.find(xcv);
    if (it == handles_.end() || it->second != "\x01xcv") return state_.fail(plat::kErrorInvalidHandle);
    if (port.size != 964 || port.portName.empty()) {
        *status = plat::kErrorInvalidParameter;
        return true;
    }
    if (tcpMonitorRefusal) {
        *status = tcpMonitorRefusal;
        return true;
    }
    for (const auto& existing : portNames())
        if (equalsNoCase(existing, port.portName)) {
            *status = plat::kErrorAlreadyExists;
            return true;
        }
    tcpPorts_[lowerAscii(port.portName)] = port;
    ports_.push_back(port.portName);
    *status = 0;
    return true;
}

bool SimSpooler::listNames(const char* api, const std::vector<std::string>& all, std::uint32_t entrySize,
                           std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) {
    if (!enter(api)) return false;
    std::uint32_t size = 0;
    for (const auto& n : all) size += entrySize + static_cast<std::uint32_t>(n.size() + 1);
    *needed = size;
    if (bufferSize < size) return state_.fail(plat::kErrorInsufficientBuffer);
    *names = all;
    return true;
}

bool SimSpooler::EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) {
    return listNames("EnumPrintersA", printerNames(), 20, bufferSize, names, needed);
}

bool SimSpooler::EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) {
    std::vector<std::string> all;
    for (const auto& m : monitors_)
        if (m.second.loaded) all.push_back(m.second.name);
    return listNames("EnumMonitorsA", all, 4, bufferSize, names, needed);
}

bool SimSpooler::EnumPrintProcessors1(const plat::OptText& environment, std::uint32_t bufferSize,
                                      std::vector<std::string>* names, std::uint32_t* needed) {
    const std::string prefix = lowerAscii(environmentOf(environment)) + "|";
    std::vector<std::string> all;
    for (const auto& p : processors_)
        if (p.first.compare(0, prefix.size(), prefix) == 0) {
            // The spooler answers with the name as it was added, not as it is looked up.
            auto named = processorNames_.find(p.first);
            all.push_back(named != processorNames_.end() ? named->second : p.first.substr(prefix.size()));
        }
    return listNames("EnumPrintProcessorsA", all, 4, bufferSize, names, needed);
}

void SimSpooler::addMonitorPort(const std::string& monitor, const std::string& port) {
    auto it = monitors_.find(lowerAscii(monitor));
    if (it != monitors_.end()) it->second.ports.push_back(port);
}

bool SimSpooler::DeleteMonitor(const plat::OptText&, const plat::OptText&, const std::string& name) {
    if (!enter("DeleteMonitorA")) return false;
    auto it = monitors_.find(lowerAscii(name));
    if (it == monitors_.end()) return state_.fail(plat::kErrorUnknownPrintMonitor);
    for (const auto& p : printers_)
        for (const auto& port : it->second.ports)
            if (p.second.info.portName && equalsNoCase(*p.second.info.portName, port))
                return state_.fail(plat::kErrorPrintMonitorInUse);
    registry_.deleteTree("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + it->second.name);
    monitors_.erase(it);
    return true;
}

bool SimSpooler::DeletePrintProcessor(const plat::OptText&, const plat::OptText& environment, const std::string& name) {
    if (!enter("DeletePrintProcessorA")) return false;
    const std::string k = key(environmentOf(environment), name);
    if (!processors_.count(k)) return state_.fail(plat::kErrorInvalidParameter);
    for (const auto& p : printers_)
        if (p.second.info.printProcessor && equalsNoCase(*p.second.info.printProcessor, name))
            return state_.fail(plat::kErrorCanNotComplete);
    processors_.erase(k);
    processorNames_.erase(k);
    return true;
}

bool SimSpooler::deleteDriver(const plat::OptText& environment, const std::string& name) {
    const std::string k = key(environmentOf(environment), name);
    if (!drivers_.count(k)) return state_.fail(plat::kErrorUnknownPrinterDriver);
    for (const auto& p : printers_)
        if (p.second.info.driverName && equalsNoCase(*p.second.info.driverName, name))
            return state_.fail(plat::kErrorPrinterDriverInUse);
    drivers_.erase(k);
    return true;
}

bool SimSpooler::DeletePrinterDriver(const plat::OptText&, const plat::OptText& environment, const std::string& name) {
    if (!enter("DeletePrinterDriverA")) return false;
    return deleteDriver(environment, name);
}

bool SimSpooler::CallDeletePrinterDriverEx(plat::ProcAddress fn, const plat::OptText&, const plat::OptText& environment,
                                           const std::string& name, std::uint32_t deleteFlag, std::uint32_t) {
    if (process_.procName(fn) != "DeletePrinterDriverExA") return state_.fail(plat::kErrorInvalidParameter);
    if (!enter("DeletePrinterDriverExA")) return false;
    const plat::DriverInfo3* d = driver(name, environmentOf(environment));
    plat::DriverInfo3 removed = d ? *d : plat::DriverInfo3{};
    if (!deleteDriver(environment, name)) return false;
    if (deleteFlag & 1) {  // DPD_DELETE_UNUSED_FILES
        for (const plat::OptText* f : {&removed.driverPath, &removed.dataFile, &removed.configFile, &removed.helpFile})
            if (*f && !(*f)->empty()) files_.removeFile(driverDirectory(environmentOf(environment)) + "\\" + **f);
    }
    return true;
}

bool SimSpooler::CallSetDefaultPrinter(plat::ProcAddress fn, const std::string& name) {
    if (process_.procName(fn) != "SetDefaultPrinterA") return state_.fail(plat::kErrorInvalidParameter);
    if (!enter("SetDefaultPrinterA")) return false;
    if (!printers_.count(lowerAscii(name))) return state_.fail(plat::kErrorInvalidPrinterName);
    default_ = printers_[lowerAscii(name)].info.printerName.value_or(name);
    return true;
}

}  // namespace sim
