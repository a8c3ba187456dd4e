// install_check MODEL CATEGORY PORT [options]
//   --std                   the STD driver variant (default GDI)
//   --default               make the printer the default one
//   --address A.B.C.D       network address for a NET port (default 192.168.1.20)
//   --expect-name NAME      the printer name the spooler must have accepted
//   --expect-failure        the installation must fail (exit 0 when it does)
//   --expect-monitor NAME VERSION   the monitor's registry record after the installation
//   --usb-steps typical|advanced    run the install command's USB steps first: the USB
//                           device driver check (and its installer) and the printer's
//                           identifier; then the driver must be in place
// Does what the install command does around the worker (request, network port, USB port
// and its records), runs the worker, then checks the printer through the spooler, and where
// the driver, the print processor and the monitor went: registered for this Windows'
// environment ("Windows x64" on 64-bit Windows, "Windows NT x86" otherwise), each file in
// that environment's folder, the monitor DLL in the real system folder.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/OsClass.h"
#include "config/RegistryKey.h"
#include "engine/ComponentUpdates.h"
#include "engine/InstallChoices.h"
#include "engine/InstallWorker.h"
#include "engine/PortSetup.h"
#include "engine/UsbPrinter.h"
#include "platform/win32/Win32Platform.h"
#include "setup/SetupStartup.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

std::string upper(std::string s) {
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

bool isWow64() {
    typedef BOOL(WINAPI * Fn)(HANDLE, PBOOL);
    Fn fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow = FALSE;
    return fn && fn(GetCurrentProcess(), &wow) && wow;
}

std::string folder(BOOL(WINAPI* get)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD), const char* environment) {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    return get(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed) ? dir : "";
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool driverListed(const std::string& name, const char* environment) {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_1A));
    if (!EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, buffer.data(), static_cast<DWORD>(buffer.size()),
                             &needed, &count))
        return false;
    for (DWORD i = 0; i < count; ++i)
        if (lstrcmpiA(reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data())[i].pName, name.c_str()) == 0) return true;
    return false;
}

// The driver's record in `environment` names each file the request gave, from that
// environment's driver folder (version 3), where the file is.
void checkDriver(const plat::DriverInfo3& want, const char* environment) {
    const std::string name = want.name.value_or("");
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 3, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_3A));
    const DRIVER_INFO_3A* record = nullptr;
    if (EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 3, buffer.data(), static_cast<DWORD>(buffer.size()),
                            &needed, &count))
        for (DWORD i = 0; i < count && !record; ++i) {
            const auto* r = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data()) + i;
            if (lstrcmpiA(r->pName, name.c_str()) == 0) record = r;
        }
    check(record != nullptr, "driver \"" + name + "\" registered for " + environment);
    if (!record) return;
    const std::string dir = upper(folder(GetPrinterDriverDirectoryA, environment) + "\\3\\");
    std::vector<std::string> named;
    for (const char* p = record->pDependentFiles; p && *p; p += std::strlen(p) + 1) named.push_back(upper(p));
    for (const char* p : {record->pDriverPath, record->pDataFile, record->pConfigFile, record->pHelpFile})
        if (p && *p) named.push_back(upper(p));
    std::vector<std::string> wanted = want.dependentFiles;
    for (const auto* f : {&want.driverPath, &want.dataFile, &want.configFile, &want.helpFile})
        if (f->has_value() && !(*f)->empty()) wanted.push_back(**f);
    for (const std::string& file : wanted) {
        const std::string path = dir + upper(file);
        check(std::find(named.begin(), named.end(), path) != named.end() && exists(path),
              "  its file " + file + " in " + dir);
    }
}

