#include "platform/sim/SimFileSystem.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/SimText.h"

namespace sim {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitPath(const std::string& p) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : p) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

bool hasPrefixNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix) &&
           (s.size() == prefix.size() || s[prefix.size()] == '\\');
}

// Finds a host file by walking its components without regard to case, as Windows would.
std::optional<fs::path> findHostPath(const fs::path& base, const std::vector<std::string>& parts) {
    fs::path cur = base;
    std::error_code ec;
    for (const auto& part : parts) {
        fs::path exact = cur / part;
        if (fs::exists(exact, ec)) {
            cur = exact;
            continue;
        }
        bool found = false;
        for (const auto& entry : fs::directory_iterator(cur, ec)) {
            if (equalsNoCase(entry.path().filename().string(), part)) {
                cur = entry.path();
                found = true;
                break;
            }
        }
        if (!found) return std::nullopt;
    }
    return cur;
}

}  // namespace

std::string SimFileSystem::fullPath(const std::string& path, const std::string& currentDir) {
    std::string combined;
    if (path.size() >= 2 && path[1] == ':') {
        combined = path;
    } else if (!path.empty() && (path[0] == '\\' || path[0] == '/')) {
        combined = currentDir.substr(0, 2) + path;
    } else {
        combined = currentDir + "\\" + path;
    }
    std::vector<std::string> out;
    for (const auto& part : splitPath(combined)) {
        if (part == ".") continue;
        if (part == "..") {
            if (out.size() > 1) out.pop_back();
            continue;
        }
        out.push_back(part);
    }
    std::string result;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i) result += '\\';
        result += out[i];
    }
    if (out.size() == 1) result += '\\';  // "C:" alone is the root "C:\"
    return result;
}

void SimFileSystem::setRedirection(bool wow64Process, bool enabled, const std::string& windowsDir) {
    wow64_ = wow64Process;
    redirect_ = enabled;
    windowsDir_ = windowsDir;
    ++generation_;
}

std::string SimFileSystem::resolve(const std::string& absolutePath) const {
    if (!wow64_ || !redirect_) return absolutePath;
    const std::string sys32 = windowsDir_ + "\\system32";
    if (!hasPrefixNoCase(absolutePath, sys32)) return absolutePath;
    // Folders Windows leaves alone even for a 32-bit process.
    for (const char* exempt : {"\\spool", "\\drivers\\etc", "\\catroot", "\\catroot2", "\\logfiles"}) {
        if (hasPrefixNoCase(absolutePath, sys32 + exempt)) return absolutePath;
    }
    if (driverStoreShared_ && hasPrefixNoCase(absolutePath, sys32 + "\\DriverStore")) return absolutePath;
    return windowsDir_ + "\\SysWOW64" + absolutePath.substr(sys32.size());
}

void SimFileSystem::mapHostFolder(const std::string& windowsFolder, const std::string& hostFolder) {
    std::string w = fullPath(windowsFolder, "C:\\");
    while (!w.empty() && w.back() == '\\') w.pop_back();
    mappings_.push_back({w, hostFolder});
    ++generation_;
}

std::optional<std::string> SimFileSystem::hostPathFor(const std::string& resolved) const {
    for (const auto& m : mappings_) {
        if (!hasPrefixNoCase(resolved, m.windowsFolder)) continue;
        auto found = findHostPath(m.hostFolder, splitPath(resolved.substr(m.windowsFolder.size())));
        if (found && fs::is_regular_file(*found)) return found->string();
    }
    return std::nullopt;
}

std::string SimFileSystem::key(const std::string& path) const { return lowerAscii(resolve(fullPath(path, "C:\\"))); }

void SimFileSystem::writeFile(const std::string& path, const std::string& bytes) {
    const std::string k = key(path);
    files_[k] = bytes;
    ++generation_;
    names_[k] = resolve(fullPath(path, "C:\\"));
}

bool SimFileSystem::removeFile(const std::string& path) {
    const std::string k = key(path);
    ++generation_;
    attributes_.erase(k);
    names_.erase(k);
    return files_.erase(k) > 0;
}

void SimFileSystem::makeDirectory(const std::string& path) {
    directories_[key(path)] = resolve(fullPath(path, "C:\\"));
}

