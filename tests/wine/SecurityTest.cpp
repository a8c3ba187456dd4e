// Token groups and SIDs: how the programs decide the user is an administrator.
#include <gtest/gtest.h>

#include "WineTestSupport.h"
#include "platform/win32/WindowsHeaders.h"

using namespace plat;
using winetest::Real;

namespace {

SecurityApi& security() { return Real().security; }

Sid Administrators() {
    Sid sid;
    EXPECT_TRUE(security().AllocateAndInitializeSid(
        kSecurityNtAuthority, {kSecurityBuiltinDomainRid, kDomainAliasRidAdmins}, &sid));
    return sid;
}

TEST(Win32Security, ThreadWithoutImpersonationHasNoToken) {
    Real().process.SetLastError(0);
    EXPECT_EQ(0u, security().OpenThreadToken(kTokenQuery, true));
    EXPECT_EQ(kErrorNoToken, Real().process.GetLastError());
}

TEST(Win32Security, SidIsCopiedOutInItsBinaryLayout) {
    // S-1-5-32-544: revision, count, authority (big-endian), sub-authorities (little-endian).
    const Sid expected = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
    EXPECT_EQ(expected, Administrators());

    Sid users;
    ASSERT_TRUE(security().AllocateAndInitializeSid(kSecurityNtAuthority,
                                                    {kSecurityBuiltinDomainRid, 545}, &users));
    EXPECT_TRUE(security().EqualSid(Administrators(), expected));
    EXPECT_FALSE(security().EqualSid(Administrators(), users));

    Sid tooMany;
    EXPECT_FALSE(security().AllocateAndInitializeSid(kSecurityNtAuthority,
                                                     {1, 2, 3, 4, 5, 6, 7, 8, 9}, &tooMany));
}

TEST(Win32Security, MalformedSidsAreNeverEqual) {
    Sid admins = Administrators();
    Sid cut(admins.begin(), admins.end() - 1);
    EXPECT_FALSE(security().EqualSid(admins, cut));
    EXPECT_FALSE(security().EqualSid(Sid{}, Sid{}));
}

TEST(Win32Security, ProcessTokenGroupsNeedASizeProbeAndIncludeAdministrators) {
    TokenHandle token = security().OpenProcessToken(kTokenQuery);
    ASSERT_NE(0u, token) << "error " << Real().process.GetLastError();

    std::vector<TokenGroup> groups;
    std::uint32_t needed = 0;
    Real().process.SetLastError(0);
    EXPECT_FALSE(security().GetTokenGroups(token, 0, &groups, &needed));
    EXPECT_EQ(kErrorInsufficientBuffer, Real().process.GetLastError());
    ASSERT_GT(needed, 4u);

    std::uint32_t again = 0;
    ASSERT_TRUE(security().GetTokenGroups(token, needed, &groups, &again));
    ASSERT_FALSE(groups.empty());
    bool admin = false;
    for (const TokenGroup& group : groups) {
        ASSERT_GE(group.sid.size(), 8u);
        EXPECT_EQ(1, group.sid[0]) << "SID revision";
        EXPECT_EQ(8u + 4u * group.sid[1], group.sid.size());
        if (security().EqualSid(group.sid, Administrators()))
            admin = (group.attributes & kSeGroupUseForDenyOnly) == 0;
    }
    // Wine runs everything as an administrator, as Windows 2000 and XP usually did.
    EXPECT_TRUE(admin);

    // Every group of the raw list comes out, in order, with its attributes.
    std::vector<DWORD> raw(needed / sizeof(DWORD) + 1);
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(reinterpret_cast<HANDLE>(token), TokenGroups, raw.data(),
                                    needed, &size));
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(raw.data());
    ASSERT_EQ(list->GroupCount, groups.size());
    for (DWORD i = 0; i < list->GroupCount; ++i) {
        const auto* bytes = static_cast<const std::uint8_t*>(list->Groups[i].Sid);
        EXPECT_EQ(Sid(bytes, bytes + GetLengthSid(list->Groups[i].Sid)), groups[i].sid) << i;
        EXPECT_EQ(list->Groups[i].Attributes, groups[i].attributes) << i;
    }
    EXPECT_TRUE(Real().process.CloseHandle(token));
}

}  // namespace
