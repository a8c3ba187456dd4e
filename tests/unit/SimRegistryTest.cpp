// The simulated registry: what the registry helpers and the uninstaller's clean-up are
// proven against, so it must refuse, size and redirect as Windows does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace {

using plat::RegKey;

std::vector<std::uint8_t> bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

struct SimRegistry : testing::Test {
    sim::SimMachine m;
    plat::RegistryApi& reg = m.platform().registry;

    RegKey create(RegKey root, const std::string& path, std::uint32_t access = plat::kKeyAllAccess,
                  std::uint32_t* disposition = nullptr) {
        RegKey k = 0;
        EXPECT_EQ(reg.RegCreateKeyEx(root, path, nullptr, 0, access, &k, disposition), 0) << path;
        return k;
    }
    RegKey open(RegKey root, const std::string& path, std::uint32_t access) {
        RegKey k = 0;
        EXPECT_EQ(reg.RegOpenKeyEx(root, path, 0, access, &k), 0) << path;
        return k;
    }
    long setString(RegKey k, const std::string& name, const std::string& text) {
        const std::string withNul(text.c_str(), text.size() + 1);
        return reg.RegSetValueEx(k, name, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(withNul.data()),
                                 static_cast<std::uint32_t>(withNul.size()));
    }
};

TEST_F(SimRegistry, KeyAndValueNamesIgnoreCaseAndKeysKeepTheirFirstSpelling) {
    RegKey k = create(plat::kHkeyCurrentUser, "Software\\Vendor\\App");
    ASSERT_EQ(setString(k, "InstallDir", "C:\\X"), 0);
    reg.RegCloseKey(k);

    RegKey again = open(plat::kHkeyCurrentUser, "SOFTWARE\\vendor\\APP", plat::kKeyRead);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(reg.RegQueryValueEx(again, "installdir", &type, nullptr, &size), 0);
    EXPECT_EQ(type, plat::kRegSz);
    EXPECT_EQ(size, 5u);
    // Writing under another spelling replaces the one value.
    reg.RegCloseKey(again);
    RegKey w = open(plat::kHkeyCurrentUser, "software\\VENDOR\\app", plat::kKeyAllAccess);
    ASSERT_EQ(setString(w, "INSTALLDIR", "D:\\Y\\Z"), 0);
    auto v = m.registry.peek("HKCU\\Software\\Vendor\\App", "InstallDir");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, bytes(std::string("D:\\Y\\Z", 7)));

    std::uint32_t disposition = 0;
    RegKey same = create(plat::kHkeyCurrentUser, "SOFTWARE\\VENDOR\\APP", plat::kKeyRead, &disposition);
    EXPECT_EQ(disposition, plat::kRegOpenedExistingKey);
    RegKey parent = open(plat::kHkeyCurrentUser, "software\\vendor", plat::kKeyRead);
    std::string name;
    ASSERT_EQ(reg.RegEnumKeyEx(parent, 0, &name), 0);
    EXPECT_EQ(name, "App");
    for (RegKey h : {w, same, parent}) reg.RegCloseKey(h);
}

TEST_F(SimRegistry, QueryValueSizeProtocol) {
    RegKey k = create(plat::kHkeyLocalMachine, "SYSTEM\\Test");
    ASSERT_EQ(setString(k, "Name", "hello"), 0);  // 6 bytes with its NUL
    ASSERT_EQ(reg.RegSetValueEx(k, "Empty", plat::kRegBinary, nullptr, 0), 0);

    // No buffer: the size needed, and the type.
    std::uint32_t type = 99, size = 1234;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, plat::kRegSz);
    // Neither buffer nor size: only whether the value exists.
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(reg.RegQueryValueEx(k, "Nope", nullptr, nullptr, nullptr), static_cast<long>(plat::kErrorFileNotFound));
    // A buffer without a size is a caller error.
    std::uint8_t buf[16];
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", nullptr, buf, nullptr), static_cast<long>(plat::kErrorInvalidParameter));

    // One byte short: 234 and the size needed, the type still reported.
    std::memset(buf, 0xCC, sizeof buf);
    size = 5;
    type = 0;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", &type, buf, &size), static_cast<long>(plat::kErrorMoreData));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, plat::kRegSz);
    // Exactly enough, and more than enough: the size becomes what was written.
    size = 6;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", nullptr, buf, &size), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 6), std::string("hello", 6));
    std::memset(buf, 0xCC, sizeof buf);
    size = sizeof buf;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Name", nullptr, buf, &size), 0);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buf[6], 0xCC);  // nothing written past the value

    // An empty value fits a zero-byte buffer.
    size = 0;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Empty", &type, buf, &size), 0);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(type, plat::kRegBinary);
    // A missing value leaves the size alone.
    size = 77;
    EXPECT_EQ(reg.RegQueryValueEx(k, "Missing", nullptr, buf, &size), static_cast<long>(plat::kErrorFileNotFound));
    EXPECT_EQ(size, 77u);
    reg.RegCloseKey(k);
}