bool SimFileSystem::directoryExists(const std::string& path) const {
    const std::string k = key(path);
    if (k.size() == 3 && k[1] == ':') return true;  // a drive's root
    if (directories_.count(k)) return true;
    for (const auto& f : files_)
        if (f.first.size() > k.size() && f.first.compare(0, k.size(), k) == 0 && f.first[k.size()] == '\\')
            return true;
    for (const auto& m : mappings_) {
        const std::string resolved = resolve(fullPath(path, "C:\\"));
        if (equalsNoCase(resolved, m.windowsFolder)) return true;
        if (!hasPrefixNoCase(resolved, m.windowsFolder)) continue;
        auto found = findHostPath(m.hostFolder, splitPath(resolved.substr(m.windowsFolder.size())));
        if (found && fs::is_directory(*found)) return true;
    }
    return false;
}

std::vector<std::string> SimFileSystem::list(const std::string& folder) const {
    const std::string k = key(folder);
    std::vector<std::string> out;
    auto add = [&](const std::string& name) {
        for (const auto& n : out)
            if (equalsNoCase(n, name)) return;
        out.push_back(name);
    };
    auto childOf = [&](const std::string& lowerPath, const std::string& shown) {
        if (lowerPath.size() <= k.size() + 1 || lowerPath.compare(0, k.size(), k) != 0 || lowerPath[k.size()] != '\\')
            return;
        const std::string rest = shown.substr(k.size() + 1);
        add(rest.substr(0, rest.find('\\')));
    };
    for (const auto& f : files_) childOf(f.first, names_.count(f.first) ? names_.at(f.first) : f.first);
    for (const auto& d : directories_) childOf(d.first, d.second);
    const std::string resolved = resolve(fullPath(folder, "C:\\"));
    for (const auto& m : mappings_) {
        if (!hasPrefixNoCase(resolved, m.windowsFolder)) continue;
        auto found = findHostPath(m.hostFolder, splitPath(resolved.substr(m.windowsFolder.size())));
        std::error_code ec;
        if (found && fs::is_directory(*found))
            for (const auto& entry : fs::directory_iterator(*found, ec)) add(entry.path().filename().string());
    }
    return out;
}

std::vector<std::string> SimFileSystem::inventory() const {
    std::vector<std::string> lines;
    for (const auto& f : files_) {
        auto a = attributes_.find(f.first);
        lines.push_back(f.first + " attr=" + std::to_string(a == attributes_.end() ? 0x20u : a->second) + " " + f.second);
    }
    return lines;  // a map: already sorted
}

std::uint32_t SimFileSystem::attributes(const std::string& path) const {
    auto it = attributes_.find(key(path));
    return it == attributes_.end() ? 0x20u : it->second;
}

void SimFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
    attributes_[key(path)] = attributes;
}

void SimFileSystem::setInUse(const std::string& path, bool inUse) { inUse_[key(path)] = inUse; }

bool SimFileSystem::inUse(const std::string& path) const {
    const std::string k = key(path);
    auto it = inUse_.find(k);
    if (it != inUse_.end() && it->second) return true;
    return heldByServices && heldByServices(k);
}

std::optional<std::string> SimFileSystem::readFile(const std::string& path) const {
    const std::string resolved = resolve(fullPath(path, "C:\\"));
    auto it = files_.find(lowerAscii(resolved));
    if (it != files_.end()) return it->second;
    // Mapped folders are read-only for the life of a test process, and thousands of
    // simulated machines read the same package: their files are read from disk once.
    static std::map<std::string, std::optional<std::string>> hostCache;
    std::string cacheKey;
    for (const auto& m : mappings_) cacheKey += m.hostFolder + "|" + m.windowsFolder + "|";
    cacheKey += lowerAscii(resolved);
    auto cached = hostCache.find(cacheKey);
    if (cached != hostCache.end()) return cached->second;
    std::optional<std::string> content;
    if (auto host = hostPathFor(resolved)) {
        std::ifstream in(*host, std::ios::binary);
        if (in) {
            std::ostringstream ss;
            ss << in.rdbuf();
            content = ss.str();
        }
    }
    hostCache[cacheKey] = content;
    return content;
}

bool SimFileSystem::fileExists(const std::string& path) const { return readFile(path).has_value(); }

bool SimFileSystem::fileExistsNative(const std::string& path) const { return readFileNative(path).has_value(); }

std::optional<std::string> SimFileSystem::readFileNative(const std::string& path) const {
    SimFileSystem& self = const_cast<SimFileSystem&>(*this);
    const bool was = redirect_;
    self.redirect_ = false;
    auto bytes = readFile(path);
    self.redirect_ = was;
    return bytes;
}

}  // namespace sim
