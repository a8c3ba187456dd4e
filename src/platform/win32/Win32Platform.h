// The real Windows behind the platform interfaces: each class forwards to the Win32 call
// of the same name and only converts between our plain types and the SDK's. Anything
// newer than Windows 2000 is reached through GetProcAddress, never linked.
//
// Translation units that also include <windows.h> must take it from WindowsHeaders.h.
#pragma once
#include "platform/Platform.h"

namespace plat {

class Win32ProfileApi final : public ProfileApi {
public:
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, std::uint32_t size,
                                        const std::string& file) override;
    bool PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) override;
    unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                  const std::string& file) override;
    bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                            const std::optional<std::string>& value) override;
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override;
};

class Win32RegistryApi final : public RegistryApi {
public:
    long RegOpenKeyEx(RegKey root, const std::string& subKey, std::uint32_t options,
                      std::uint32_t access, RegKey* result) override;
    long RegCreateKeyEx(RegKey root, const std::string& subKey, const char* className,
                        std::uint32_t options, std::uint32_t access, RegKey* result,
                        std::uint32_t* disposition) override;
    long RegCloseKey(RegKey key) override;
    long RegQueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                         std::uint8_t* data, std::uint32_t* size) override;
    long RegSetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                       const std::uint8_t* data, std::uint32_t size) override;
    long RegDeleteValue(RegKey key, const std::string& name) override;
    long CallRegDeleteKeyEx(ProcAddress fn, RegKey root, const std::string& subKey, std::uint32_t access) override;
    long RegDeleteKey(RegKey root, const std::string& subKey) override;
    long RegEnumKeyEx(RegKey key, std::uint32_t index, std::string* name) override;
};

class Win32SystemInfoApi final : public SystemInfoApi {
public:
    bool GetVersionEx(OsVersionInfo* info, bool extended) override;
    void GetSystemInfo(SystemInfo* info) override;
    void CallGetNativeSystemInfo(ProcAddress fn, SystemInfo* info) override;
    bool CallIsWow64Process(ProcAddress fn, bool* isWow64) override;
    bool CallIsWow64Process2(ProcAddress fn, std::uint16_t* processMachine, std::uint16_t* nativeMachine) override;
    std::uint32_t CallRtlGetVersion(ProcAddress fn, OsVersionInfo* info) override;
    bool CallWow64DisableWow64FsRedirection(ProcAddress fn, void** oldValue) override;
    bool CallWow64RevertWow64FsRedirection(ProcAddress fn, void* oldValue) override;
};

class Win32ProcessApi final : public ProcessApi {
public:
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t error) override;
    std::uint32_t GetModuleFileName(std::uint32_t size, std::string* out) override;
    std::uint32_t GetCurrentDirectory(std::uint32_t size, std::string* out) override;
    std::uint32_t GetSystemDirectory(std::uint32_t size, std::string* out) override;
    std::uint32_t GetWindowsDirectory(std::uint32_t size, std::string* out) override;
    MutexHandle CreateMutex(bool initialOwner, const std::string& name) override;
    bool CloseHandle(Handle handle) override;
    bool FormatSystemMessage(std::uint32_t code, std::string* text) override;
    ModuleHandle LoadLibrary(const std::string& fileName) override;
    ModuleHandle GetModuleHandle(const std::string& moduleName) override;
    ProcAddress GetProcAddress(ModuleHandle module, const std::string& procName) override;
    bool FreeLibrary(ModuleHandle module) override;
    bool WriteStandardError(const std::string& text) override;
};

class Win32SecurityApi final : public SecurityApi {
public:
    TokenHandle OpenThreadToken(std::uint32_t access, bool openAsSelf) override;
    TokenHandle OpenProcessToken(std::uint32_t access) override;
    bool GetTokenGroups(TokenHandle token, std::uint32_t bufferSize,
                        std::vector<TokenGroup>* groups, std::uint32_t* needed) override;
    bool AllocateAndInitializeSid(const std::uint8_t authority[6],
                                  const std::vector<std::uint32_t>& subAuthorities,
                                  Sid* sid) override;
    bool EqualSid(const Sid& a, const Sid& b) override;
    TokenHandle OpenProcessTokenToAdjust() override;
    bool LookupPrivilegeValue(const std::string& name, std::uint64_t* luid) override;
    bool EnablePrivilege(TokenHandle token, std::uint64_t luid) override;
};

class Win32ServiceApi final : public ServiceApi {
public:
    ScHandle OpenSCManager(const char* machine, const char* database,
                           std::uint32_t access) override;
    ScHandle OpenService(ScHandle manager, const std::string& name, std::uint32_t access) override;
    bool ControlService(ScHandle service, std::uint32_t control, ServiceStatus* status) override;
    bool StartService(ScHandle service) override;
    bool QueryServiceStatus(ScHandle service, ServiceStatus* status) override;
    bool CloseServiceHandle(ScHandle handle) override;
};

