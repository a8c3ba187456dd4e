#include "platform/sim/SimFiles.h"

#include "platform/sim/SimText.h"

namespace sim {

namespace {
constexpr std::uint32_t kErrorFileExists = 80;
constexpr std::uint32_t kErrorNoMoreFiles = 18;
constexpr std::uint32_t kErrorFileTooLarge = 223;

std::string parentOf(const std::string& path) {
    auto p = path.rfind('\\');
    return p == std::string::npos ? std::string() : path.substr(0, p);
}
}  // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || asciiLower(pattern[p]) == asciiLower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string SimFiles::makeCabinet(const std::vector<std::pair<std::string, std::string>>& contents) {
    std::string cab;
    for (const auto& [name, content] : contents) cab += name + "|" + content + "\n";
    return cab;
}

bool SimFiles::CopyFile(const std::string& source, const std::string& target, bool failIfExists) {
    if (state_.enter("CopyFileA")) return false;
    auto bytes = files_.readFile(full(source));
    if (!bytes) return state_.fail(plat::kErrorFileNotFound);
    const std::string to = full(target);
    if (!files_.directoryExists(parentOf(to))) return state_.fail(plat::kErrorPathNotFound);
    if (files_.fileExists(to)) {
        if (failIfExists) return state_.fail(kErrorFileExists);
        if (files_.inUse(to)) return state_.fail(plat::kErrorSharingViolation);
        if (files_.attributes(to) & plat::kFileAttributeReadOnly) return state_.fail(plat::kErrorAccessDenied);
    }
    files_.writeFile(to, *bytes);
    files_.setAttributes(to, files_.attributes(full(source)) | plat::kFileAttributeArchive);
    return true;
}

bool SimFiles::DeleteFile(const std::string& path) {
    if (state_.enter("DeleteFileA")) return false;
    const std::string p = full(path);
    if (!files_.fileExists(p)) return state_.fail(plat::kErrorFileNotFound);
    if (files_.inUse(p)) return state_.fail(plat::kErrorSharingViolation);
    if (files_.attributes(p) & plat::kFileAttributeReadOnly) return state_.fail(plat::kErrorAccessDenied);
    if (!files_.removeFile(p)) return state_.fail(plat::kErrorAccessDenied);  // a read-only host file
    return true;
}

std::uint32_t SimFiles::GetFileAttributes(const std::string& path) {
    if (state_.enter("GetFileAttributesA")) return plat::kInvalidFileAttributes;
    const std::string p = full(path);
    if (files_.fileExists(p)) return files_.attributes(p);
    if (files_.directoryExists(p)) return plat::kFileAttributeDirectory;
    state_.lastError = plat::kErrorFileNotFound;
    return plat::kInvalidFileAttributes;
}

bool SimFiles::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    if (state_.enter("SetFileAttributesA")) return false;
    const std::string p = full(path);
    if (!files_.fileExists(p)) return state_.fail(plat::kErrorFileNotFound);
    files_.setAttributes(p, attributes);
    return true;
}

bool SimFiles::CreateDirectory(const std::string& path) {
    if (state_.enter("CreateDirectoryA")) return false;
    const std::string p = full(path);
    if (files_.directoryExists(p) || files_.fileExists(p)) return state_.fail(plat::kErrorAlreadyExists);
    if (!files_.directoryExists(parentOf(p))) return state_.fail(plat::kErrorPathNotFound);
    files_.makeDirectory(p);
    return true;
}

plat::FindHandle SimFiles::FindFirstFile(const std::string& pattern, std::string* name) {
    if (state_.enter("FindFirstFileA")) return 0;
    const std::string p = full(pattern);
    const std::string folder = parentOf(p);
    const std::string mask = p.substr(folder.size() + 1);
    if (!files_.directoryExists(folder)) {
        state_.lastError = plat::kErrorPathNotFound;
        return 0;
    }
    std::vector<std::string> matches;
    for (const auto& n : files_.list(folder))
        if (WildcardMatch(mask, n)) matches.push_back(n);
    if (matches.empty()) {
        state_.lastError = plat::kErrorFileNotFound;
        return 0;
    }
    *name = matches[0];
    plat::FindHandle h = next_++;
    searches_[h] = {matches, 1};
    return h;
}

bool SimFiles::FindNextFile(plat::FindHandle find, std::string* name) {
    if (state_.enter("FindNextFileA")) return false;
    auto it = searches_.find(find);
    if (it == searches_.end()) return state_.fail(plat::kErrorInvalidHandle);
    auto& [matches, at] = it->second;
    if (at >= matches.size()) return state_.fail(kErrorNoMoreFiles);
    *name = matches[at++];
    return true;
}

bool SimFiles::FindClose(plat::FindHandle find) {
    if (state_.enter("FindClose")) return false;
    if (!searches_.erase(find)) return state_.fail(plat::kErrorInvalidHandle);
    return true;
}

bool SimFiles::CanOpenExisting(const std::string& path) {
    if (state_.enter("CreateFileA")) return false;
    if (!files_.fileExists(full(path))) return state_.fail(plat::kErrorFileNotFound);
    return true;
}

