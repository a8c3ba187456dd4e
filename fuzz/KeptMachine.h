// The simulated machines of the targets that read through one: one per Windows and width,
// made on first use and kept across inputs, so that an input pays for the files it writes
// and the reads it makes, not for building a machine.
#pragma once
#include <map>
#include <memory>
#include <utility>

#include "platform/sim/SimMachine.h"

namespace fuzz {

// The Windows an input's option bits pick, by index (the seeds in fuzz/corpus rely on
// this order: 0 is Windows 7, 2 Windows 2000, 13 Windows 10).
constexpr sim::WindowsVersion kWindows[] = {
    sim::WindowsVersion::Win7,    sim::WindowsVersion::WinXP,        sim::WindowsVersion::Win2000,
    sim::WindowsVersion::Vista,   sim::WindowsVersion::Server2003,   sim::WindowsVersion::Server2008,
    sim::WindowsVersion::WinXP64, sim::WindowsVersion::Server2008R2, sim::WindowsVersion::Win98,
    sim::WindowsVersion::WinMe,   sim::WindowsVersion::Nt4,          sim::WindowsVersion::Win95,
    sim::WindowsVersion::Win8,    sim::WindowsVersion::Win10,        sim::WindowsVersion::Server2012,
    sim::WindowsVersion::Server2022,
};
constexpr std::size_t kWindowsCount = sizeof kWindows / sizeof kWindows[0];

// The program runs as C:\PKG\setup.exe with C:\PKG as its current folder.
constexpr const char* kPackageFolder = "C:\\PKG";

inline sim::SimMachine& KeptMachine(std::size_t windows, bool is64) {
    const sim::WindowsVersion version = kWindows[windows % kWindowsCount];
    static std::map<std::pair<sim::WindowsVersion, bool>, std::unique_ptr<sim::SimMachine>> machines;
    std::unique_ptr<sim::SimMachine>& m = machines[{version, is64}];
    if (!m) {
        m = std::make_unique<sim::SimMachine>();
        m->setWindows(version, is64);
        m->process.imagePath = std::string(kPackageFolder) + "\\setup.exe";
        m->process.currentDir = kPackageFolder;
    }
    return *m;
}

}  // namespace fuzz
