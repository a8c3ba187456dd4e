// The registry wrapper against the real registry, above all the two views a 32-bit program
// sees on 64-bit Windows: the installer writes driver and uninstall keys into one of them
// on purpose, and a wrong flag there leaves a key nobody finds.
#include <gtest/gtest.h>

#include <cstring>

#include "WineTestSupport.h"

using namespace plat;
using winetest::Real;

namespace {

const std::string kRoot = "SOFTWARE\\KlmWineTests";

class RegistryTest : public ::testing::Test {
protected:
    RegistryApi& reg = Real().registry;

    void SetUp() override {
        auto wow64 = winetest::ExpectedWow64();
        if (!wow64) GTEST_SKIP() << "KLM_EXPECT_WOW64 not set";
        wow64_ = *wow64;
        name_ = winetest::UniqueName("key");
    }

    // Creates kRoot\<name> with `access` (which may carry a view flag) and one value in it.
    void CreateKeyWithValue(std::uint32_t viewFlag, const std::string& value) {
        RegKey key = 0;
        std::uint32_t disposition = 0;
        ASSERT_EQ(0, reg.RegCreateKeyEx(kHkeyLocalMachine, Path(), nullptr, kRegOptionNonVolatile,
                                        kKeyAllAccess | viewFlag, &key, &disposition));
        EXPECT_EQ(kRegCreatedNewKey, disposition);
        SetString(key, "Marker", value);
        EXPECT_EQ(0, reg.RegCloseKey(key));
    }

    void SetString(RegKey key, const std::string& name, const std::string& value) {
        ASSERT_EQ(0, reg.RegSetValueEx(key, name, kRegSz,
                                       reinterpret_cast<const std::uint8_t*>(value.c_str()),
                                       static_cast<std::uint32_t>(value.size() + 1)));
    }

    // Opens `path` with `viewFlag` and returns the Marker value, or the error as "error N".
    std::string ReadMarker(const std::string& path, std::uint32_t viewFlag) {
        RegKey key = 0;
        long status = reg.RegOpenKeyEx(kHkeyLocalMachine, path, 0, kKeyRead | viewFlag, &key);
        if (status != 0) return "error " + std::to_string(status);
        std::uint8_t data[64] = {};
        std::uint32_t size = sizeof data, type = 0;
        status = reg.RegQueryValueEx(key, "Marker", &type, data, &size);
        reg.RegCloseKey(key);
        if (status != 0) return "value error " + std::to_string(status);
        return reinterpret_cast<const char*>(data);
    }

    std::string Path() const { return kRoot + "\\" + name_; }
    std::string RedirectedPath() const { return "SOFTWARE\\Wow6432Node\\KlmWineTests\\" + name_; }

