// The running process: its file name, folders, last error, named mutexes and the
// libraries it loads at run time.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

class ProcessApi {
public:
    virtual ~ProcessApi() = default;
    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t error) = 0;

    // The *Directory and module-name calls follow the Windows contract: the answer is
    // the length written (0 on failure); a buffer that is too small is reported the way
    // the real call reports it and `out` then holds what the call would have left.
    virtual std::uint32_t GetModuleFileName(std::uint32_t size, std::string* out) = 0;
    virtual std::uint32_t GetCurrentDirectory(std::uint32_t size, std::string* out) = 0;
    virtual std::uint32_t GetSystemDirectory(std::uint32_t size, std::string* out) = 0;
    virtual std::uint32_t GetWindowsDirectory(std::uint32_t size, std::string* out) = 0;

    // Sets last error 183 when the mutex already existed (the handle is still valid).
    virtual MutexHandle CreateMutex(bool initialOwner, const std::string& name) = 0;
    virtual bool CloseHandle(Handle handle) = 0;

    // FormatMessageA(FROM_SYSTEM | IGNORE_INSERTS, language 0x400): false when the system
    // has no text for the code.
    virtual bool FormatSystemMessage(std::uint32_t code, std::string* text) = 0;

    virtual ModuleHandle LoadLibrary(const std::string& fileName) = 0;
    virtual ModuleHandle GetModuleHandle(const std::string& moduleName) = 0;
    virtual ProcAddress GetProcAddress(ModuleHandle module, const std::string& procName) = 0;
    virtual bool FreeLibrary(ModuleHandle module) = 0;

    // GetStdHandle(STD_ERROR_HANDLE) and WriteFile. A program without a console usually
    // has no such handle: false then, and nothing is written.
    virtual bool WriteStandardError(const std::string& text) = 0;
};

}  // namespace plat
