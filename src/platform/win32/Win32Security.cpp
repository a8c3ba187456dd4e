#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <vector>

namespace plat {

namespace {
Sid CopySid(PSID sid) {
    const auto* bytes = static_cast<const std::uint8_t*>(sid);
    return Sid(bytes, bytes + ::GetLengthSid(sid));
}

// EqualSid reads as many sub-authorities as the SID claims to have; a vector shorter than
// that would be read past its end.
bool HoldsWholeSid(const Sid& sid) {
    return sid.size() >= 8 && sid.size() >= 8 + 4u * sid[1];
}
}  // namespace

TokenHandle Win32SecurityApi::OpenThreadToken(std::uint32_t access, bool openAsSelf) {
    HANDLE token = nullptr;
    if (!::OpenThreadToken(::GetCurrentThread(), access, openAsSelf ? TRUE : FALSE, &token))
        return 0;
    return reinterpret_cast<TokenHandle>(token);
}

TokenHandle Win32SecurityApi::OpenProcessToken(std::uint32_t access) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), access, &token)) return 0;
    return reinterpret_cast<TokenHandle>(token);
}

bool Win32SecurityApi::GetTokenGroups(TokenHandle token, std::uint32_t bufferSize,
                                      std::vector<TokenGroup>* groups, std::uint32_t* needed) {
    // DWORD-sized elements keep TOKEN_GROUPS suitably aligned.
    std::vector<DWORD> buffer(bufferSize / sizeof(DWORD) + 1);
    DWORD returned = 0;
    BOOL ok = ::GetTokenInformation(reinterpret_cast<HANDLE>(token), TokenGroups,
                                    bufferSize ? buffer.data() : nullptr, bufferSize, &returned);
    if (needed) *needed = returned;
    if (!ok) return false;
    if (groups) {
        const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
        groups->clear();
        for (DWORD i = 0; i < list->GroupCount; ++i)
            groups->push_back(TokenGroup{CopySid(list->Groups[i].Sid), list->Groups[i].Attributes});
    }
    return true;
}

bool Win32SecurityApi::AllocateAndInitializeSid(const std::uint8_t authority[6],
                                                const std::vector<std::uint32_t>& subAuthorities,
                                                Sid* sid) {
    SID_IDENTIFIER_AUTHORITY identifier;
    for (int i = 0; i < 6; ++i) identifier.Value[i] = authority[i];
    DWORD values[8] = {};
    for (std::size_t i = 0; i < subAuthorities.size() && i < 8; ++i) values[i] = subAuthorities[i];
    // A count above 8 is passed on (capped to what fits a BYTE) for the call to refuse.
    BYTE count = static_cast<BYTE>(subAuthorities.size() > 255 ? 255 : subAuthorities.size());
    PSID allocated = nullptr;
    if (!::AllocateAndInitializeSid(&identifier, count, values[0], values[1], values[2], values[3],
                                    values[4], values[5], values[6], values[7], &allocated))
        return false;
    if (sid) *sid = CopySid(allocated);
    ::FreeSid(allocated);
    return true;
}

bool Win32SecurityApi::EqualSid(const Sid& a, const Sid& b) {
    if (!HoldsWholeSid(a) || !HoldsWholeSid(b)) {
        ::SetLastError(ERROR_INVALID_SID);
        return false;
    }
    Sid left = a, right = b;
    return ::EqualSid(left.data(), right.data()) != FALSE;
}

}  // namespace plat

namespace plat {

TokenHandle Win32SecurityApi::OpenProcessTokenToAdjust() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return 0;
    return reinterpret_cast<TokenHandle>(token);
}

bool Win32SecurityApi::LookupPrivilegeValue(const std::string& name, std::uint64_t* luid) {
    LUID value;
    if (!::LookupPrivilegeValueA(nullptr, name.c_str(), &value)) return false;
    *luid = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(value.HighPart)) << 32) | value.LowPart;
    return true;
}

bool Win32SecurityApi::EnablePrivilege(TokenHandle token, std::uint64_t luid) {
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = static_cast<DWORD>(luid & 0xFFFFFFFFu);
    privileges.Privileges[0].Luid.HighPart = static_cast<LONG>(luid >> 32);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // The caller tells "enabled" from "not held" by the last error after a successful call.
    // Windows sets it either way; cleared first all the same, so that an error left over
    // from an earlier call can never pass for ERROR_NOT_ALL_ASSIGNED.
    ::SetLastError(ERROR_SUCCESS);
    return ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

}  // namespace plat