    bool wow64_ = false;
    std::string name_;
};

TEST_F(RegistryTest, KeyCreatedInThe64BitViewIsHiddenFromThe32BitView) {
    CreateKeyWithValue(kKeyWow64_64Key, "64");
    EXPECT_EQ("64", ReadMarker(Path(), kKeyWow64_64Key));
    if (wow64_) {
        EXPECT_EQ("error 2", ReadMarker(Path(), 0));
        EXPECT_EQ("error 2", ReadMarker(Path(), kKeyWow64_32Key));
        EXPECT_EQ("error 2", ReadMarker(RedirectedPath(), kKeyWow64_64Key));
    } else {
        // One registry only: the flags make no difference.
        EXPECT_EQ("64", ReadMarker(Path(), 0));
        EXPECT_EQ("64", ReadMarker(Path(), kKeyWow64_32Key));
    }
}

TEST_F(RegistryTest, KeyCreatedWithoutFlagLandsUnderWow6432Node) {
    CreateKeyWithValue(0, "32");
    EXPECT_EQ("32", ReadMarker(Path(), 0));
    EXPECT_EQ("32", ReadMarker(Path(), kKeyWow64_32Key));
    if (wow64_) {
        EXPECT_EQ("error 2", ReadMarker(Path(), kKeyWow64_64Key));
        EXPECT_EQ("32", ReadMarker(RedirectedPath(), kKeyWow64_64Key));
    } else {
        EXPECT_EQ("32", ReadMarker(Path(), kKeyWow64_64Key));
        EXPECT_EQ("error 2", ReadMarker(RedirectedPath(), 0));
    }
}

TEST_F(RegistryTest, ValueSizesAreReportedTheWayTheCallReportsThem) {
    RegKey key = 0;
    ASSERT_EQ(0, reg.RegCreateKeyEx(kHkeyLocalMachine, Path(), nullptr, kRegOptionNonVolatile,
                                    kKeyAllAccess, &key, nullptr));
    SetString(key, "Text", "hello");

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(0, reg.RegQueryValueEx(key, "Text", &type, nullptr, &size));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(6u, size);

    std::uint8_t small[3] = {};
    size = sizeof small;
    EXPECT_EQ(234, reg.RegQueryValueEx(key, "Text", &type, small, &size));
    EXPECT_EQ(6u, size);

    std::uint8_t data[16] = {};
    size = sizeof data;
    EXPECT_EQ(0, reg.RegQueryValueEx(key, "Text", &type, data, &size));
    EXPECT_EQ(6u, size);
    EXPECT_STREQ("hello", reinterpret_cast<const char*>(data));

    const std::uint32_t number = 0x01020304;
    ASSERT_EQ(0, reg.RegSetValueEx(key, "Number", kRegDword,
                                   reinterpret_cast<const std::uint8_t*>(&number), 4));
    std::uint32_t read = 0;
    size = sizeof read;
    EXPECT_EQ(0, reg.RegQueryValueEx(key, "Number", &type,
                                     reinterpret_cast<std::uint8_t*>(&read), &size));
    EXPECT_EQ(kRegDword, type);
    EXPECT_EQ(number, read);

    EXPECT_EQ(0, reg.RegDeleteValue(key, "Text"));
    EXPECT_EQ(2, reg.RegQueryValueEx(key, "Text", &type, nullptr, &size));
    EXPECT_EQ(2, reg.RegDeleteValue(key, "Text"));
    EXPECT_EQ(0, reg.RegCloseKey(key));
}

TEST_F(RegistryTest, SubkeysAreEnumeratedCreatedAgainAndDeleted) {
    RegKey parent = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(0, reg.RegCreateKeyEx(kHkeyLocalMachine, Path(), nullptr, kRegOptionNonVolatile,
                                    kKeyAllAccess, &parent, &disposition));
    EXPECT_EQ(kRegCreatedNewKey, disposition);
    for (const char* child : {"Alpha", "Beta"}) {
        RegKey key = 0;
        ASSERT_EQ(0, reg.RegCreateKeyEx(parent, child, nullptr, kRegOptionNonVolatile,
                                        kKeyAllAccess, &key, &disposition));
        EXPECT_EQ(kRegCreatedNewKey, disposition);
        reg.RegCloseKey(key);
    }
    RegKey again = 0;
    ASSERT_EQ(0, reg.RegCreateKeyEx(parent, "alpha", nullptr, kRegOptionNonVolatile, kKeyAllAccess,
                                    &again, &disposition));
    EXPECT_EQ(kRegOpenedExistingKey, disposition) << "key names ignore case";
    reg.RegCloseKey(again);

    std::string name;
    EXPECT_EQ(0, reg.RegEnumKeyEx(parent, 0, &name));
    std::string first = name;
    EXPECT_EQ(0, reg.RegEnumKeyEx(parent, 1, &name));
    EXPECT_EQ("AlphaBeta", first < name ? first + name : name + first);
    EXPECT_EQ(259, reg.RegEnumKeyEx(parent, 2, &name));

    // Windows refuses to delete a key that still has subkeys; the installer relies on
    // deleting leaves first.
    EXPECT_EQ(5, reg.RegDeleteKey(kHkeyLocalMachine, Path()));
    EXPECT_EQ(0, reg.RegDeleteKey(parent, "Alpha"));
    EXPECT_EQ(2, reg.RegDeleteKey(parent, "Alpha"));
    EXPECT_EQ(0, reg.RegDeleteKey(parent, "Beta"));
    EXPECT_EQ(0, reg.RegCloseKey(parent));
    EXPECT_EQ(0, reg.RegDeleteKey(kHkeyLocalMachine, Path()));

    RegKey gone = 0;
    EXPECT_EQ(2, reg.RegOpenKeyEx(kHkeyLocalMachine, Path(), 0, kKeyRead, &gone));
    EXPECT_EQ(0u, gone);
}

}  // namespace
