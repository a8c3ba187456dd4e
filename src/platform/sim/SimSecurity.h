// The simulated user's access token.
#pragma once
#include <vector>

#include "platform/SecurityApi.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimSecurity : public plat::SecurityApi {
public:
    explicit SimSecurity(SimState& state) : state_(state) {}

    static plat::Sid makeSid(const std::uint8_t authority[6], const std::vector<std::uint32_t>& subs);
    static plat::Sid administratorsSid();
    static plat::Sid usersSid();

    std::vector<plat::TokenGroup> groups;  // the token's groups
    bool threadHasToken = false;           // impersonating: the thread has a token of its own

    // Convenience: an ordinary user, an administrator, or a UAC-filtered administrator
    // whose Administrators entry is only there for deny.
    void setUser(bool administrator, bool denyOnly = false);

    plat::TokenHandle OpenThreadToken(std::uint32_t access, bool openAsSelf) override;
    plat::TokenHandle OpenProcessToken(std::uint32_t access) override;
    bool GetTokenGroups(plat::TokenHandle token, std::uint32_t bufferSize,
                        std::vector<plat::TokenGroup>* out, std::uint32_t* needed) override;
    bool AllocateAndInitializeSid(const std::uint8_t authority[6],
                                  const std::vector<std::uint32_t>& subAuthorities,
                                  plat::Sid* sid) override;
    bool EqualSid(const plat::Sid& a, const plat::Sid& b) override;
    plat::TokenHandle OpenProcessTokenToAdjust() override;
    bool LookupPrivilegeValue(const std::string& name, std::uint64_t* luid) override;
    bool EnablePrivilege(plat::TokenHandle token, std::uint64_t luid) override;

    bool mayShutDown = true;          // the token holds the shutdown privilege (disabled until enabled)
    bool shutdownPrivilegeEnabled = false;

private:
    std::uint32_t groupsSize() const;
    SimState& state_;
};

}  // namespace sim
