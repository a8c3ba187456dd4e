#include "platform/sim/SimProfile.h"

#include "platform/sim/IniFile.h"

namespace sim {

std::string SimProfile::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& defaultValue, std::uint32_t size,
                                                const std::string& file) {
    // The call cannot fail; an injected fault reads as an unreadable file.
    const bool unreadable = state_.enter("GetPrivateProfileStringA") != 0;
    // A bare file name means the Windows folder; any other relative path, the current one.
    std::string path;
    if (file.find('\\') == std::string::npos && file.find('/') == std::string::npos)
        path = process_.windowsDir + "\\" + file;
    else
        path = SimFileSystem::fullPath(file, process_.currentDir);
    auto bytes = unreadable ? std::nullopt : files_.readFile(path);
    if (!bytes) return IniFile::getString(nullptr, section, key, defaultValue, size);
    IniFile ini = IniFile::parse(*bytes);
    return IniFile::getString(&ini, section, key, defaultValue, size);
}

}  // namespace sim