// The Driver value of a key under HKLM\SYSTEM (one view for 32- and 64-bit programs).
std::string driverValue(const std::string& key) {
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "";
    if (RegQueryValueExA(h, "Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) value[0] = 0;
    RegCloseKey(h);
    return value;
}

// The processor's key in `environment` names the request's DLL, which is in that
// environment's processor folder.
void checkProcessor(const std::string& name, const std::string& dll, const char* environment) {
    const std::string value = driverValue(std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
                                          environment + "\\Print Processors\\" + name);
    const std::string dir = folder(GetPrintProcessorDirectoryA, environment);
    check(!dll.empty() && lstrcmpiA(value.c_str(), dll.c_str()) == 0 && exists(dir + "\\" + dll),
          "print processor \"" + name + "\" registered for " + environment + " with " + dir + "\\" + dll + " (key names \"" +
              value + "\")");
}

// A file of the real system folder: redirection is off for the look on 64-bit Windows.
bool inSystemFolder(const std::string& file) {
    typedef BOOL(WINAPI * Disable)(PVOID*);
    typedef BOOL(WINAPI * Revert)(PVOID);
    HMODULE k = GetModuleHandleA("kernel32.dll");
    auto disable = reinterpret_cast<Disable>(reinterpret_cast<void*>(GetProcAddress(k, "Wow64DisableWow64FsRedirection")));
    auto revert = reinterpret_cast<Revert>(reinterpret_cast<void*>(GetProcAddress(k, "Wow64RevertWow64FsRedirection")));
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof dir);
    PVOID old = nullptr;
    const bool off = isWow64() && disable && revert && disable(&old);
    const bool found = exists(std::string(dir) + "\\" + file);
    if (off) revert(old);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: install_check MODEL CATEGORY PORT [options]\n");
        return 2;
    }
    engine::InstallChoices choices;
    choices.model = argv[1];
    choices.category = std::atoi(argv[2]);
    choices.portName = argv[3];
    std::string address = "192.168.1.20", expectName, monitorName;
    bool expectFailure = false;
    long monitorVersion = -1;
    int usbMode = -1;
    for (int i = 4; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--std") choices.variant = cfg::kVariantStd;
        else if (a == "--default") choices.setAsDefault = true;
        else if (a == "--address" && i + 1 < argc) address = argv[++i];
        else if (a == "--expect-name" && i + 1 < argc) expectName = argv[++i];
        else if (a == "--expect-failure") expectFailure = true;
        else if (a == "--expect-monitor" && i + 2 < argc) {
            monitorName = argv[++i];
            monitorVersion = std::atol(argv[++i]);
        } else if (a == "--usb-steps" && i + 1 < argc) {
            usbMode = std::string(argv[++i]) == "typical" ? engine::kTypicalMode : engine::kAdvancedMode;
        } else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            return 2;
        }
    }

    plat::Win32Platform win32;
    plat::Platform& p = win32.platform();
    const bool is64 = setup::IsWow64(p);
    engine::EngineContext ctx(p, is64);
    choices.targetOs = cfg::DetectOsClass(p, cfg::Program::Setup);
    std::printf("%s on %s, %s-bit Windows, port %s\n", choices.model.c_str(), cfg::OsSuffix(choices.targetOs),
                is64 ? "64" : "32", choices.portName.c_str());

    if (usbMode >= 0) {
        engine::UsbInstallSteps steps(ctx, usbMode);
        check(steps.RunDriverCheck(choices.targetOs), "USB device driver check lets the installation go on");
        check(engine::CompareUsbDriverVersion(ctx) == 0, "the USB device driver is installed and current");
        check(steps.Identify(choices.portName), "the printer's identifier matches the port");
        const int release = engine::ReadUsbDeviceId(p, cfg::Program::Setup);
        check(release >= 0 && engine::UsbDeviceNumber(release) == std::max(1, engine::UsbPortIdentifier(choices.portName)),
              "the printer reports identifier " + std::to_string(engine::UsbDeviceNumber(release)));
    }

    engine::InstallRequest request(p, is64);
    cfg::MessageBuffer messages;
    if (!engine::FillInstallRequest(ctx, request, choices, messages)) {
        std::printf("  request refused: %s\n", oneLine(messages.text()).c_str());
        return expectFailure ? 0 : 1;
    }
    if (request.portKind == engine::kPortNet) {
        request.portName = "IP_" + address;
        request.printer.portName = request.portName;
        check(engine::AddTcpIpPort(ctx, request.portName, address) == 1, "network port " + request.portName);
    }
    if (request.portKind == engine::kPortUsb) {
        request.portName = engine::UsbInstallSteps::InstalledPortName(request.portName);
        request.printer.portName = request.portName;
        check(engine::WriteUsbPortRecords(ctx, request.portName, messages), "USB port records " + request.portName);
    }

    std::atomic<int> state{engine::kRunning};
    engine::InstallJob job{request, messages, state};
    engine::InstallWorker(ctx, job);
    std::printf("  completion state %d, message: %s\n", state.load(), oneLine(messages.text()).c_str());
    if (expectFailure) {
        check(state.load() == engine::kFailed && !messages.empty(), "the installation failed with a text");
        return failures ? 1 : 0;
    }
    check(state.load() == engine::kSucceeded, "the installation succeeded");
    const std::string name = request.modelName;
    if (!expectName.empty()) check(name == expectName, "printer named \"" + expectName + "\" (got \"" + name + "\")");

    plat::PrinterHandle printer = 0;
    check(p.spooler.OpenPrinter(name, &printer), "the spooler opens the printer");
    if (printer) {
        plat::PrinterInfo2 info;
        std::uint32_t needed = 0;
        p.spooler.GetPrinter2(printer, 0, &info, &needed);
        check(p.spooler.GetPrinter2(printer, needed, &info, &needed), "its record can be read");
        check(info.portName.value_or("") == request.portName, "on port " + request.portName);
        check(info.driverName.value_or("") == request.driver.name.value_or("?"),
              "with driver " + request.driver.name.value_or(""));
        check(info.printProcessor.value_or("") == request.printer.printProcessor.value_or("?"),
              "with print processor " + request.printer.printProcessor.value_or(""));
        p.spooler.ClosePrinter(printer);
    }
    const char* const environment = isWow64() ? "Windows x64" : "Windows NT x86";
    checkDriver(request.driver, environment);
    const std::string processor = request.printer.printProcessor.value_or("");
    if (lstrcmpiA(processor.c_str(), "WinPrint") != 0) checkProcessor(processor, request.files.processorDll, environment);
    // Nothing of a 32-bit Windows' installation belongs to the 64-bit environment. (In a
    // 64-bit prefix the x86 side holds the harness's twins, which spooler_twins checks.)
    if (!isWow64())
        check(!driverListed(request.driver.name.value_or(""), "Windows x64"), "the driver is not registered for Windows x64");
    if (!monitorName.empty()) {
        cfg::RegistryKey key(p, cfg::Program::Setup, is64);
        std::uint32_t version = 0;
        const bool read = key.Open(plat::kHkeyLocalMachine, engine::kMonitorsKey + monitorName) &&
                          key.QueryDword("DriverVersion", &version);
        check(read && static_cast<long>(version) == monitorVersion,
              "monitor \"" + monitorName + "\" recorded with version " + std::to_string(monitorVersion) +
                  " (got " + std::to_string(version) + ")");
        const std::string dll = driverValue(engine::kMonitorsKey + monitorName);
        check(!dll.empty() && inSystemFolder(dll), "its DLL \"" + dll + "\" in the real system folder");
    }
    return failures ? 1 : 0;
}
