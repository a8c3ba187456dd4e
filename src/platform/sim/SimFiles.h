// File calls on the simulated disk, with Windows' answers: 32 when the target is held
// open, 5 for a read-only target, 2 and 3 for what is missing. A simulated cabinet is a
// text file: one "name|content" line per file it holds.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileApi.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimFiles : public plat::FileApi {
public:
    SimFiles(SimState& state, SimFileSystem& files, SimProcess& process)
        : state_(state), files_(files), process_(process) {}

    std::string tempDir = "C:\\TEMP\\";
    static std::string makeCabinet(const std::vector<std::pair<std::string, std::string>>& contents);
    std::size_t openSearchCount() const { return searches_.size(); }

    bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) override;
    bool DeleteFile(const std::string& path) override;
    std::uint32_t GetFileAttributes(const std::string& path) override;
    bool SetFileAttributes(const std::string& path, std::uint32_t attributes) override;
    bool CreateDirectory(const std::string& path) override;
    plat::FindHandle FindFirstFile(const std::string& pattern, std::string* name) override;
    bool FindNextFile(plat::FindHandle find, std::string* name) override;
    bool FindClose(plat::FindHandle find) override;
    bool CanOpenExisting(const std::string& path) override;
    bool ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) override;
    std::uint32_t GetTempPath(std::uint32_t size, std::string* out) override;
    bool WriteNewFile(const std::string& path, const std::string& bytes) override;
    bool AppendToFile(const std::string& path, const std::string& bytes) override;
    std::uint32_t GetFileVersionInfoSize(const std::string& path) override;
    bool GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) override;
    bool VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                             std::uint16_t* codePage) override;
    bool VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                        std::string* value) override;
    bool SetupIterateCabinet(const std::string& cabinet, const plat::CabinetCallback& callback) override;

    // A simulated file carries its version resource in its bytes, so copies keep it.
    static std::string withVersion(const std::string& version, const std::string& body = "binary");

private:
    bool writeFile(const std::string& path, const std::string& bytes, bool append);
    std::string full(const std::string& path) const { return SimFileSystem::fullPath(path, process_.currentDir); }
    SimState& state_;
    SimFileSystem& files_;
    SimProcess& process_;
    std::map<plat::FindHandle, std::pair<std::vector<std::string>, std::size_t>> searches_;
    plat::FindHandle next_ = 0xF000;
};

// "*" and "?" matched without regard to case.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace sim
