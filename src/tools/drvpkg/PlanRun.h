// `drvpkg plan`: one installation of a package on a simulated Windows, run by the wizard's
// own Install command and engine, with every change it made to the machine.
#pragma once
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tools/drvpkg/PlanRecorder.h"

namespace drvpkg {

struct SimulatedWindows {
    std::string name;  // "xp-32", "7-64", ...
    sim::WindowsVersion version;
    bool sixtyFourBit;
};
// Every version the simulated machine knows, in each width it had.
std::vector<SimulatedWindows> SimulatedWindowsList();

struct PlanOptions {
    std::string windows, model, port;
    std::string mode = "typical";
    std::string ip = "192.168.1.20";
    std::string serial;  // "9600,n,8,1,x"; empty keeps the page's settings
    int usbId = 1;
};

struct PlanResult {
    std::string usageError;  // set when the options cannot be carried out; nothing ran then
    std::string windows;
    int osClass = 0;
    std::string model;
    int category = -1;
    std::string port;
    std::vector<std::string> notes;  // what the machine was given beyond a fresh Windows
    std::vector<PlanStep> steps;
    std::vector<std::string> messages;  // the message boxes of the Install press, in order
    std::string outcome;                // "installed", "failed" or "stopped"
};

// `packageDir` is a host folder; it is mapped read-only into the machine.
PlanResult RunPlan(const std::string& packageDir, const PlanOptions& options);

}  // namespace drvpkg