TEST_F(SimRegistry, HandlesWithoutTheRightAccessAreRefused) {
    m.registry.poke("HKLM\\SOFTWARE\\Acme", "v", plat::kRegDword, {1, 0, 0, 0});
    const std::uint8_t two[4] = {2, 0, 0, 0};
    std::uint32_t size = 4;
    std::uint8_t out[4];

    RegKey readOnly = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyRead);
    EXPECT_EQ(reg.RegSetValueEx(readOnly, "v", plat::kRegDword, two, 4), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(reg.RegDeleteValue(readOnly, "v"), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(reg.RegQueryValueEx(readOnly, "v", nullptr, out, &size), 0);

    RegKey writeOnly = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyWrite);
    size = 4;
    EXPECT_EQ(reg.RegQueryValueEx(writeOnly, "v", nullptr, out, &size), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(reg.RegSetValueEx(writeOnly, "v", plat::kRegDword, two, 4), 0);

    RegKey queryBit = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyQueryValue);
    size = 4;
    EXPECT_EQ(reg.RegQueryValueEx(queryBit, "v", nullptr, out, &size), 0);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(reg.RegSetValueEx(queryBit, "v", plat::kRegDword, two, 4), static_cast<long>(plat::kErrorAccessDenied));

    // A view flag alone grants nothing.
    RegKey viewOnly = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyWow64_64Key);
    size = 4;
    EXPECT_EQ(reg.RegQueryValueEx(viewOnly, "v", nullptr, out, &size), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(reg.RegSetValueEx(viewOnly, "v", plat::kRegDword, two, 4), static_cast<long>(plat::kErrorAccessDenied));

    for (RegKey h : {readOnly, writeOnly, queryBit, viewOnly}) EXPECT_EQ(reg.RegCloseKey(h), 0);
    EXPECT_EQ(m.registry.peek("HKLM\\SOFTWARE\\Acme", "v")->data, (std::vector<std::uint8_t>{2, 0, 0, 0}));
}

