#include "tools/drvpkg/PackageFolder.h"

namespace drvpkg {

namespace {
constexpr const char* kFolder = "C:\\PKG";
constexpr std::uint32_t kWholeValue = 1u << 20;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}
}  // namespace

PackageFolder::PackageFolder(const std::string& hostDir) { machine_.installProgram(hostDir, kFolder, "setup.exe"); }

PackageFolder::PackageFolder(const std::map<std::string, std::string>& files) {
    machine_.files.makeDirectory(kFolder);
    for (const auto& f : files) {
        const auto slash = f.first.rfind('\\');
        if (slash != std::string::npos) machine_.files.makeDirectory(fullPath(f.first.substr(0, slash)));
        machine_.files.writeFile(fullPath(f.first), f.second);
    }
    machine_.process.currentDir = kFolder;
    machine_.process.imagePath = fullPath("setup.exe");
}

std::string PackageFolder::fullPath(const std::string& relative) const { return std::string(kFolder) + "\\" + relative; }

bool PackageFolder::exists(const std::string& relative) {
    const std::uint32_t a = machine_.fileApi.GetFileAttributes(fullPath(relative));
    return a != plat::kInvalidFileAttributes && !(a & plat::kFileAttributeDirectory);
}

bool PackageFolder::isFolder(const std::string& relative) {
    const std::uint32_t a = machine_.fileApi.GetFileAttributes(fullPath(relative));
    return a != plat::kInvalidFileAttributes && (a & plat::kFileAttributeDirectory);
}

std::vector<std::string> PackageFolder::list(const std::string& relativeFolder) {
    std::vector<std::string> names;
    const std::string pattern = (relativeFolder.empty() ? std::string(kFolder) : fullPath(relativeFolder)) + "\\*";
    std::string name;
    plat::FindHandle find = machine_.fileApi.FindFirstFile(pattern, &name);
    if (!find) return names;
    do
        if (name != "." && name != "..") names.push_back(name);
    while (machine_.fileApi.FindNextFile(find, &name));
    machine_.fileApi.FindClose(find);
    return names;
}

const std::string* PackageFolder::bytes(const std::string& relative) {
    const std::string key = lower(relative);
    auto it = bytes_.find(key);
    if (it != bytes_.end()) return it->second.get();
    auto read = exists(relative) ? machine_.files.readFile(fullPath(relative)) : std::nullopt;
    auto& slot = bytes_[key];
    if (read) slot = std::make_unique<std::string>(std::move(*read));
    return slot.get();
}

const sim::IniFile* PackageFolder::ini(const std::string& relative) {
    const std::string key = lower(relative);
    auto it = parsed_.find(key);
    if (it != parsed_.end()) return it->second.get();
    const std::string* text = bytes(relative);
    auto& slot = parsed_[key];
    if (text) slot = std::make_unique<sim::IniFile>(sim::IniFile::parse(*text));
    return slot.get();
}

std::string PackageFolder::value(const sim::IniFile* ini, const std::string& section, const std::string& key,
                                 const std::string& fallback) {
    return sim::IniFile::getString(ini, section, key, fallback, kWholeValue);
}

int PackageFolder::line(const sim::IniFile* ini, const std::string& section, const std::string& key) {
    if (!ini) return 0;
    if (!key.empty())
        if (const auto* k = ini->find(section, key)) return k->line;
    const auto* s = ini->findSection(section);
    return s ? s->line : 0;
}

std::string PackageFolder::shown(const std::string& relative) {
    std::string s = relative;
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

}  // namespace drvpkg
