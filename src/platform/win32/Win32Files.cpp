#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <cstring>

namespace plat {

namespace {

struct CabinetContext {
    const CabinetCallback* callback;
};

UINT CALLBACK cabinetFilter(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
    const CabinetCallback& callback = *static_cast<CabinetContext*>(context)->callback;
    CabinetNotification n;
    n.notification = notification;
    if (notification == SPFILENOTIFY_FILEINCABINET) {
        auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
        n.nameInCabinet = info->NameInCabinet ? info->NameInCabinet : "";
        const UINT answer = callback(n);
        std::strncpy(info->FullTargetName, n.fullTargetName.c_str(), MAX_PATH - 1);
        info->FullTargetName[MAX_PATH - 1] = '\0';
        return answer;
    }
    return callback(n);
}

}  // namespace

bool Win32FileApi::CopyFile(const std::string& source, const std::string& target, bool failIfExists) {
    return ::CopyFileA(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32FileApi::DeleteFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

std::uint32_t Win32FileApi::GetFileAttributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool Win32FileApi::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32FileApi::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

FindHandle Win32FileApi::FindFirstFile(const std::string& pattern, std::string* name) {
    WIN32_FIND_DATAA data;
    HANDLE h = ::FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return 0;
    *name = data.cFileName;
    return reinterpret_cast<FindHandle>(h);
}

bool Win32FileApi::FindNextFile(FindHandle find, std::string* name) {
    WIN32_FIND_DATAA data;
    if (!::FindNextFileA(reinterpret_cast<HANDLE>(find), &data)) return false;
    *name = data.cFileName;
    return true;
}

bool Win32FileApi::FindClose(FindHandle find) { return ::FindClose(reinterpret_cast<HANDLE>(find)) != FALSE; }

bool Win32FileApi::CanOpenExisting(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

bool Win32FileApi::ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) {
    bytes->clear();
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD error = NO_ERROR;
    DWORD high = 0;
    const DWORD size = ::GetFileSize(h, &high);
    if (size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR)
        error = ::GetLastError();
    else if (high != 0 || size > maxBytes)
        error = ERROR_FILE_TOO_LARGE;
    if (error == NO_ERROR) {
        bytes->resize(size);
        DWORD done = 0;
        while (error == NO_ERROR && done < size) {
            DWORD got = 0;
            if (!::ReadFile(h, &(*bytes)[done], size - done, &got, nullptr))
                error = ::GetLastError();
            else if (got == 0)  // the file became shorter while it was read
                error = ERROR_HANDLE_EOF;
            done += got;
        }
    }
    ::CloseHandle(h);
    if (error == NO_ERROR) return true;
    bytes->clear();
    ::SetLastError(error);
    return false;
}

std::uint32_t Win32FileApi::GetTempPath(std::uint32_t size, std::string* out) {
    std::vector<char> buffer(size + 1u, '\0');
    const DWORD n = ::GetTempPathA(size, buffer.data());
    out->assign(buffer.data(), n < size ? n : 0);
    return n;
}

namespace {

// Writes all of `bytes` to an open file and closes it; the first error is kept.
bool writeAllAndClose(HANDLE h, const std::string& bytes) {
    DWORD error = NO_ERROR;
    DWORD done = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    while (error == NO_ERROR && done < size) {
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data() + done, size - done, &written, nullptr))
            error = ::GetLastError();
        else if (written == 0)
            error = ERROR_WRITE_FAULT;
        done += written;
    }
    ::CloseHandle(h);
    if (error == NO_ERROR) return true;
    ::SetLastError(error);
    return false;
}

}  // namespace

bool Win32FileApi::WriteNewFile(const std::string& path, const std::string& bytes) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    return writeAllAndClose(h, bytes);
}

bool Win32FileApi::AppendToFile(const std::string& path, const std::string& bytes) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    if (::SetFilePointer(h, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        ::SetLastError(error);
        return false;
    }
    return writeAllAndClose(h, bytes);
}

std::uint32_t Win32FileApi::GetFileVersionInfoSize(const std::string& path) {
    DWORD handle = 0;
    return ::GetFileVersionInfoSizeA(path.c_str(), &handle);
}

bool Win32FileApi::GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) {
    block->assign(size, 0);
    return ::GetFileVersionInfoA(path.c_str(), 0, size, block->data()) != FALSE;
}

bool Win32FileApi::VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                                       std::uint16_t* codePage) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(const_cast<std::uint8_t*>(block.data()), "\\VarFileInfo\\Translation", &value, &length) ||
        length < 4)
        return false;
    const auto* pair = static_cast<const WORD*>(value);
    *language = pair[0];
    *codePage = pair[1];
    return true;
}

bool Win32FileApi::VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                                  std::string* value) {
    void* text = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(const_cast<std::uint8_t*>(block.data()), subBlock.c_str(), &text, &length) || !text)
        return false;
    *value = static_cast<const char*>(text);
    return true;
}

bool Win32FileApi::SetupIterateCabinet(const std::string& cabinet, const CabinetCallback& callback) {
    CabinetContext context{&callback};
    return ::SetupIterateCabinetA(cabinet.c_str(), 0, cabinetFilter, &context) != FALSE;
}

}  // namespace plat