TEST_F(SimRegistry, ThirtyTwoBitProgramOnSixtyFourBitWindowsSeesWow6432Node) {
    m.setWindows(sim::WindowsVersion::Win7, true);
    const std::uint8_t one[4] = {1, 0, 0, 0};

    RegKey redirected = create(plat::kHkeyLocalMachine, "SOFTWARE\\Acme\\Driver", plat::kKeyAllAccess);
    ASSERT_EQ(reg.RegSetValueEx(redirected, "Default", plat::kRegDword, one, 4), 0);
    EXPECT_TRUE(m.registry.peek("HKLM\\SOFTWARE\\Wow6432Node\\Acme\\Driver", "Default"));
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Acme"));

    RegKey real = create(plat::kHkeyLocalMachine, "Software\\Acme\\Driver", plat::kKeyAllAccess | plat::kKeyWow64_64Key);
    ASSERT_EQ(reg.RegSetValueEx(real, "Real", plat::kRegDword, one, 4), 0);
    EXPECT_TRUE(m.registry.peek("HKLM\\SOFTWARE\\Acme\\Driver", "Real"));
    EXPECT_FALSE(m.registry.peek("HKLM\\SOFTWARE\\Wow6432Node\\Acme\\Driver", "Real"));

    // Asking for the 32-bit view explicitly is the same as asking for nothing.
    RegKey explicit32 = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme\\Driver", plat::kKeyRead | plat::kKeyWow64_32Key);
    EXPECT_EQ(reg.RegQueryValueEx(explicit32, "Default", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(reg.RegQueryValueEx(explicit32, "Real", nullptr, nullptr, nullptr), static_cast<long>(plat::kErrorFileNotFound));

    // Naming Wow6432Node yourself does not nest it twice.
    RegKey named = open(plat::kHkeyLocalMachine, "SOFTWARE\\Wow6432Node\\Acme\\Driver", plat::kKeyRead);
    EXPECT_EQ(reg.RegQueryValueEx(named, "Default", nullptr, nullptr, nullptr), 0);
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node\\Wow6432Node"));

    // A subkey opened below HKLM\SOFTWARE lands in the same view as a full path would.
    RegKey software = open(plat::kHkeyLocalMachine, "SOFTWARE", plat::kKeyRead);
    RegKey child = open(software, "Acme\\Driver", plat::kKeyRead);
    EXPECT_EQ(reg.RegQueryValueEx(child, "Default", nullptr, nullptr, nullptr), 0);

    // Only HKLM\SOFTWARE is redirected.
    RegKey user = create(plat::kHkeyCurrentUser, "Software\\Acme", plat::kKeyAllAccess);
    ASSERT_EQ(reg.RegSetValueEx(user, "u", plat::kRegDword, one, 4), 0);
    EXPECT_TRUE(m.registry.peek("HKCU\\Software\\Acme", "u"));
    RegKey system = create(plat::kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Acme", plat::kKeyAllAccess);
    ASSERT_EQ(reg.RegSetValueEx(system, "s", plat::kRegDword, one, 4), 0);
    EXPECT_TRUE(m.registry.peek("HKLM\\SYSTEM\\CurrentControlSet\\Acme", "s"));
    // A key merely starting with "SOFTWARE" is not HKLM\SOFTWARE.
    RegKey lookalike = create(plat::kHkeyLocalMachine, "SOFTWAREX\\Acme", plat::kKeyAllAccess);
    EXPECT_TRUE(m.registry.keyExists("HKLM\\SOFTWAREX\\Acme"));

    // Deleting without a view flag removes the redirected copy only.
    for (RegKey h : {redirected, real, explicit32, named, software, child, user, system, lookalike})
        reg.RegCloseKey(h);
    EXPECT_EQ(reg.RegDeleteKey(plat::kHkeyLocalMachine, "SOFTWARE\\Acme\\Driver"), 0);
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node\\Acme\\Driver"));
    EXPECT_TRUE(m.registry.keyExists("HKLM\\SOFTWARE\\Acme\\Driver"));
}

// WOW64 picks the view on every call from that call's flag and the full path named: a
// key opened in the 64-bit view does not carry its view to the calls made relative to it.
// Only RegDeleteKeyExA can delete in the 64-bit view. (Not checked against Wine.)
TEST_F(SimRegistry, EachCallChoosesItsOwnViewAlsoBelowAKeyOfTheOtherView) {
    m.setWindows(sim::WindowsVersion::Win7, true);
    struct Case {
        const char* leaf;
        std::uint32_t flag;     // of the relative create
        const char* landsIn;    // real path the key reaches
    };
    const Case cases[] = {
        {"Plain", 0, "HKLM\\SOFTWARE\\Wow6432Node\\Acme\\Plain"},
        {"Flagged", plat::kKeyWow64_64Key, "HKLM\\SOFTWARE\\Acme\\Flagged"},
    };
    RegKey acme64 = create(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyAllAccess | plat::kKeyWow64_64Key);
    for (const Case& c : cases) {
        RegKey k = create(acme64, c.leaf, plat::kKeyAllAccess | c.flag);
        reg.RegCloseKey(k);
        EXPECT_TRUE(m.registry.keyExists(c.landsIn)) << c.leaf;
    }
    // RegDeleteKeyA relative to the 64-bit key still looks in Wow6432Node.
    EXPECT_EQ(reg.RegDeleteKey(acme64, "Flagged"), plat::kErrorFileNotFound);
    EXPECT_TRUE(m.registry.keyExists("HKLM\\SOFTWARE\\Acme\\Flagged"));
    plat::ModuleHandle advapi32 = m.process.LoadLibrary("advapi32.dll");
    plat::ProcAddress deleteEx = m.process.GetProcAddress(advapi32, "RegDeleteKeyExA");
    ASSERT_NE(deleteEx, 0u);
    EXPECT_EQ(reg.CallRegDeleteKeyEx(deleteEx, plat::kHkeyLocalMachine, "SOFTWARE\\Acme\\Flagged", plat::kKeyWow64_64Key), 0);
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Acme\\Flagged"));
    EXPECT_TRUE(m.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node\\Acme\\Plain"));
    reg.RegCloseKey(acme64);

    // 32-bit XP has no RegDeleteKeyExA to find.
    m.setWindows(sim::WindowsVersion::WinXP, false);
    EXPECT_EQ(m.process.GetProcAddress(m.process.LoadLibrary("advapi32.dll"), "RegDeleteKeyExA"), 0u);
}

TEST_F(SimRegistry, ThirtyTwoBitWindowsHasOneView) {
    m.setWindows(sim::WindowsVersion::WinXP, false);
    RegKey k = create(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyAllAccess);
    const std::uint8_t one[4] = {1, 0, 0, 0};
    ASSERT_EQ(reg.RegSetValueEx(k, "v", plat::kRegDword, one, 4), 0);
    EXPECT_TRUE(m.registry.peek("HKLM\\SOFTWARE\\Acme", "v"));
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node"));
    // The flag is accepted and changes nothing.
    RegKey flagged = open(plat::kHkeyLocalMachine, "SOFTWARE\\Acme", plat::kKeyRead | plat::kKeyWow64_64Key);
    EXPECT_EQ(reg.RegQueryValueEx(flagged, "v", nullptr, nullptr, nullptr), 0);
    reg.RegCloseKey(k);
    reg.RegCloseKey(flagged);
}

TEST_F(SimRegistry, HandlesMissingKeysAndDeletion) {
    reg.RegCloseKey(create(plat::kHkeyLocalMachine, "SOFTWARE\\Real"));
    RegKey k = 0x1234;
    EXPECT_EQ(reg.RegOpenKeyEx(plat::kHkeyLocalMachine, "SOFTWARE\\Nowhere\\Deeper", 0, plat::kKeyRead, &k),
              static_cast<long>(plat::kErrorFileNotFound));
    EXPECT_EQ(k, 0u);
    // A failed open leaves nothing behind, not even a trace the enumeration would meet.
    EXPECT_FALSE(m.registry.keyExists("HKLM\\SOFTWARE\\Nowhere"));
    RegKey software = open(plat::kHkeyLocalMachine, "SOFTWARE", plat::kKeyRead);
    std::string name;
    EXPECT_EQ(reg.RegEnumKeyEx(software, 0, &name), 0);
    EXPECT_EQ(name, "Real");
    EXPECT_EQ(reg.RegEnumKeyEx(software, 1, &name), static_cast<long>(plat::kErrorNoMoreItems));
    reg.RegCloseKey(software);
    EXPECT_EQ(reg.RegOpenKeyEx(0x4242, "x", 0, plat::kKeyRead, &k), static_cast<long>(plat::kErrorInvalidHandle));

    RegKey parent = create(plat::kHkeyCurrentUser, "Software\\P");
    RegKey child = create(plat::kHkeyCurrentUser, "Software\\P\\C");
    ASSERT_EQ(setString(child, "x", "1"), 0);
    // A key with subkeys stays.
    EXPECT_EQ(reg.RegDeleteKey(plat::kHkeyCurrentUser, "Software\\P"), static_cast<long>(plat::kErrorAccessDenied));
    EXPECT_EQ(reg.RegDeleteKey(parent, "c"), 0);
    EXPECT_EQ(reg.RegDeleteKey(parent, "c"), static_cast<long>(plat::kErrorFileNotFound));
    EXPECT_FALSE(m.registry.keyExists("HKCU\\Software\\P\\C"));
    // The handle to the deleted key is stale.
    std::uint32_t size = 0;
    EXPECT_EQ(reg.RegQueryValueEx(child, "x", nullptr, nullptr, &size), 1018);
    EXPECT_EQ(setString(child, "y", "2"), 1018);
    RegKey below = 0;
    EXPECT_EQ(reg.RegOpenKeyEx(child, "", 0, plat::kKeyRead, &below), 1018);
    // Recreating the key gives a fresh, empty one.
    RegKey again = create(plat::kHkeyCurrentUser, "Software\\P\\C");
    EXPECT_EQ(reg.RegQueryValueEx(again, "x", nullptr, nullptr, &size), static_cast<long>(plat::kErrorFileNotFound));
    // The hive itself cannot be deleted.
    EXPECT_EQ(reg.RegDeleteKey(plat::kHkeyCurrentUser, ""), static_cast<long>(plat::kErrorAccessDenied));

    EXPECT_EQ(reg.RegCloseKey(child), 0);
    EXPECT_EQ(reg.RegCloseKey(child), static_cast<long>(plat::kErrorInvalidHandle));
    EXPECT_EQ(reg.RegQueryValueEx(child, "x", nullptr, nullptr, &size), static_cast<long>(plat::kErrorInvalidHandle));
    EXPECT_EQ(reg.RegCloseKey(plat::kHkeyLocalMachine), 0);  // predefined keys close quietly
    reg.RegCloseKey(parent);
    reg.RegCloseKey(again);
    EXPECT_EQ(m.registry.openHandleCount(), 0u);
}

TEST_F(SimRegistry, EnumerationIsAlphabeticalWithoutRegardToCaseAndEnds) {
    for (const char* name : {"beta", "Alpha", "GAMMA", "delta"}) reg.RegCloseKey(create(plat::kHkeyLocalMachine, std::string("SYSTEM\\E\\") + name));
    RegKey e = open(plat::kHkeyLocalMachine, "SYSTEM\\E", plat::kKeyRead);
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; reg.RegEnumKeyEx(e, i, &name) == 0; ++i) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "delta", "GAMMA"}));
    EXPECT_EQ(reg.RegEnumKeyEx(e, 4, &name), static_cast<long>(plat::kErrorNoMoreItems));
    EXPECT_EQ(reg.RegEnumKeyEx(e, 0xFFFFFFFFu, &name), static_cast<long>(plat::kErrorNoMoreItems));
    reg.RegCloseKey(e);
}

}  // namespace
