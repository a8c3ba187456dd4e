// Shows what setup decides at start-up with a package folder on each simulated Windows:
// the wizard, or the refusal the user would read.
//
//   startup_demo [package-folder] [--chinese]
#include <cstdio>
#include <string>

#include "config/LanguageFile.h"
#include "config/OsClass.h"
#include "config/PackageConfig.h"
#include "config/UserAdmin.h"
#include "platform/sim/SimMachine.h"
#include "setup/SetupStartup.h"

namespace {

std::string oneLine(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n")) text.replace(at, 2, " / ");
    return text;
}

void listModels(plat::Platform& p) {
    cfg::PackageConfig package(p);
    static const char* const kCategories[] = {"Receipt", "Ticket", "Label", "Embedded"};
    std::printf("Package %s: %d entries\n", package.path().c_str(), package.deviceCount());
    for (int n = 1; n <= package.deviceCount() && n <= 200; ++n) {
        std::string name;
        int category = package.deviceEntry(n, &name);
        std::printf("  %2d  %-24s %s\n", n, name.c_str(), category >= 0 ? kCategories[category] : "(not listed)");
    }
    std::string name;
    if (package.defaultEntry(&name) >= 0) std::printf("  preselected: %s\n", name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = PACKAGE_DIR;
    bool chinese = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--chinese")
            chinese = true;
        else
            folder = a;
    }
    using sim::WindowsVersion;
    const WindowsVersion versions[] = {WindowsVersion::Win95,      WindowsVersion::Win98,  WindowsVersion::WinMe,
                                       WindowsVersion::Nt4,        WindowsVersion::Win2000, WindowsVersion::WinXP,
                                       WindowsVersion::WinXP64,    WindowsVersion::Server2003, WindowsVersion::Vista,
                                       WindowsVersion::Server2008, WindowsVersion::Win7, WindowsVersion::Server2008R2,
                                       WindowsVersion::Win8,       WindowsVersion::Win81,  WindowsVersion::Win10,
                                       WindowsVersion::Win11,      WindowsVersion::Server2012R2,
                                       WindowsVersion::Server2022};
    bool listed = false;
    for (WindowsVersion v : versions) {
        for (bool is64 : {false, true}) {
            sim::SimMachine m;
            m.setWindows(v, is64);
            if (is64 != m.system.wow64) continue;  // no such edition
            m.installProgram(folder, "C:\\PKG", "setup.exe");
            if (chinese) {
                m.files.mapHostFolder("C:\\ZH", folder + "/language-zh");
                m.files.writeFile("C:\\PKG\\language\\setup.ini", m.files.readFile("C:\\ZH\\setup.ini").value_or(""));
                m.files.writeFile("C:\\PKG\\DRVCONFIG\\setup.ini",
                                  m.files.readFile("C:\\ZH\\setup-package.ini").value_or(""));
            }
            if (!listed) {
                listModels(m.platform());
                std::printf("\n%-10s %-6s %-7s %s\n", "Windows", "width", "OsClass", "start-up");
                listed = true;
            }
            setup::StartupDecision d = setup::RunSetupStartup(m.platform());
            const int os = cfg::DetectOsClass(m.platform(), cfg::Program::Setup);
            std::printf("%-10s %-6s %-7s ", sim::windowsVersionName(v), is64 ? "64-bit" : "32-bit",
                        cfg::OsSuffix(os));
            if (d.outcome == setup::StartupDecision::ShowWizard) {
                std::printf("wizard (%s page first, %s font)\n", d.showAgreement ? "agreement" : "printer-type",
                            d.useChineseFont ? "Chinese" : "designed");
            } else {
                const std::string text =
                    m.windows.messageBoxes().empty() ? "" : m.windows.messageBoxes().back().text;
                std::printf("refused [%s] %s: \"%s\"\n", d.refusalSection.c_str(), d.refusalKey.c_str(),
                            oneLine(text).c_str());
            }
        }
    }
    return 0;
}
