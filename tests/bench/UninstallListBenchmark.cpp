// How long the uninstaller takes to build its component list on a machine with 1,000
// printers, 10 of them on the package's driver: read Uninstall.ini once per listing, read
// it for every printer and entry, and a bare listing that makes only the spooler calls.
#include <chrono>
#include <cstdio>

#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallIni.h"
#include "EngineMachine.h"

using testing_support::EngineMachine;
using namespace uninstall;

namespace {

constexpr int kPrinters = 1000;
constexpr int kPackagePrinters = 10;

bool addPrinter(EngineMachine& m, const std::string& name, const std::string& driver) {
    plat::PrinterInfo2 info;
    info.printerName = name;
    info.driverName = driver;
    info.portName = std::string("LPT1:");
    info.printProcessor = std::string("WinPrint");
    info.datatype = std::string("RAW");
    plat::PrinterHandle h = 0;
    if (!m.machine.spooler.AddPrinter(info, &h)) return false;
    m.machine.spooler.ClosePrinter(h);
    return true;
}

bool addForeignDriver(EngineMachine& m) {
    const std::string dir = m.machine.spooler.driverDirectory();
    for (const char* f : {"F.DLL", "F.GPD", "FUI.DLL"}) m.machine.files.writeFile(dir + "\\" + f, f);
    plat::DriverInfo3 driver;
    driver.version = 3;
    driver.name = std::string("Office Laser");
    driver.driverPath = std::string("F.DLL");
    driver.dataFile = std::string("F.GPD");
    driver.configFile = std::string("FUI.DLL");
    return m.machine.spooler.AddPrinterDriver(driver);
}

std::vector<std::string> listPerCall(plat::Platform& p, const UninstallState& state) {
    std::vector<std::string> items;
    for (const auto& n : EnumerateLocalPrinters(p))
        if (IsListedPrinter(p, state, n)) items.push_back(n);
    for (const auto& n : EnumerateMonitors(p))
        if (IsListedMonitor(p, state, n)) items.push_back(n);
    for (const auto& n : EnumerateProcessors(p, state))
        if (IsListedProcessor(p, state, n)) items.push_back(n);
    return items;
}

// Only what the listing cannot do without: the printers and each one's level-2 record.
std::size_t listBare(plat::Platform& p) {
    std::size_t read = 0;
    for (const auto& n : EnumerateLocalPrinters(p)) {
        std::string driver;
        if (ReadPrinterDriverName(p, n, &driver)) ++read;
    }
    return read;
}

template <typename F>
double msPerRun(int rounds, F run) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) run();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

}  // namespace

int main() {
    EngineMachine m(sim::WindowsVersion::Win7, false);
    // The first package printer through the engine brings the driver, monitors and processor.
    const auto r = m.install(m.choices("KLM-A100", cfg::kReceipt, "USB_KLM-A100_1"));
    if (r.state != engine::kSucceeded) {
        std::printf("installation failed: %s\n", r.messages.c_str());
        return 1;
    }
    if (!addForeignDriver(m)) return 1;
    int added = 1;
    for (int i = 1; i < kPackagePrinters; ++i, ++added)
        if (!addPrinter(m, "Receipt " + std::to_string(i), "KLM A100 Receipt")) return 1;
    for (int i = 0; added < kPrinters; ++i, ++added)
        if (!addPrinter(m, "Office " + std::to_string(i), "Office Laser")) return 1;

    UninstallState state;
    state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
    state.osClass = cfg::kOsWin7;

    const auto once = ListRemovableComponents(m.p, state);
    const auto perCall = listPerCall(m.p, state);
    if (once != perCall) {
        std::printf("the two listings differ\n");
        return 1;
    }
    auto reads = [&](auto run) {
        const int before = m.machine.faults.timesCalled("GetPrivateProfileStringA");
        run();
        return m.machine.faults.timesCalled("GetPrivateProfileStringA") - before;
    };
    const int rounds = 20;
    std::printf("%d printers, %zu items listed\n", kPrinters, once.size());
    std::printf("bare spooler calls        %8.3f ms per listing\n", msPerRun(rounds, [&] { listBare(m.p); }));
    std::printf("Uninstall.ini read once   %8.3f ms per listing, %d profile reads\n",
                msPerRun(rounds, [&] { ListRemovableComponents(m.p, state); }),
                reads([&] { ListRemovableComponents(m.p, state); }));
    std::printf("Uninstall.ini per lookup  %8.3f ms per listing, %d profile reads\n",
                msPerRun(rounds, [&] { listPerCall(m.p, state); }), reads([&] { listPerCall(m.p, state); }));
    return 0;
}
