// The simulated machine's disk: Windows paths matched without regard to case, files kept
// in memory, and host folders (the sample package) mapped read-only under a Windows path.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class SimFileSystem {
public:
    // Makes `hostFolder` visible as `windowsFolder` (e.g. "C:\PKG"), read-only.
    void mapHostFolder(const std::string& windowsFolder, const std::string& hostFolder);
    void writeFile(const std::string& path, const std::string& bytes);
    bool removeFile(const std::string& path);
    std::optional<std::string> readFile(const std::string& path) const;
    // Changes with every write, removal, mapping and redirection switch: a reader that saw
    // the same number before may keep what it read.
    std::uint64_t generation() const { return generation_; }
    bool fileExists(const std::string& path) const;
    // As seen by a 64-bit process (the spooler): no redirection.
    bool fileExistsNative(const std::string& path) const;
    std::optional<std::string> readFileNative(const std::string& path) const;

    // Folders: made explicitly, implied by the files under them, or mapped from the host.
    void makeDirectory(const std::string& path);
    bool directoryExists(const std::string& path) const;
    // Names (files and folders) directly inside `folder`, as stored.
    std::vector<std::string> list(const std::string& folder) const;

    // Every in-memory file (lower-case path) with its bytes and attributes, for comparing
    // two machines whole.
    std::vector<std::string> inventory() const;

    // Attributes of in-memory files (archive when never set).
    std::uint32_t attributes(const std::string& path) const;
    void setAttributes(const std::string& path, std::uint32_t attributes);
    // A file some process holds open: replacing or deleting it fails with 32.
    void setInUse(const std::string& path, bool inUse);
    bool inUse(const std::string& path) const;
    // Files a running service keeps open (the spooler's monitors and processors): asked
    // with the lower-case path a call reaches.
    std::function<bool(const std::string&)> heldByServices;

    // WOW64 file-system redirection: while on, "<windows>\system32" means "<windows>\SysWOW64".
    void setRedirection(bool wow64Process, bool enabled, const std::string& windowsDir);
    bool redirectionEnabled() const { return redirect_; }
    // Windows 7 and 2008 R2 leave system32\DriverStore alone; earlier versions redirect it.
    void setDriverStoreShared(bool shared) { driverStoreShared_ = shared; }

    // Absolute, normalised form of `path` seen from `currentDir` (".", ".." and "/" handled).
    static std::string fullPath(const std::string& path, const std::string& currentDir);
    // The path a call actually reaches, after redirection.
    std::string resolve(const std::string& absolutePath) const;

private:
    struct Mapping {
        std::string windowsFolder;  // normalised, no trailing backslash
        std::string hostFolder;
    };
    std::optional<std::string> hostPathFor(const std::string& resolved) const;

    std::string key(const std::string& path) const;
    std::map<std::string, std::string> files_;  // lower-case path -> bytes
    std::uint64_t generation_ = 0;
    std::map<std::string, std::string> names_;  // lower-case path -> path as written
    std::map<std::string, std::string> directories_;
    std::map<std::string, std::uint32_t> attributes_;
    std::map<std::string, bool> inUse_;
    std::vector<Mapping> mappings_;
    bool wow64_ = false;
    bool redirect_ = false;
    bool driverStoreShared_ = false;
    std::string windowsDir_ = "C:\\WINDOWS";
};

}  // namespace sim