class Win32WindowApi final : public WindowApi {
public:
    WindowHandle FindWindowByTitle(const std::string& utf8Title) override;
    WindowHandle FindWindowByAnsiTitle(const std::string& ansiTitle) override;
    std::vector<WindowHandle> FindWindows(const std::string& className, const std::string& utf8Title,
                                          const std::string& ansiTitle) override;
    bool SetForegroundWindow(WindowHandle window) override;
    bool IsIconic(WindowHandle window) override;
    bool OpenIcon(WindowHandle window) override;
    WindowHandle GetActiveWindow() override;
    bool SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                     const std::optional<std::string>& lParamText, std::uint32_t flags,
                                     std::uint32_t timeoutMs) override;
    bool SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                    const std::optional<std::string>& lParamText) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
};

class Win32ClockApi final : public ClockApi {
public:
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t GetTickCount() override;
    LocalTime GetLocalTime() override;
};

class Win32SpoolerApi final : public SpoolerApi {
public:
    bool AddPrinter(const PrinterInfo2& info, PrinterHandle* printer) override;
    bool OpenPrinter(const std::string& name, PrinterHandle* printer) override;
    bool ClosePrinter(PrinterHandle printer) override;
    bool GetPrinter2(PrinterHandle printer, std::uint32_t bufferSize, PrinterInfo2* info,
                     std::uint32_t* needed) override;
    bool SetPrinter2(PrinterHandle printer, const PrinterInfo2& info) override;
    bool DeletePrinter(PrinterHandle printer) override;
    bool AddPrinterDriver(const DriverInfo3& info) override;
    bool AddMonitor(const MonitorInfo2& info) override;
    bool AddPrintProcessor(const OptText& environment, const std::string& dllName,
                           const std::string& processorName) override;
    bool EnumPorts1(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed) override;
    bool GetPrinterDriverDirectory(const OptText& environment, std::uint32_t size, std::string* directory) override;
    bool GetPrintProcessorDirectory(const OptText& environment, std::uint32_t size, std::string* directory) override;
    bool OpenPrinterWithAccess(const std::string& name, std::uint32_t access, PrinterHandle* printer) override;
    bool XcvDataAddPort(PrinterHandle xcv, const PortData1& port, std::uint32_t* status) override;
    bool CallSetDefaultPrinter(ProcAddress fn, const std::string& name) override;
    bool EnumPrinters5(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override;
    bool EnumMonitors1(std::uint32_t bufferSize, std::vector<std::string>* names, std::uint32_t* needed) override;
    bool EnumPrintProcessors1(const OptText& environment, std::uint32_t bufferSize, std::vector<std::string>* names,
                              std::uint32_t* needed) override;
    bool DeleteMonitor(const OptText& server, const OptText& environment, const std::string& name) override;
    bool DeletePrintProcessor(const OptText& server, const OptText& environment, const std::string& name) override;
    bool DeletePrinterDriver(const OptText& server, const OptText& environment, const std::string& name) override;
    bool CallDeletePrinterDriverEx(ProcAddress fn, const OptText& server, const OptText& environment,
                                   const std::string& name, std::uint32_t deleteFlag, std::uint32_t versionFlag) override;
};

class Win32FileApi final : public FileApi {
public:
    bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) override;
    bool DeleteFile(const std::string& path) override;
    std::uint32_t GetFileAttributes(const std::string& path) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    bool CreateDirectory(const std::string& path) override;
    FindHandle FindFirstFile(const std::string& pattern, std::string* name) override;
    bool FindNextFile(FindHandle find, std::string* name) override;
    bool FindClose(FindHandle find) override;
    bool CanOpenExisting(const std::string& path) override;
    bool ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) override;
    std::uint32_t GetTempPath(std::uint32_t size, std::string* out) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    std::uint32_t GetFileVersionInfoSize(const std::string& path) override;
    bool GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) override;
    bool VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                             std::uint16_t* codePage) override;
    bool VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                        std::string* value) override;
    bool SetupIterateCabinet(const std::string& cabinet, const CabinetCallback& callback) override;
};

class Win32ShellApi final : public ShellApi {
public:
    std::uintptr_t ShellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                                const std::optional<std::string>& parameters,
                                const std::optional<std::string>& directory, std::uint32_t show) override;
};

class Win32UsbLibraryApi final : public UsbLibraryApi {
public:
    int CallOpenDeviceX(ProcAddress fn, int index) override;
    int CallGetDescriptor(ProcAddress fn, int device, std::uint8_t descriptor[20]) override;
    int CallUWrite(ProcAddress fn, int device, int pipe, const std::uint8_t* bytes, int length) override;
    void CallCloseDevice(ProcAddress fn, int device) override;
};

// One of each, bundled as the Platform the core is handed.
class Win32Platform {
public:
    Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }

private:
    Win32ProfileApi profile_;
    Win32RegistryApi registry_;
    Win32SystemInfoApi system_;
    Win32ProcessApi process_;
    Win32SecurityApi security_;
    Win32ServiceApi services_;
    Win32WindowApi windows_;
    Win32ClockApi clock_;
    Win32SpoolerApi spooler_;
    Win32FileApi files_;
    Win32ShellApi shell_;
    Win32UsbLibraryApi usb_;
    Platform platform_;
};

}  // namespace plat
