// Files and folders: copies, attributes, searches, the temporary folder and the SetupAPI
// cabinet iteration the universal-driver files come out of.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace plat {

using FindHandle = Handle;

enum : std::uint32_t {
    kFileAttributeReadOnly = 0x01,
    kFileAttributeHidden = 0x02,
    kFileAttributeSystem = 0x04,
    kFileAttributeDirectory = 0x10,
    kFileAttributeArchive = 0x20,
    kInvalidFileAttributes = 0xFFFFFFFFu,
    // SetupIterateCabinet notifications and answers
    kSpFileNotifyFileInCabinet = 0x11,
    kSpFileNotifyNeedNewCabinet = 0x12,
    kSpFileNotifyFileExtracted = 0x13,
    kFileOpDoIt = 1,
    kFileOpSkip = 2,
};

// One notification of the cabinet iteration: for a file in the cabinet, `nameInCabinet`
// is its name and the callback sets `fullTargetName` to where it goes.
struct CabinetNotification {
    std::uint32_t notification = 0;
    std::string nameInCabinet;
    std::string fullTargetName;
};
using CabinetCallback = std::function<std::uint32_t(CabinetNotification&)>;

class FileApi {
public:
    virtual ~FileApi() = default;
    virtual bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    virtual std::uint32_t GetFileAttributes(const std::string& path) = 0;
    virtual bool SetFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
    // FindFirstFileA: 0 when nothing matches (last error 2 or 18); `name` is the file name only.
    virtual FindHandle FindFirstFile(const std::string& pattern, std::string* name) = 0;
    virtual bool FindNextFile(FindHandle find, std::string* name) = 0;
    virtual bool FindClose(FindHandle find) = 0;
    // CreateFileA(no access, share read and write, OPEN_EXISTING) and CloseHandle: only
    // "does it open".
    virtual bool CanOpenExisting(const std::string& path) = 0;
    // CreateFileA(read, share read, OPEN_EXISTING), GetFileSize, ReadFile and CloseHandle:
    // every byte of the file as it is; false (with the last error) when it cannot be opened
    // or not all of it could be read, and with ERROR_FILE_TOO_LARGE (223) when it holds more
    // than `maxBytes`, before anything is allocated for it.
    virtual bool ReadWholeFile(const std::string& path, std::uint32_t maxBytes, std::string* bytes) = 0;
    virtual std::uint32_t GetTempPath(std::uint32_t size, std::string* out) = 0;
    // CreateFileA(write, no sharing, CREATE_ALWAYS), WriteFile and CloseHandle: the file
    // holds exactly `bytes` afterwards; false (with the last error) when it cannot be made
    // or not all of it could be written.
    virtual bool WriteNewFile(const std::string& path, const std::string& bytes) = 0;
    // CreateFileA(write, share read, OPEN_ALWAYS), SetFilePointer to the end, WriteFile and
    // CloseHandle: `bytes` added at the end of the file, which is made when missing.
    virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
    // Version resources: the size (0 without one), the block, the first translation and a
    // string of "\StringFileInfo\<lang><cp>\<name>".
    virtual std::uint32_t GetFileVersionInfoSize(const std::string& path) = 0;
    virtual bool GetFileVersionInfo(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* block) = 0;
    virtual bool VerQueryTranslation(const std::vector<std::uint8_t>& block, std::uint16_t* language,
                                     std::uint16_t* codePage) = 0;
    virtual bool VerQueryString(const std::vector<std::uint8_t>& block, const std::string& subBlock,
                                std::string* value) = 0;
    virtual bool SetupIterateCabinet(const std::string& cabinet, const CabinetCallback& callback) = 0;
};

}  // namespace plat
