// The platform a plan runs on: the simulated machine's own parts, with the calls that change
// the machine (file copies, registry values, WIN.INI, spooler records, the Spooler service)
// passed through unchanged and written down in the order the core made them.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace drvpkg {

struct PlanStep {
    std::string kind;  // "file", "registry", "profile", "spooler", "service"
    std::string call;  // the Windows call
    std::vector<std::pair<std::string, std::string>> fields;
    bool ok = true;
    std::uint32_t error = 0;  // the last error of a failed call
};

class PlanRecorder;

class RecordingFiles : public plat::FileApi {
public:
    RecordingFiles(PlanRecorder& r, plat::FileApi& inner) : r_(r), in_(inner) {}
    bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) override;
    bool DeleteFile(const std::string& path) override;
    std::uint32_t GetFileAttributes(const std::string& path) override { return in_.GetFileAttributes(path); }
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return in_.SetFileAttributes(path, attributes);
    }
    bool CreateDirectory(const std::string& path) override;
    plat::FindHandle FindFirstFile(const std::string& pattern, std::string* name) override {
        return in_.FindFirstFile(pattern, name);
    }
    bool FindNextFile(plat::FindHandle find, std::string* name) override { return in_.FindNextFile(find, name); }
    bool FindClose(plat::FindHandle find) override { return in_.FindClose(find); }
    bool CanOpenExisting(const std::string& path) override { return in_.CanOpenExisting(path); }
    bool ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) override {
        return in_.ReadWholeFile(path, maxBytes, bytes);
    }
    std::uint32_t GetTempPath(std::uint32_t size, std::string* out) override { return in_.GetTempPath(size, out); }
    std::uint32_t GetFileVersionInfoSize(const std::string& path) override { return in_.GetFileVersionInfoSize(path); }
    bool GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) override {
        return in_.GetFileVersionInfo(path, size, block);
    }
    bool VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                             std::uint16_t* codePage) override {
        return in_.VerQueryTranslation(block, language, codePage);
    }
    bool VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                        std::string* value) override {
        return in_.VerQueryString(block, subBlock, value);
    }
    bool SetupIterateCabinet(const std::string& cabinet, const plat::CabinetCallback& callback) override;
    // Only a run's own log is written this way; a plan keeps none.
    bool WriteNewFile(const std::string& path, const std::string& bytes) override { return in_.WriteNewFile(path, bytes); }
    bool AppendToFile(const std::string& path, const std::string& bytes) override { return in_.AppendToFile(path, bytes); }

private:
    PlanRecorder& r_;
    plat::FileApi& in_;
};

class RecordingRegistry : public plat::RegistryApi {
public:
    RecordingRegistry(PlanRecorder& r, plat::RegistryApi& inner, bool is64) : r_(r), in_(inner), is64_(is64) {}
    long RegOpenKeyEx(plat::RegKey root, const std::string& subKey, std::uint32_t options, std::uint32_t access,
                      plat::RegKey* result) override;
    long RegCreateKeyEx(plat::RegKey root, const std::string& subKey, const char* className, std::uint32_t options,
                        std::uint32_t access, plat::RegKey* result, std::uint32_t* disposition) override;
    long RegCloseKey(plat::RegKey key) override;
    long RegQueryValueEx(plat::RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override {
        return in_.RegQueryValueEx(key, name, type, data, size);
    }
    long RegSetValueEx(plat::RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                       std::uint32_t size) override;
    long RegDeleteValue(plat::RegKey key, const std::string& name) override;
    long RegDeleteKey(plat::RegKey root, const std::string& subKey) override;
    long CallRegDeleteKeyEx(plat::ProcAddress fn, plat::RegKey root, const std::string& subKey,
                            std::uint32_t access) override;
    long RegEnumKeyEx(plat::RegKey key, std::uint32_t index, std::string* name) override {
        return in_.RegEnumKeyEx(key, index, name);
    }

private:
    struct OpenKey {
        std::string path, view;
    };
    OpenKey describe(plat::RegKey root, const std::string& subKey, std::uint32_t access) const;
    void opened(plat::RegKey key, OpenKey where) { keys_[key] = std::move(where); }
    OpenKey of(plat::RegKey key) const;
    PlanRecorder& r_;
    plat::RegistryApi& in_;
    bool is64_;
    std::map<plat::RegKey, OpenKey> keys_;
};

class RecordingProfile : public plat::ProfileApi {
public:
    RecordingProfile(PlanRecorder& r, plat::ProfileApi& inner) : r_(r), in_(inner) {}
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, std::uint32_t size,
                                        const std::string& file) override {
        return in_.GetPrivateProfileString(section, key, defaultValue, size, file);
    }
    bool PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) override {
        return in_.PrivateProfileSectionHasKeys(section, file);
    }
    unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                  const std::string& file) override {
        return in_.GetPrivateProfileInt(section, key, defaultValue, file);
    }
    bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                            const std::optional<std::string>& value) override;
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override {
        return in_.GetProfileString(section, key, defaultValue, size);
    }

private:
    PlanRecorder& r_;
    plat::ProfileApi& in_;
};

