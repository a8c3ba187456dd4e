// A simulated machine ready for installations of the sample package: the package's
// binaries (stand-ins) in W32 and W64, the universal driver's files where each Windows
// keeps them, and helpers that do what the install command does before the worker runs.
#pragma once
#include <atomic>
#include <set>
#include <string>

#include "config/PackageFiles.h"
#include "engine/EngineContext.h"
#include "engine/InstallChoices.h"
#include "engine/InstallWorker.h"
#include "engine/PortSetup.h"
#include "engine/UsbPrinter.h"
#include "platform/sim/IniFile.h"
#include "TestMachine.h"

namespace testing_support {

inline const char* const kDriverFileKeys[] = {
    "DriverPath",  "DataFile",       "ConfigFile",    "HelpFile",      "DataFileDLLName", "DataOemuiDLL",
    "DataOemuniDLL", "DataOemuniini", "ProcessorDLLName", "ControlFontFile", "USBInternalID"};

struct EngineMachine : TestMachine {
    bool is64;
    cfg::OsClass os;
    std::string storeFolder;  // the DriverStore folder that holds the universal driver

    EngineMachine(sim::WindowsVersion version, bool sixtyFour) : TestMachine(true) {
        machine.setWindows(version, sixtyFour);
        is64 = machine.system.wow64;
        os = cfg::DetectOsClass(p, cfg::Program::Setup);
        stagePackageBinaries();
        stageUniversalDriver();
        // The serial ports' settings, which Windows keeps from its own setup on.
        for (const char* port : {"COM1:", "COM2:"}) {
            const std::string line = "9600,n,8,1";
            machine.registry.poke("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", port, plat::kRegSz,
                                  std::vector<std::uint8_t>(line.c_str(), line.c_str() + line.size() + 1));
        }
    }

    // Every file the model files and the package file name, as a small stand-in.
    void stagePackageBinaries() {
        std::set<std::string> w32, w64;
        PackageBinaryNames([this](const std::string& relative) { return *machine.files.readFile("C:\\PKG\\" + relative); },
                           w32, w64);
        for (const auto& f : w32) write("W32\\" + f, "w32 " + f);
        for (const auto& f : w64) write("W64\\" + f, "w64 " + f);
    }

