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
// and its records), runs the worker, then checks the printer through the spooler.
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
        engine::WriteUsbPortRecords(ctx, request.portName);
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
    if (!monitorName.empty()) {
        cfg::RegistryKey key(p, cfg::Program::Setup, is64);
        std::uint32_t version = 0;
        const bool read = key.Open(plat::kHkeyLocalMachine, engine::kMonitorsKey + monitorName) &&
                          key.QueryDword("DriverVersion", &version);
        check(read && static_cast<long>(version) == monitorVersion,
              "monitor \"" + monitorName + "\" recorded with version " + std::to_string(monitorVersion) +
                  " (got " + std::to_string(version) + ")");
    }
    return failures ? 1 : 0;
}