class RecordingServices : public plat::ServiceApi {
public:
    RecordingServices(PlanRecorder& r, plat::ServiceApi& inner) : r_(r), in_(inner) {}
    plat::ScHandle OpenSCManager(const char* machine, const char* database, std::uint32_t access) override {
        return in_.OpenSCManager(machine, database, access);
    }
    plat::ScHandle OpenService(plat::ScHandle manager, const std::string& name, std::uint32_t access) override;
    bool ControlService(plat::ScHandle service, std::uint32_t control, plat::ServiceStatus* status) override;
    bool StartService(plat::ScHandle service) override;
    bool QueryServiceStatus(plat::ScHandle service, plat::ServiceStatus* status) override {
        return in_.QueryServiceStatus(service, status);
    }
    bool CloseServiceHandle(plat::ScHandle handle) override { return in_.CloseServiceHandle(handle); }

private:
    PlanRecorder& r_;
    plat::ServiceApi& in_;
    std::map<plat::ScHandle, std::string> names_;
};

class RecordingSpooler : public plat::SpoolerApi {
public:
    RecordingSpooler(PlanRecorder& r, plat::SpoolerApi& inner) : r_(r), in_(inner) {}
    bool AddPrinter(const plat::PrinterInfo2& info, plat::PrinterHandle* printer) override;
    bool OpenPrinter(const std::string& name, plat::PrinterHandle* printer) override {
        return in_.OpenPrinter(name, printer);
    }
    bool ClosePrinter(plat::PrinterHandle printer) override { return in_.ClosePrinter(printer); }
    bool GetPrinter2(plat::PrinterHandle printer, std::uint32_t bufferSize, plat::PrinterInfo2* info,
                     std::uint32_t* needed) override {
        return in_.GetPrinter2(printer, bufferSize, info, needed);
    }
    bool SetPrinter2(plat::PrinterHandle printer, const plat::PrinterInfo2& info) override;
    bool DeletePrinter(plat::PrinterHandle printer) override;
    bool AddPrinterDriver(const plat::DriverInfo3& info) override;
    bool AddMonitor(const plat::MonitorInfo2& info) override;
    bool AddPrintProcessor(const plat::OptText& environment, const std::string& dllName,
                           const std::string& processorName) override;
    bool EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) override {
        return in_.EnumPorts1(bufferSize, ports, needed);
    }
    bool GetPrinterDriverDirectory(const plat::OptText& environment, std::uint32_t size,
                                   std::string* directory) override {
        return in_.GetPrinterDriverDirectory(environment, size, directory);
    }
    bool GetPrintProcessorDirectory(const plat::OptText& environment, std::uint32_t size,
                                    std::string* directory) override {
        return in_.GetPrintProcessorDirectory(environment, size, directory);
    }
    bool OpenPrinterWithAccess(const std::string& name, std::uint32_t access, plat::PrinterHandle* printer) override {
        return in_.OpenPrinterWithAccess(name, access, printer);
    }
    bool XcvDataAddPort(plat::PrinterHandle xcv, const plat::PortData1& port, std::uint32_t* status) override;
    bool EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override {
        return in_.EnumPrinters5(bufferSize, names, needed);
    }
    bool EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override {
        return in_.EnumMonitors1(bufferSize, names, needed);
    }
    bool EnumPrintProcessors1(const plat::OptText& environment, std::uint32_t bufferSize,
                              std::vector<std::string>* names, std::uint32_t* needed) override {
        return in_.EnumPrintProcessors1(environment, bufferSize, names, needed);
    }
    bool DeleteMonitor(const plat::OptText& server, const plat::OptText& environment, const std::string& name) override;
    bool DeletePrintProcessor(const plat::OptText& server, const plat::OptText& environment,
                              const std::string& name) override;
    bool DeletePrinterDriver(const plat::OptText& server, const plat::OptText& environment,
                             const std::string& name) override;
    bool CallDeletePrinterDriverEx(plat::ProcAddress fn, const plat::OptText& server, const plat::OptText& environment,
                                   const std::string& name, std::uint32_t deleteFlag,
                                   std::uint32_t versionFlag) override;
    bool CallSetDefaultPrinter(plat::ProcAddress fn, const std::string& name) override;

private:
    PlanRecorder& r_;
    plat::SpoolerApi& in_;
};

// Owns the recording parts and the platform made of them and the machine's other parts.
class PlanRecorder {
public:
    explicit PlanRecorder(sim::SimMachine& machine);
    PlanRecorder(const PlanRecorder&) = delete;
    PlanRecorder& operator=(const PlanRecorder&) = delete;

    plat::Platform& platform() { return platform_; }
    // Steps are written down only while recording (the install itself, not the pages).
    bool recording = false;
    const std::vector<PlanStep>& steps() const { return steps_; }

    // Adds a step with the outcome of a call that answered `ok`; a failure's error is
    // `error`, or the machine's last error when none is given.
    void add(const char* kind, const char* call, std::vector<std::pair<std::string, std::string>> fields, bool ok,
             std::uint32_t error = 0);

private:
    sim::SimMachine& machine_;
    RecordingFiles files_;
    RecordingRegistry registry_;
    RecordingProfile profile_;
    RecordingServices services_;
    RecordingSpooler spooler_;
    plat::Platform platform_;
    std::vector<PlanStep> steps_;
};

}  // namespace drvpkg
