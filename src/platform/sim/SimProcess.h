// The simulated running program: its image path, folders, named mutexes and the libraries
// (with their exported functions) it can load at run time.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ProcessApi.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimProcess : public plat::ProcessApi {
public:
    SimProcess(SimState& state, SimFileSystem& files) : state_(state), files_(files) {}

    std::string imagePath = "C:\\PKG\\setup.exe";
    std::string currentDir = "C:\\PKG";
    std::string windowsDir = "C:\\WINDOWS";
    std::string systemDir() const { return windowsDir + "\\system32"; }

    // A library the process can load, by file name, with the functions it exports.
    void defineLibrary(const std::string& fileName, const std::vector<std::string>& exports);
    void removeExport(const std::string& fileName, const std::string& procName);
    // The library is no longer there: loading it fails with 126.
    void removeLibrary(const std::string& fileName);
    // The name of the function behind a ProcAddress handed out by GetProcAddress ("" if none).
    std::string procName(plat::ProcAddress fn) const;
    // Mutexes other processes already hold.
    void addForeignMutex(const std::string& name) {
        mutexes_.insert(name);
        foreignMutexes_.insert(name);
    }
    int loadedLibraryCount() const;

    std::uint32_t GetLastError() override { return state_.lastError; }
    void SetLastError(std::uint32_t error) override { state_.lastError = error; }
    std::uint32_t GetModuleFileName(std::uint32_t size, std::string* out) override;
    std::uint32_t GetCurrentDirectory(std::uint32_t size, std::string* out) override;
    std::uint32_t GetSystemDirectory(std::uint32_t size, std::string* out) override;
    std::uint32_t GetWindowsDirectory(std::uint32_t size, std::string* out) override;
    plat::MutexHandle CreateMutex(bool initialOwner, const std::string& name) override;
    bool CloseHandle(plat::Handle handle) override;
    bool FormatSystemMessage(std::uint32_t code, std::string* text) override;
    plat::ModuleHandle LoadLibrary(const std::string& fileName) override;
    plat::ModuleHandle GetModuleHandle(const std::string& moduleName) override;
    plat::ProcAddress GetProcAddress(plat::ModuleHandle module, const std::string& procName) override;
    bool FreeLibrary(plat::ModuleHandle module) override;
    // What the program wrote to its standard error; without the handle (a program started
    // without a console or redirection) the call fails as on Windows.
    bool hasStandardError = true;
    std::string standardError;
    bool WriteStandardError(const std::string& text) override {
        if (state_.enter("WriteFile")) return false;
        if (!hasStandardError) return state_.fail(plat::kErrorInvalidHandle);
        standardError += text;
        return true;
    }

private:
    struct Library {
        std::string fileName;
        std::vector<std::string> exports;
        int loadCount = 0;
    };
    Library* libraryByName(const std::string& nameOrPath);
    std::uint32_t answerPath(const char* api, const std::string& value, std::uint32_t size,
                             std::string* out, bool lengthWithNulWhenShort);

    SimState& state_;
    SimFileSystem& files_;
    std::vector<Library> libraries_;  // module handle = 0x10000 * (index + 1)
    std::set<std::string> mutexes_;
    std::set<std::string> foreignMutexes_;
    std::map<plat::Handle, std::string> mutexHandles_;
    plat::Handle nextHandle_ = 0x9000;
};

}  // namespace sim
