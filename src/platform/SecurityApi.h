// Access tokens and SIDs, enough to ask whether the user belongs to a group.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/WinTypes.h"

namespace plat {

class SecurityApi {
public:
    virtual ~SecurityApi() = default;
    // 0 on failure, with the reason in the last error (1008 when the thread has no token).
    virtual TokenHandle OpenThreadToken(std::uint32_t access, bool openAsSelf) = 0;
    virtual TokenHandle OpenProcessToken(std::uint32_t access) = 0;
    // GetTokenInformation(TokenGroups): with bufferSize too small it fails with 122 and
    // sets *needed; otherwise it fills `groups`.
    virtual bool GetTokenGroups(TokenHandle token, std::uint32_t bufferSize,
                                std::vector<TokenGroup>* groups, std::uint32_t* needed) = 0;
    virtual bool AllocateAndInitializeSid(const std::uint8_t authority[6],
                                          const std::vector<std::uint32_t>& subAuthorities,
                                          Sid* sid) = 0;
    virtual bool EqualSid(const Sid& a, const Sid& b) = 0;

    // The shutdown right: OpenProcessToken(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY),
    // LookupPrivilegeValueA and AdjustTokenPrivileges for one enabled privilege.
    virtual TokenHandle OpenProcessTokenToAdjust() = 0;
    virtual bool LookupPrivilegeValue(const std::string& name, std::uint64_t* luid) = 0;
    // AdjustTokenPrivileges answers as Windows does: false only when the call itself fails.
    // A privilege the token does not hold still answers true, with the last error
    // ERROR_NOT_ALL_ASSIGNED (1300); the privilege is enabled only when the answer is true
    // and the last error, read at once, is 0.
    virtual bool EnablePrivilege(TokenHandle token, std::uint64_t luid) = 0;
};

}  // namespace plat
