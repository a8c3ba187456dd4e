// Profile reading on the simulated disk.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/ProfileApi.h"
#include "platform/sim/IniFile.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimProfile : public plat::ProfileApi {
public:
    SimProfile(SimState& state, SimFileSystem& files, SimProcess& process)
        : state_(state), files_(files), process_(process) {}

    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, std::uint32_t size,
                                        const std::string& file) override;
    bool PrivateProfileSectionHasKeys(const std::string& section, const std::string& file) override;
    unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                  const std::string& file) override;
    bool WriteProfileString(const std::optional<std::string>& section, const std::optional<std::string>& key,
                            const std::optional<std::string>& value) override;
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size) override;
    std::string winIniPath() const;

private:
    // The parsed file, or null when it cannot be read (a fault counts as unreadable).
    const IniFile* load(const char* api, const std::string& file);
    struct Cached {
        bool read = false;
        std::uint64_t generation = 0;        // the disk's when it was read
        std::optional<std::string> bytes;    // none: no such file
        IniFile ini;
    };
    std::map<std::string, Cached> parsed_;
    SimState& state_;
    SimFileSystem& files_;
    SimProcess& process_;
};

}  // namespace sim
