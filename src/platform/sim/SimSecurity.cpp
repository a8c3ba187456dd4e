#include "platform/sim/SimSecurity.h"

namespace sim {

plat::Sid SimSecurity::makeSid(const std::uint8_t authority[6], const std::vector<std::uint32_t>& subs) {
    plat::Sid sid;
    sid.reserve(8 + 4 * subs.size());
    sid.push_back(1);
    sid.push_back(static_cast<std::uint8_t>(subs.size()));
    for (int i = 0; i < 6; ++i) sid.push_back(authority[i]);
    for (std::uint32_t s : subs)
        for (int i = 0; i < 4; ++i) sid.push_back(static_cast<std::uint8_t>(s >> (8 * i)));
    return sid;
}

plat::Sid SimSecurity::administratorsSid() {
    return makeSid(plat::kSecurityNtAuthority, {plat::kSecurityBuiltinDomainRid, plat::kDomainAliasRidAdmins});
}

plat::Sid SimSecurity::usersSid() { return makeSid(plat::kSecurityNtAuthority, {32, 545}); }

void SimSecurity::setUser(bool administrator, bool denyOnly) {
    static const std::uint8_t world[6] = {0, 0, 0, 0, 0, 1};
    groups.clear();
    groups.push_back({makeSid(world, {0}), 7});
    groups.push_back({usersSid(), 7});
    if (administrator) groups.push_back({administratorsSid(), denyOnly ? plat::kSeGroupUseForDenyOnly : 0xFu});
}

std::uint32_t SimSecurity::groupsSize() const {
    std::uint32_t size = 4;
    for (const auto& g : groups) size += 8 + static_cast<std::uint32_t>(g.sid.size());
    return size;
}

plat::TokenHandle SimSecurity::OpenThreadToken(std::uint32_t, bool) {
    if (state_.enter("OpenThreadToken")) return 0;
    if (!threadHasToken) {
        state_.lastError = plat::kErrorNoToken;
        return 0;
    }
    return 0x7001;
}

plat::TokenHandle SimSecurity::OpenProcessToken(std::uint32_t) {
    if (state_.enter("OpenProcessToken")) return 0;
    return 0x7002;
}

bool SimSecurity::GetTokenGroups(plat::TokenHandle token, std::uint32_t bufferSize,
                                 std::vector<plat::TokenGroup>* out, std::uint32_t* needed) {
    if (state_.enter("GetTokenInformation")) return false;
    if (token != 0x7001 && token != 0x7002) return state_.fail(plat::kErrorInvalidHandle);
    *needed = groupsSize();
    if (bufferSize < *needed) return state_.fail(plat::kErrorInsufficientBuffer);
    *out = groups;
    return true;
}

bool SimSecurity::AllocateAndInitializeSid(const std::uint8_t authority[6],
                                           const std::vector<std::uint32_t>& subAuthorities, plat::Sid* sid) {
    if (state_.enter("AllocateAndInitializeSid")) return false;
    *sid = makeSid(authority, subAuthorities);
    return true;
}

plat::TokenHandle SimSecurity::OpenProcessTokenToAdjust() {
    if (state_.enter("OpenProcessToken")) return 0;
    return 0x7003;
}

bool SimSecurity::LookupPrivilegeValue(const std::string& name, std::uint64_t* luid) {
    if (state_.enter("LookupPrivilegeValueA")) return false;
    if (name != "SeShutdownPrivilege") return state_.fail(1313);  // ERROR_NO_SUCH_PRIVILEGE
    *luid = 19;
    return true;
}

bool SimSecurity::EnablePrivilege(plat::TokenHandle token, std::uint64_t luid) {
    if (state_.enter("AdjustTokenPrivileges")) return false;
    if (token != 0x7003) return state_.fail(plat::kErrorInvalidHandle);
    // A privilege the token does not hold is no failure of the call: it succeeds, and only
    // the last error tells that nothing was enabled.
    if (luid != 19 || !mayShutDown) {
        state_.lastError = 1300;  // ERROR_NOT_ALL_ASSIGNED
        return true;
    }
    shutdownPrivilegeEnabled = true;
    state_.lastError = 0;
    return true;
}

bool SimSecurity::EqualSid(const plat::Sid& a, const plat::Sid& b) { return a == b; }

}  // namespace sim
