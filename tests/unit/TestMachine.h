// A simulated machine with setup installed in C:\PKG, either over the sample package or
// over INI files a test writes itself.
#pragma once
#include <string>

#include "platform/sim/SimMachine.h"

namespace testing_support {

inline constexpr const char* kProgramFolder = "C:\\PKG";

struct TestMachine {
    sim::SimMachine machine;
    plat::Platform& p = machine.platform();

    explicit TestMachine(bool samplePackage = true, const char* exe = "setup.exe") {
        machine.process.imagePath = std::string(kProgramFolder) + "\\" + exe;
        machine.process.currentDir = kProgramFolder;
        if (samplePackage) machine.files.mapHostFolder(kProgramFolder, SAMPLE_PACKAGE_DIR);
    }
    // Writes a file relative to the program folder; lines joined with CR LF.
    void write(const std::string& relative, const std::string& content) {
        machine.files.writeFile(std::string(kProgramFolder) + "\\" + relative, content);
    }
    const std::vector<sim::ShownMessageBox>& boxes() const { return machine.windows.messageBoxes(); }
};

}  // namespace testing_support
