#include "config/PackageFiles.h"

namespace cfg {

const char* const kPackageFile = "DRVCONFIG\\setup.ini";

std::string ProgramFolder(plat::Platform& p) {
    std::string path;
    p.process.GetModuleFileName(200, &path);
    auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModelFileName(int category, bool is64BitWindows, bool capitalised) {
    static const char* const kLower[] = {"receipt", "ticket", "lable", "embedded"};
    static const char* const kCapital[] = {"receipt", "Ticket", "Lable", "Embedded"};
    if (category < 0 || category > 3) return std::string();
    std::string name = std::string("DRVCONFIG\\setup_") + (capitalised ? kCapital : kLower)[category];
    return name + (is64BitWindows ? "_64.ini" : ".ini");
}

}  // namespace cfg
