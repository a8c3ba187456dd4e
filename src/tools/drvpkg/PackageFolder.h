// A package folder as the programs see it: mapped into a simulated machine as setup's own
// folder, so the core's readers read it with the profile rules of Windows, and parsed with
// the same reader for the line each value comes from.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/IniFile.h"
#include "platform/sim/SimMachine.h"

namespace drvpkg {

class PackageFolder {
public:
    explicit PackageFolder(const std::string& hostDir);
    // A package made of the given files only (Windows paths below the folder, and bytes).
    explicit PackageFolder(const std::map<std::string, std::string>& files);

    plat::Platform& platform() { return machine_.platform(); }
    // Windows paths below the package folder ("DRVCONFIG\setup.ini"), matched without
    // regard to case as Windows matches them.
    std::string fullPath(const std::string& relative) const;
    bool exists(const std::string& relative);
    bool isFolder(const std::string& relative);
    std::vector<std::string> list(const std::string& relativeFolder);  // names in it
    const std::string* bytes(const std::string& relative);
    const sim::IniFile* ini(const std::string& relative);  // null when the file is missing

    // The whole value as the profile reader gives it (quotes removed), `fallback` when absent.
    static std::string value(const sim::IniFile* ini, const std::string& section, const std::string& key,
                             const std::string& fallback = "0");
    // The key's line, else its section's, else 0.
    static int line(const sim::IniFile* ini, const std::string& section, const std::string& key = std::string());
    // "DRVCONFIG/setup.ini", as findings name files.
    static std::string shown(const std::string& relative);

private:
    sim::SimMachine machine_;
    std::map<std::string, std::unique_ptr<std::string>> bytes_;
    std::map<std::string, std::unique_ptr<sim::IniFile>> parsed_;
};

}  // namespace drvpkg
