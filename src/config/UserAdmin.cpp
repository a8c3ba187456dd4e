#include "config/UserAdmin.h"

namespace cfg {

bool IsUserAdmin(plat::Platform& p) {
    plat::TokenHandle token = p.security.OpenThreadToken(plat::kTokenQuery, false);
    if (!token) {
        if (p.process.GetLastError() != plat::kErrorNoToken) return false;
        token = p.security.OpenProcessToken(plat::kTokenQuery);
        if (!token) return false;
    }
    bool isAdmin = false;
    std::uint32_t needed = 0;
    std::vector<plat::TokenGroup> groups;
    if (!p.security.GetTokenGroups(token, 0, &groups, &needed) &&
        p.process.GetLastError() == plat::kErrorInsufficientBuffer &&
        p.security.GetTokenGroups(token, needed, &groups, &needed)) {
        plat::Sid admins;
        if (p.security.AllocateAndInitializeSid(
                plat::kSecurityNtAuthority, {plat::kSecurityBuiltinDomainRid, plat::kDomainAliasRidAdmins}, &admins)) {
            for (const auto& g : groups)
                if (p.security.EqualSid(g.sid, admins)) isAdmin = true;
        }
    }
    p.process.CloseHandle(token);
    return isAdmin;
}

}  // namespace cfg
