#include "platform/sim/SimProfile.h"

#include "platform/sim/IniFile.h"

namespace sim {

const IniFile* SimProfile::load(const char* api, const std::string& file) {
    // The calls cannot fail; an injected fault reads as an unreadable file.
    const bool unreadable = state_.enter(api) != 0;
    // A bare file name means the Windows folder; any other relative path, the current one.
    std::string path;
    if (file.find('\\') == std::string::npos && file.find('/') == std::string::npos)
        path = process_.windowsDir + "\\" + file;
    else
        path = SimFileSystem::fullPath(file, process_.currentDir);
    if (unreadable) return nullptr;
    // Readers ask one file for many keys in a row: the disk is read again only when
    // something on it changed, and the file parsed again only when its bytes did.
    Cached& cached = parsed_[path];
    if (!cached.read || cached.generation != files_.generation()) {
        auto bytes = files_.readFile(path);
        if (!cached.bytes || !bytes || *cached.bytes != *bytes) cached.ini = bytes ? IniFile::parse(*bytes) : IniFile();
        cached.bytes = std::move(bytes);
        cached.read = true;
        cached.generation = files_.generation();
    }
    return cached.bytes ? &cached.ini : nullptr;
}

std::string SimProfile::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& defaultValue, std::uint32_t size,
                                                const std::string& file) {
    return IniFile::getString(load("GetPrivateProfileStringA", file), section, key, defaultValue, size);
}

bool SimProfile::PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) {
    const IniFile* ini = load("GetPrivateProfileStringA", file);
    return ini && ini->sectionHasKeys(section);
}

unsigned SimProfile::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                          const std::string& file) {
    // The value is read as text and converted like the real call: leading blanks, an
    // optional sign, digits; no digits gives the default.
    const std::string text = GetPrivateProfileString(section, key, "", 256, file);
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return static_cast<unsigned>(defaultValue);
    unsigned value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + static_cast<unsigned>(text[i] - '0');
    return negative ? 0u - value : value;
}

std::string SimProfile::winIniPath() const { return process_.windowsDir + "\\win.ini"; }

bool SimProfile::WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                                    const std::optional<std::string>& value) {
    if (state_.enter("WriteProfileStringA")) return false;
    if (!section) return true;  // flushing the cache: nothing is cached here
    const std::string path = winIniPath();
    std::string text = files_.readFile(path).value_or("");
    files_.writeFile(path, IniFile::setValue(text, *section, key, value));
    return true;
}

std::string SimProfile::GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::uint32_t size) {
    return GetPrivateProfileString(section, key, defaultValue, size, winIniPath());
}

}  // namespace sim
