// drvpkg: checks a driver package and shows what an installation of it would do, on a
// simulated Windows, without touching a machine.
#include <cstdlib>
#include <iostream>
#include <string>

#include "tools/drvpkg/Checks.h"
#include "tools/drvpkg/Printers.h"

namespace {

const char kUsage[] =
    "usage: drvpkg check DIR [--json]\n"
    "       drvpkg plan DIR --windows NAME --model M --port P [--mode typical|advanced]\n"
    "                   [--ip A.B.C.D] [--serial 9600,n,8,1,x] [--usb-id N] [--json]\n"
    "       drvpkg windows          (the simulated machines NAME may be)\n"
    "check exits 1 when there is an error; plan exits 1 when the installation did not succeed.\n";

int usage(const std::string& why) {
    if (!why.empty()) std::cerr << "drvpkg: " << why << '\n';
    std::cerr << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage("");
    const std::string command = argv[1];
    if (command == "windows") {
        for (const auto& w : drvpkg::SimulatedWindowsList()) std::cout << w.name << '\n';
        return 0;
    }
    if ((command != "check" && command != "plan") || argc < 3) return usage("");
    const std::string dir = argv[2];
    bool asJson = false;
    drvpkg::PlanOptions options;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") {
            asJson = true;
            continue;
        }
        if (command != "plan" || i + 1 >= argc) return usage("unknown option " + arg);
        const std::string value = argv[++i];
        if (arg == "--windows") options.windows = value;
        else if (arg == "--model") options.model = value;
        else if (arg == "--port") options.port = value;
        else if (arg == "--mode") options.mode = value;
        else if (arg == "--ip") options.ip = value;
        else if (arg == "--serial") options.serial = value;
        else if (arg == "--usb-id") options.usbId = std::atoi(value.c_str());
        else return usage("unknown option " + arg);
    }
    if (command == "check") {
        const auto findings = drvpkg::CheckPackage(dir);
        if (asJson) drvpkg::PrintFindingsJson(std::cout, findings);
        else drvpkg::PrintFindings(std::cout, findings);
        for (const auto& f : findings)
            if (f.error) return 1;
        return 0;
    }
    if (options.windows.empty() || options.model.empty() || options.port.empty())
        return usage("plan needs --windows, --model and --port");
    const drvpkg::PlanResult plan = drvpkg::RunPlan(dir, options);
    if (!plan.usageError.empty()) return usage(plan.usageError);
    if (asJson) drvpkg::PrintPlanJson(std::cout, plan);
    else drvpkg::PrintPlan(std::cout, plan);
    return plan.outcome == "installed" ? 0 : 1;
}