bool SimFiles::ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) {
    bytes->clear();
    if (state_.enter("CreateFileA")) return false;
    const std::string p = full(path);
    auto content = files_.readFile(p);
    if (!content) return state_.fail(files_.directoryExists(p) ? plat::kErrorAccessDenied : plat::kErrorFileNotFound);
    if (content->size() > maxBytes) return state_.fail(kErrorFileTooLarge);
    if (state_.enter("ReadFile")) return false;
    *bytes = std::move(*content);
    return true;
}

std::uint32_t SimFiles::GetTempPath(std::uint32_t size, std::string* out) {
    out->clear();
    if (state_.enter("GetTempPathA")) return 0;
    const auto len = static_cast<std::uint32_t>(tempDir.size());
    if (len >= size) return len + 1;
    *out = tempDir;
    return len;
}

bool SimFiles::writeFile(const std::string& path, const std::string& bytes, bool append) {
    if (state_.enter("CreateFileA")) return false;
    const std::string p = full(path);
    if (files_.directoryExists(p)) return state_.fail(plat::kErrorAccessDenied);
    if (!files_.directoryExists(parentOf(p))) return state_.fail(plat::kErrorPathNotFound);
    const auto existing = files_.readFile(p);
    if (existing) {
        if (files_.inUse(p)) return state_.fail(plat::kErrorSharingViolation);
        if (files_.attributes(p) & plat::kFileAttributeReadOnly) return state_.fail(plat::kErrorAccessDenied);
    }
    // CREATE_ALWAYS empties the file and OPEN_ALWAYS makes it, before anything is written.
    const std::string before = append && existing ? *existing : std::string();
    files_.writeFile(p, before);
    if (state_.enter("WriteFile")) return false;
    files_.writeFile(p, before + bytes);
    return true;
}

bool SimFiles::WriteNewFile(const std::string& path, const std::string& bytes) { return writeFile(path, bytes, false); }

bool SimFiles::AppendToFile(const std::string& path, const std::string& bytes) { return writeFile(path, bytes, true); }

namespace {
const char kVersionMarker[] = "VS_VERSION_INFO FileVersion=";

std::optional<std::string> versionOf(const std::string& bytes) {
    auto at = bytes.find(kVersionMarker);
    if (at == std::string::npos) return std::nullopt;
    at += sizeof kVersionMarker - 1;
    auto end = bytes.find('\n', at);
    return bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
}
}  // namespace

std::string SimFiles::withVersion(const std::string& version, const std::string& body) {
    return body + "\n" + kVersionMarker + version + "\n";
}

std::uint32_t SimFiles::GetFileVersionInfoSize(const std::string& path) {
    if (state_.enter("GetFileVersionInfoSizeA")) return 0;
    auto bytes = files_.readFile(full(path));
    if (!bytes) {
        state_.lastError = plat::kErrorFileNotFound;
        return 0;
    }
    auto version = versionOf(*bytes);
    if (!version) {
        state_.lastError = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
        return 0;
    }
    return static_cast<std::uint32_t>(9 + version->size());
}

bool SimFiles::GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) {
    if (state_.enter("GetFileVersionInfoA")) return false;
    auto bytes = files_.readFile(full(path));
    auto version = bytes ? versionOf(*bytes) : std::nullopt;
    if (!version) return state_.fail(plat::kErrorFileNotFound);
    const std::string text = "040904b0|" + *version;
    if (size < text.size()) return state_.fail(plat::kErrorInsufficientBuffer);
    block->assign(text.begin(), text.end());
    return true;
}

bool SimFiles::VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                                   std::uint16_t* codePage) {
    if (state_.enter("VerQueryValueA")) return false;
    if (block.size() < 9) return false;
    const std::string text(block.begin(), block.end());
    *language = static_cast<std::uint16_t>(std::stoul(text.substr(0, 4), nullptr, 16));
    *codePage = static_cast<std::uint16_t>(std::stoul(text.substr(4, 4), nullptr, 16));
    return true;
}

bool SimFiles::VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock, std::string* value) {
    if (state_.enter("VerQueryValueA")) return false;
    const std::string text(block.begin(), block.end());
    if (text.size() < 9 || !equalsNoCase(subBlock, "\\StringFileInfo\\" + text.substr(0, 8) + "\\FileVersion"))
        return false;
    *value = text.substr(9);
    return true;
}

bool SimFiles::SetupIterateCabinet(const std::string& cabinet, const plat::CabinetCallback& callback) {
    if (state_.enter("SetupIterateCabinetA")) return false;
    auto bytes = files_.readFile(full(cabinet));
    if (!bytes) return state_.fail(plat::kErrorFileNotFound);
    std::size_t pos = 0;
    while (pos < bytes->size()) {
        std::size_t end = bytes->find('\n', pos);
        if (end == std::string::npos) end = bytes->size();
        const std::string line = bytes->substr(pos, end - pos);
        pos = end + 1;
        const auto bar = line.find('|');
        if (bar == std::string::npos) continue;
        plat::CabinetNotification n{plat::kSpFileNotifyFileInCabinet, line.substr(0, bar), std::string()};
        if (callback(n) != plat::kFileOpDoIt) continue;
        const std::string to = full(n.fullTargetName);
        if (!files_.directoryExists(parentOf(to))) return state_.fail(plat::kErrorPathNotFound);
        files_.writeFile(to, line.substr(bar + 1));
        plat::CabinetNotification done{plat::kSpFileNotifyFileExtracted, n.nameInCabinet, n.fullTargetName};
        callback(done);
    }
    return true;
}

}  // namespace sim