    // The names W32 and W64 must hold for the package whose files `read` gives.
    template <class Read>
    static void PackageBinaryNames(Read read, std::set<std::string>& w32, std::set<std::string>& w64) {
        for (int category = 0; category < 4; ++category)
            for (bool wide : {false, true}) collectValues(read(cfg::ModelFileName(category, wide)), wide ? w64 : w32);
        std::set<std::string> monitors;
        collectValues(read("DRVCONFIG\\setup.ini"), monitors);
        for (const auto& m : monitors) {
            w32.insert(m);
            w64.insert(m);
        }
        for (const char* extra : {"srclient.dll", "framedyn.dll", "newdev.dll", "DMCOLOR.DLL", "ICONLIB.DLL",
                                  "TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
            w32.insert(extra);
            w64.insert(extra);
        }
    }

    static void collectValues(const std::string& ini, std::set<std::string>& out) {
        std::size_t pos = 0;
        while (pos < ini.size()) {
            std::size_t end = ini.find('\n', pos);
            if (end == std::string::npos) end = ini.size();
            std::string line = ini.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
            if (value.empty() || value[0] == '0') continue;
            bool wanted = key.find("DLLName") != std::string::npos;
            for (const char* k : kDriverFileKeys)
                if (key.size() >= std::string(k).size() && key.compare(key.size() - std::string(k).size(), std::string::npos, k) == 0)
                    wanted = true;
            if (wanted) out.insert(value);
        }
    }

    // Vista and later keep them in the DriverStore, 2000 to 2003 in the Driver Cache
    // cabinets. From Windows 8 on "ntprint*" matches more than the package that holds
    // them: the class-4 package and a copy an update left behind come first here.
    void stageUniversalDriver() {
        auto& fs = machine.files;
        fs.setRedirection(is64, false, "C:\\WINDOWS");
        const std::string repository = "C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\";
        std::string store = repository + "ntprint.inf_x86_neutral_1a2b\\";
        if (os == cfg::kOsWin10 || os == cfg::kOsServer2012) {
            const std::string arch = is64 ? "amd64" : "x86";
            fs.writeFile(repository + "ntprint.inf_" + arch + "_0aa1\\ntprint.inf", "superseded");
            fs.writeFile(repository + "ntprint4.inf_" + arch + "_77c2\\ntprint4.inf", "class 4");
            store = repository + "ntprint.inf_" + arch + "_f3e9\\";
        }
        storeFolder = store;
        for (const char* f : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"}) {
            fs.writeFile(store + "I386\\" + f, std::string("store ") + f);
            fs.writeFile(store + "AMD64\\" + f, std::string("store64 ") + f);
        }
        std::vector<std::pair<std::string, std::string>> cab;
        for (const char* f : {"unidrv.dll", "unidrvui.dll", "unidrv.hlp", "unires.dll", "stdnames.gpd", "ttfsub.gpd",
                              "other.dll"})
            cab.emplace_back(f, std::string("cab ") + f);
        fs.writeFile(std::string("C:\\WINDOWS\\Driver Cache\\") + (is64 ? "AMD64" : "i386") + "\\driver.cab",
                     sim::SimFiles::makeCabinet(cab));
        fs.setRedirection(is64, is64, "C:\\WINDOWS");
    }

    // Where a 64-bit process (a driver installer, the spooler) sees the path: the real
    // system32 on 64-bit Windows, whatever the program's redirection is at the moment.
    void writeNative(const std::string& path, const std::string& bytes) {
        withoutRedirection([&] { machine.files.writeFile(path, bytes); });
    }
    void removeNative(const std::string& path) {
        withoutRedirection([&] { machine.files.removeFile(path); });
    }
    template <class Op>
    void withoutRedirection(Op op) {
        const bool redirected = machine.files.redirectionEnabled();
        machine.files.setRedirection(is64, false, "C:\\WINDOWS");
        op();
        machine.files.setRedirection(is64, redirected, "C:\\WINDOWS");
    }

    engine::InstallChoices choices(const std::string& model, int category, const std::string& port) const {
        engine::InstallChoices c;
        c.model = model;
        c.category = category;
        c.targetOs = os;
        c.portName = port;
        return c;
    }

    struct Result {
        int state;
        std::string messages;
        std::string printerName;
    };

    // What the install command does around the worker: the request, the network port,
    // the USB port and its records; then the worker.
    Result install(const engine::InstallChoices& c, engine::EngineContext* shared = nullptr) {
        engine::EngineContext local(p, is64);
        engine::EngineContext& ctx = shared ? *shared : local;
        engine::InstallRequest request(p, is64);
        cfg::MessageBuffer messages;
        if (!engine::FillInstallRequest(ctx, request, c, messages)) return {engine::kFailed, messages.text(), ""};
        if (request.portKind == engine::kPortNet) {
            request.portName = "IP_192.168.1.20";
            request.printer.portName = request.portName;
            if (!engine::AddTcpIpPort(ctx, request.portName, "192.168.1.20")) return {-1, "no tcp port", ""};
        }
        if (request.portKind == engine::kPortUsb) {
            request.portName = engine::UsbInstallSteps::InstalledPortName(request.portName);
            request.printer.portName = request.portName;
            if (!engine::WriteUsbPortRecords(ctx, request.portName, messages)) return {engine::kFailed, messages.text(), ""};
            // The package's USB monitor offers the ports it has records for.
            bool known = false;
            for (const auto& port : machine.spooler.portNames()) known = known || port == request.portName;
            if (!known) machine.spooler.addPort(request.portName);
        }
        std::atomic<int> state{engine::kRunning};
        engine::InstallJob job{request, messages, state};
        engine::InstallWorker(ctx, job);
        return {state.load(), messages.text(), request.modelName};
    }
};

}  // namespace testing_support
