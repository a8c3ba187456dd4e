// Windows values the core passes to and receives from the platform, spelled out here so
// that the portable core compiles without <windows.h>.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

using Handle = std::uintptr_t;  // 0 is "no handle" for every kind below
using RegKey = Handle;
using ScHandle = Handle;
using WindowHandle = Handle;
using ModuleHandle = Handle;
using ProcAddress = Handle;
using TokenHandle = Handle;
using MutexHandle = Handle;
using Sid = std::vector<std::uint8_t>;  // binary SID as Windows lays it out

// The parameters of one CreateFontA call, for the window code to make a font from.
struct FontParameters {
    int height, width, escapement, orientation, weight;
    bool italic, underline, strikeOut;
    unsigned charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
    const char* faceName;  // ANSI bytes of the font's code page
};

// Error numbers (winerror.h)
enum : std::uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorSharingViolation = 32,
    kErrorInvalidParameter = 87,
    kErrorInsufficientBuffer = 122,
    kErrorModNotFound = 126,
    kErrorProcNotFound = 127,
    kErrorAlreadyExists = 183,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorNoToken = 1008,
    kErrorServiceRequestTimeout = 1053,
    kErrorServiceAlreadyRunning = 1056,
    kErrorServiceDisabled = 1058,
    kErrorServiceDoesNotExist = 1060,
    kErrorServiceCannotAcceptCtrl = 1061,
    kErrorServiceNotActive = 1062,
};

// Registry
constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;

enum : std::uint32_t {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kKeyCreateSubKey = 0x0004,
    kKeyEnumerateSubKeys = 0x0008,
    kKeyNotify = 0x0010,
    kKeyCreateLink = 0x0020,
    kKeyWow64_64Key = 0x0100,
    kKeyWow64_32Key = 0x0200,
    kKeyRead = 0x20019,
    kKeyWrite = 0x20006,
    kKeyAllAccess = 0xF003F,
    kRegOptionNonVolatile = 0,
    kRegCreatedNewKey = 1,
    kRegOpenedExistingKey = 2,
};

enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// Version and system information
enum : std::uint32_t {
    kPlatformWin32s = 0,
    kPlatformWindows = 1,  // 95, 98, Me
    kPlatformNt = 2,
};
enum : std::uint8_t {
    kNtWorkstation = 1,
    kNtDomainController = 2,
    kNtServer = 3,
};
enum : std::uint16_t {
    kArchIntel = 0,
    kArchIa64 = 6,
    kArchAmd64 = 9,
    kArchArm64 = 12,
};
// Machine codes of IsWow64Process2.
enum : std::uint16_t {
    kMachineUnknown = 0,
    kMachineI386 = 0x014C,
    kMachineAmd64 = 0x8664,
    kMachineArm64 = 0xAA64,
};

struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion;
    // Filled only by the extended (OSVERSIONINFOEXA) form.
    std::uint16_t servicePackMajor = 0;
    std::uint16_t servicePackMinor = 0;
    std::uint16_t suiteMask = 0;
    std::uint8_t productType = 0;
};

struct SystemInfo {
    std::uint16_t processorArchitecture = 0;
    std::uint32_t numberOfProcessors = 0;
};

// Service control
enum : std::uint32_t {
    kScManagerAllAccess = 0xF003F,
    kServiceQueryStatus = 0x0004,
    kServiceStart = 0x0010,
    kServiceStop = 0x0020,
    kServiceAllAccess = 0xF01FF,
    kServiceControlStop = 1,
    kServiceStopped = 1,
    kServiceStartPending = 2,
    kServiceStopPending = 3,
    kServiceRunning = 4,
};

struct ServiceStatus {
    std::uint32_t serviceType = 0;
    std::uint32_t currentState = 0;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

// Security
enum : std::uint32_t {
    kTokenQuery = 0x0008,
    kSecurityBuiltinDomainRid = 32,
    kDomainAliasRidAdmins = 544,
    kSeGroupUseForDenyOnly = 0x10,
};
constexpr std::uint8_t kSecurityNtAuthority[6] = {0, 0, 0, 0, 0, 5};

struct TokenGroup {
    Sid sid;
    std::uint32_t attributes = 0;
};

// Message boxes
enum : std::uint32_t {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconHand = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconExclamation = 0x30,
    kMbIconAsterisk = 0x40,
    kMbIconMask = 0xF0,
    kMbTypeMask = 0x0F,
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
    kMbIconInformation = 0x40,
    kWmWinIniChange = 0x001A,
    kSmtoNormal = 0x0000,
};

}  // namespace plat
