// `drvpkg check`: the rules, grouped by the file they check, and what they share.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/OsClass.h"
#include "tools/drvpkg/Findings.h"
#include "tools/drvpkg/PackageFolder.h"

namespace drvpkg {

struct PackageModel {
    std::string name;
    int category = -1;
    int entryLine = 0;  // in DRVCONFIG\setup.ini
};

// A key the programs read, with the buffer it is read into (bytes with the NUL).
struct KeySpec {
    std::string name;
    std::uint32_t size;
};

struct CheckContext {
    PackageFolder& package;
    Findings& out;
    std::vector<PackageModel> models;
    bool width[2] = {true, true};  // 32-bit and 64-bit Windows, as Supported32OR64 claims them
    std::vector<cfg::OsClass> classes;  // every class with a section suffix
    // Whether some Windows of the class exists in the width (no 64-bit Windows 2000).
    bool classInWidth(cfg::OsClass os, bool is64) const;
    std::vector<std::pair<cfg::OsClass, bool>> classWidths;

    // Unknown keys (warnings) and values longer than their buffers (errors) of one section;
    // `known` holds every key the programs read there.
    void checkKeys(const std::string& file, const sim::IniFile::Section& section, const std::vector<KeySpec>& known);
    // A section or key repeated in a file: the programs read only the first.
    void checkRepeats(const std::string& file);
    // Whether W32 or W64 holds the file; true when the folder itself is missing (reported once).
    bool binaryPresent(bool is64, const std::string& name);
};

void CheckPackageFile(CheckContext& ctx);  // DRVCONFIG\setup.ini; fills models and widths
void CheckModelFiles(CheckContext& ctx);
void CheckLanguageFiles(CheckContext& ctx);
void CheckUninstallIni(CheckContext& ctx);

// Every finding for the package in `hostDir`, in file order of the checks.
std::vector<Finding> CheckPackage(const std::string& hostDir);
std::vector<Finding> CheckPackage(PackageFolder& package);

std::string OsName(cfg::OsClass os);  // "Windows 7", from the section suffix
bool StartsWithNoCase(const std::string& text, const std::string& prefix);

}  // namespace drvpkg
