#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <cstring>
#include <vector>

namespace plat {

namespace {
// Runs one of the "fill this buffer of N characters" calls and keeps what it left in the
// buffer. Depending on the Windows version a short buffer is left cut without a terminator
// (XP module names), cut with one (Vista and later) or untouched (directories), so the text
// is measured inside the buffer instead of trusting the returned count.
template <typename Call>
std::uint32_t FillBuffer(std::uint32_t size, std::string* out, Call call) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD length = call(buffer.data(), size);
    if (out) out->assign(buffer.data(), strnlen(buffer.data(), size));
    return length;
}
}  // namespace

std::uint32_t Win32ProcessApi::GetLastError() { return ::GetLastError(); }

void Win32ProcessApi::SetLastError(std::uint32_t error) { ::SetLastError(error); }

std::uint32_t Win32ProcessApi::GetModuleFileName(std::uint32_t size, std::string* out) {
    return FillBuffer(size, out, [](char* b, DWORD n) { return ::GetModuleFileNameA(nullptr, b, n); });
}

std::uint32_t Win32ProcessApi::GetCurrentDirectory(std::uint32_t size, std::string* out) {
    return FillBuffer(size, out, [](char* b, DWORD n) { return ::GetCurrentDirectoryA(n, b); });
}

std::uint32_t Win32ProcessApi::GetSystemDirectory(std::uint32_t size, std::string* out) {
    return FillBuffer(size, out, [](char* b, DWORD n) { return ::GetSystemDirectoryA(b, n); });
}

std::uint32_t Win32ProcessApi::GetWindowsDirectory(std::uint32_t size, std::string* out) {
    return FillBuffer(size, out, [](char* b, DWORD n) { return ::GetWindowsDirectoryA(b, n); });
}

MutexHandle Win32ProcessApi::CreateMutex(bool initialOwner, const std::string& name) {
    return reinterpret_cast<MutexHandle>(
        ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.c_str()));
}

bool Win32ProcessApi::CloseHandle(Handle handle) {
    return ::CloseHandle(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

ModuleHandle Win32ProcessApi::LoadLibrary(const std::string& fileName) {
    return reinterpret_cast<ModuleHandle>(::LoadLibraryA(fileName.c_str()));
}

ModuleHandle Win32ProcessApi::GetModuleHandle(const std::string& moduleName) {
    return reinterpret_cast<ModuleHandle>(::GetModuleHandleA(moduleName.c_str()));
}

ProcAddress Win32ProcessApi::GetProcAddress(ModuleHandle module, const std::string& procName) {
    return reinterpret_cast<ProcAddress>(
        ::GetProcAddress(reinterpret_cast<HMODULE>(module), procName.c_str()));
}

bool Win32ProcessApi::FreeLibrary(ModuleHandle module) {
    return ::FreeLibrary(reinterpret_cast<HMODULE>(module)) != FALSE;
}

bool Win32ProcessApi::WriteStandardError(const std::string& text) {
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return ::WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE &&
           written == text.size();
}

}  // namespace plat

namespace plat {

bool Win32ProcessApi::FormatSystemMessage(std::uint32_t code, std::string* text) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        0x400, reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer) return false;
    text->assign(buffer, length);
    ::LocalFree(buffer);
    return true;
}

}  // namespace plat
