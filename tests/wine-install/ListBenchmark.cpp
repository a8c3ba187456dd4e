// The uninstaller's component listing with 1,000 printers (10 on the package's driver),
// beside a bare program that makes only the calls the listing needs: EnumPrinters, then
// OpenPrinter and GetPrinter level 2 per printer. Run in the package folder after
// install_check has installed KLM-A100 on LPT1:.
//   list_benchmark [printers]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/OsClass.h"
#include "config/Wow64.h"
#include "platform/win32/Win32Platform.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallState.h"

namespace {

double milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

bool addPrinter(plat::Platform& p, const std::string& name, const std::string& driver) {
    plat::PrinterInfo2 info;
    info.printerName = name;
    info.driverName = driver;
    info.portName = std::string("LPT1:");
    info.printProcessor = std::string("WinPrint");
    info.datatype = std::string("RAW");
    plat::PrinterHandle h = 0;
    if (!p.spooler.AddPrinter(info, &h)) return false;
    p.spooler.ClosePrinter(h);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int total = argc > 1 ? std::atoi(argv[1]) : 1000;
    plat::Win32Platform win32;
    plat::Platform& p = win32.platform();

    plat::DriverInfo3 other;
    other.version = 3;
    other.name = std::string("Other Thermal Driver");
    other.driverPath = std::string("UNIDRV.DLL");
    other.dataFile = std::string("KLMA100G.GPD");
    other.configFile = std::string("UNIDRVUI.DLL");
    other.helpFile = std::string("UNIDRV.HLP");
    if (!p.spooler.AddPrinterDriver(other)) std::printf("note: second driver not added (%u)\n", p.process.GetLastError());
    std::vector<std::string> existing;
    std::uint32_t needed = 0;
    p.spooler.EnumPrinters5(0, &existing, &needed);
    p.spooler.EnumPrinters5(needed, &existing, &needed);
    const auto adding = std::chrono::steady_clock::now();
    for (int i = static_cast<int>(existing.size()); i < total; ++i) {
        const bool package = i % (total / 10) == 0;
        if (!addPrinter(p, (package ? "Package printer " : "Other printer ") + std::to_string(i),
                        package ? "KLM A100 Receipt" : "Other Thermal Driver")) {
            std::printf("adding printer %d failed (%u)\n", i, p.process.GetLastError());
            return 1;
        }
    }
    std::printf("printers in place after %.0f ms\n", milliseconds(adding));

    uninstall::UninstallState state;
    state.osClass = cfg::DetectOsClass(p, cfg::Program::Uninstall);
    state.is64BitWindows = cfg::IsWow64(p);
    if (uninstall::FindUninstallIni(p, state, 0).outcome != uninstall::IniSearchResult::Found) {
        std::printf("no Uninstall.ini\n");
        return 1;
    }
    for (int round = 0; round < 3; ++round) {
        auto start = std::chrono::steady_clock::now();
        std::vector<std::string> names;
        p.spooler.EnumPrinters5(0, &names, &needed);
        p.spooler.EnumPrinters5(needed, &names, &needed);
        for (const auto& name : names) {
            plat::PrinterHandle h = 0;
            if (!p.spooler.OpenPrinterWithAccess(name, plat::kPrinterAllAccess, &h)) continue;
            plat::PrinterInfo2 info;
            std::uint32_t size = 0;
            p.spooler.GetPrinter2(h, 0, &info, &size);
            p.spooler.GetPrinter2(h, size, &info, &size);
            p.spooler.ClosePrinter(h);
        }
        const double bare = milliseconds(start);
        start = std::chrono::steady_clock::now();
        const auto rows = uninstall::ListRemovableComponents(p, state);
        const double listing = milliseconds(start);
        std::printf("round %d: %zu printers; bare calls %.1f ms, component listing %.1f ms (%zu rows), ratio %.2f\n",
                    round + 1, names.size(), bare, listing, rows.size(), listing / bare);
    }
    return 0;
}
