#include "platform/sim/SimProcess.h"

#include "platform/sim/SimText.h"

namespace sim {

namespace {
constexpr plat::ModuleHandle kModuleStep = 0x10000;

std::string baseName(const std::string& path) {
    auto p = path.find_last_of("\\/");
    return p == std::string::npos ? path : path.substr(p + 1);
}
std::string dirName(const std::string& path) {
    auto p = path.find_last_of("\\/");
    return p == std::string::npos ? std::string() : path.substr(0, p);
}
}  // namespace

void SimProcess::defineLibrary(const std::string& fileName, const std::vector<std::string>& exports) {
    if (Library* lib = libraryByName(fileName)) {
        lib->exports = exports;
        return;
    }
    libraries_.push_back({fileName, exports, 0});
}

void SimProcess::removeExport(const std::string& fileName, const std::string& procName) {
    if (Library* lib = libraryByName(fileName)) {
        for (auto it = lib->exports.begin(); it != lib->exports.end(); ++it)
            if (*it == procName) {
                lib->exports.erase(it);
                return;
            }
    }
}

void SimProcess::removeLibrary(const std::string& fileName) {
    // Entries keep their place so module handles of other libraries stay valid.
    if (Library* lib = libraryByName(fileName)) lib->fileName = "\x01removed";
}

SimProcess::Library* SimProcess::libraryByName(const std::string& nameOrPath) {
    std::string base = baseName(nameOrPath);
    if (base.find('.') == std::string::npos) base += ".dll";
    for (auto& lib : libraries_)
        if (equalsNoCase(lib.fileName, base)) return &lib;
    return nullptr;
}

int SimProcess::loadedLibraryCount() const {
    int n = 0;
    for (const auto& lib : libraries_) n += lib.loadCount;
    return n;
}

std::string SimProcess::procName(plat::ProcAddress fn) const {
    std::size_t lib = fn / kModuleStep;
    std::size_t idx = fn % kModuleStep;
    if (lib == 0 || lib > libraries_.size() || idx == 0) return std::string();
    const auto& exports = libraries_[lib - 1].exports;
    return idx <= exports.size() ? exports[idx - 1] : std::string();
}

std::uint32_t SimProcess::answerPath(const char* api, const std::string& value, std::uint32_t size,
                                     std::string* out, bool lengthWithNulWhenShort) {
    out->clear();
    if (state_.enter(api)) return 0;
    const auto len = static_cast<std::uint32_t>(value.size());
    if (len < size) {
        *out = value;
        return len;
    }
    if (lengthWithNulWhenShort) return len + 1;  // directory calls: the size needed, nothing copied
    // GetModuleFileName: cut to the buffer, reports the buffer size and error 122.
    *out = cutToBuffer(value, size);
    state_.lastError = plat::kErrorInsufficientBuffer;
    return size;
}

std::uint32_t SimProcess::GetModuleFileName(std::uint32_t size, std::string* out) {
    return answerPath("GetModuleFileNameA", imagePath, size, out, false);
}
std::uint32_t SimProcess::GetCurrentDirectory(std::uint32_t size, std::string* out) {
    return answerPath("GetCurrentDirectoryA", currentDir, size, out, true);
}
std::uint32_t SimProcess::GetSystemDirectory(std::uint32_t size, std::string* out) {
    return answerPath("GetSystemDirectoryA", systemDir(), size, out, true);
}
std::uint32_t SimProcess::GetWindowsDirectory(std::uint32_t size, std::string* out) {
    return answerPath("GetWindowsDirectoryA", windowsDir, size, out, true);
}

plat::MutexHandle SimProcess::CreateMutex(bool, const std::string& name) {
    if (state_.enter("CreateMutexA")) return 0;
    plat::Handle h = nextHandle_++;
    mutexHandles_[h] = name;
    state_.lastError = 0;
    if (!name.empty() && !mutexes_.insert(name).second) state_.lastError = plat::kErrorAlreadyExists;
    return h;
}

bool SimProcess::CloseHandle(plat::Handle handle) {
    if (state_.enter("CloseHandle")) return false;
    if (handle == 0) return state_.fail(plat::kErrorInvalidHandle);
    auto it = mutexHandles_.find(handle);
    if (it == mutexHandles_.end()) return true;  // tokens and other handles: nothing kept
    const std::string name = it->second;
    mutexHandles_.erase(it);
    // The name is free again once no handle of this process holds it and no other
    // process does.
    bool stillHeld = foreignMutexes_.count(name) != 0;
    for (const auto& m : mutexHandles_) stillHeld = stillHeld || m.second == name;
    if (!stillHeld) mutexes_.erase(name);
    return true;
}

bool SimProcess::FormatSystemMessage(std::uint32_t code, std::string* text) {
    if (state_.enter("FormatMessageA")) return false;
    static const std::pair<std::uint32_t, const char*> kTexts[] = {
        {2, "The system cannot find the file specified."},
        {3, "The system cannot find the path specified."},
        {5, "Access is denied."},
        {8, "Not enough storage is available to process this command."},
        {32, "The process cannot access the file because it is being used by another process."},
        {87, "The parameter is incorrect."},
        {122, "The data area passed to a system call is too small."},
        {126, "The specified module could not be found."},
        {1722, "The RPC server is unavailable."},
        {1796, "The specified port is unknown."},
        {1797, "The printer driver is unknown."},
        {1798, "The print processor is unknown."},
        {1801, "The printer name is invalid."},
        {1802, "The printer already exists."},
        {3000, "The specified print monitor is unknown."},
        {3001, "The specified printer driver is currently in use."},
        {3005, "The specified print processor has already been installed."},
        {3006, "The specified print monitor has already been installed."},
        {3008, "The requested operation is not allowed when there are jobs queued to the printer."},
    };
    for (const auto& [c, t] : kTexts)
        if (c == code) {
            *text = std::string(t) + "\r\n";
            return true;
        }
    state_.lastError = 317;  // ERROR_MR_MID_NOT_FOUND
    return false;
}

plat::ModuleHandle SimProcess::LoadLibrary(const std::string& fileName) {
    if (state_.enter("LoadLibraryA")) return 0;
    Library* lib = libraryByName(fileName);
    // A path must point at the folder that holds the library: the system folder for
    // system libraries, or a file that exists on the simulated disk.
    const std::string dir = dirName(fileName);
    if (lib && !dir.empty()) {
        const std::string full = SimFileSystem::fullPath(dir, currentDir);
        if (!equalsNoCase(full, systemDir()) && !files_.fileExists(SimFileSystem::fullPath(fileName, currentDir)))
            lib = nullptr;
    }
    if (!lib) {
        state_.lastError = plat::kErrorModNotFound;
        return 0;
    }
    ++lib->loadCount;
    return kModuleStep * static_cast<plat::ModuleHandle>((lib - libraries_.data()) + 1);
}

plat::ModuleHandle SimProcess::GetModuleHandle(const std::string& moduleName) {
    if (state_.enter("GetModuleHandleA")) return 0;
    Library* lib = libraryByName(moduleName);
    // ntdll and kernel32 are in every process; other libraries only once loaded.
    if (!lib || (lib->loadCount == 0 && !equalsNoCase(lib->fileName, "kernel32.dll") &&
                 !equalsNoCase(lib->fileName, "ntdll.dll"))) {
        state_.lastError = plat::kErrorModNotFound;
        return 0;
    }
    return kModuleStep * static_cast<plat::ModuleHandle>((lib - libraries_.data()) + 1);
}

plat::ProcAddress SimProcess::GetProcAddress(plat::ModuleHandle module, const std::string& procName) {
    if (state_.enter("GetProcAddress")) return 0;
    std::size_t idx = module / kModuleStep;
    if (module % kModuleStep || idx == 0 || idx > libraries_.size()) {
        state_.lastError = plat::kErrorInvalidHandle;
        return 0;
    }
    const auto& exports = libraries_[idx - 1].exports;
    for (std::size_t i = 0; i < exports.size(); ++i)
        if (exports[i] == procName) return module + i + 1;
    state_.lastError = plat::kErrorProcNotFound;
    return 0;
}

bool SimProcess::FreeLibrary(plat::ModuleHandle module) {
    if (state_.enter("FreeLibrary")) return false;
    std::size_t idx = module / kModuleStep;
    if (module % kModuleStep || idx == 0 || idx > libraries_.size() || libraries_[idx - 1].loadCount == 0)
        return state_.fail(plat::kErrorInvalidHandle);
    --libraries_[idx - 1].loadCount;
    return true;
}

}  // namespace sim
