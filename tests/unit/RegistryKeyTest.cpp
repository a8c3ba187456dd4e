#include <gtest/gtest.h>

#include "config/RegistryKey.h"
#include "TestMachine.h"

using namespace cfg;
using testing_support::TestMachine;

TEST(RegistryKey, AccessMasksOfBothPrograms) {
    EXPECT_EQ(RegistryKey::AccessMask(Program::Setup, false), 0xF003Fu);
    EXPECT_EQ(RegistryKey::AccessMask(Program::Setup, true), 0x2011Fu);
    EXPECT_EQ(RegistryKey::AccessMask(Program::Uninstall, false), 0xF003Fu);
    EXPECT_EQ(RegistryKey::AccessMask(Program::Uninstall, true), 0xF003Fu);
}

TEST(RegistryKey, ClosedObjectAnswersFalseWithoutCallingWindows) {
    TestMachine t;
    RegistryKey key(t.p, Program::Setup, false);
    const auto before = t.machine.faults.callCount();
    std::uint32_t v = 0;
    EXPECT_FALSE(key.Close());
    EXPECT_FALSE(key.QueryDword("x", &v));
    EXPECT_FALSE(key.SetDword("x", 1));
    EXPECT_FALSE(key.SetString("x", "y"));
    EXPECT_EQ(t.machine.faults.callCount(), before);
}

TEST(RegistryKey, SecondOpenClosesTheFirstAndAFailedOpenLeavesItClosed) {
    TestMachine t;
    t.machine.registry.poke("HKLM\\SOFTWARE\\A", "v", plat::kRegDword, {7, 0, 0, 0});
    RegistryKey key(t.p, Program::Setup, false);
    ASSERT_TRUE(key.Open(plat::kHkeyLocalMachine, "SOFTWARE\\A"));
    ASSERT_TRUE(key.Open(plat::kHkeyLocalMachine, "SOFTWARE\\A"));
    EXPECT_EQ(t.machine.registry.openHandleCount(), 1u);
    EXPECT_FALSE(key.Open(plat::kHkeyLocalMachine, "SOFTWARE\\Missing"));
    EXPECT_EQ(key.lastError(), plat::kErrorFileNotFound);
    EXPECT_FALSE(key.isOpen());
    EXPECT_EQ(t.machine.registry.openHandleCount(), 0u);
}

TEST(RegistryKey, TypedWritesNoteTheirSizeAndRoundTrip) {
    TestMachine t;
    RegistryKey key(t.p, Program::Setup, false);
    ASSERT_TRUE(OpenOrCreate(key, t.p, Program::Setup, false, plat::kHkeyLocalMachine, "SOFTWARE\\TARVEKO\\X"));
    std::uint32_t error = 99;
    EXPECT_TRUE(key.SetDword("PORTNAME", 0x01020304, &error));
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(key.valueSize(), 4);
    std::uint32_t read = 0;
    EXPECT_TRUE(key.QueryDword("portname", &read));
    EXPECT_EQ(read, 0x01020304u);
    EXPECT_TRUE(key.SetString("EMPTY", ""));
    EXPECT_EQ(key.valueSize(), 2000);
    auto v = t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\X", "EMPTY");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, plat::kRegSz);
    EXPECT_EQ(v->data, std::vector<std::uint8_t>{0}) << "the empty text is one NUL byte";
    EXPECT_FALSE(key.QueryDword("NOPE", &read, &error));
    EXPECT_EQ(error, plat::kErrorFileNotFound);
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.Close());
}

TEST(RegistryKey, SetupWritesThe64BitViewAndUninstallTheDefaultView) {
    TestMachine t;
    t.machine.setWindows(sim::WindowsVersion::Win7, true);
    {
        RegistryKey key(t.p, Program::Setup, true);
        ASSERT_TRUE(OpenOrCreate(key, t.p, Program::Setup, true, plat::kHkeyLocalMachine, "SOFTWARE\\TARVEKO\\S"));
        key.SetDword("v", 1);
    }
    {
        RegistryKey key(t.p, Program::Uninstall, true);
        ASSERT_TRUE(OpenOrCreate(key, t.p, Program::Uninstall, true, plat::kHkeyLocalMachine, "SOFTWARE\\TARVEKO\\U"));
        key.SetDword("v", 1);
    }
    EXPECT_TRUE(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\S", "v"));
    EXPECT_FALSE(t.machine.registry.peek("HKLM\\SOFTWARE\\Wow6432Node\\TARVEKO\\S", "v"));
    EXPECT_TRUE(t.machine.registry.peek("HKLM\\SOFTWARE\\Wow6432Node\\TARVEKO\\U", "v"));
    EXPECT_FALSE(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\U", "v"));
    EXPECT_EQ(t.machine.registry.openHandleCount(), 0u) << "keys close when the object goes";
}

TEST(RegistryKey, FailedSecondOpenMeansNothingIsWritten) {
    TestMachine t;
    t.machine.faults.failCall("RegOpenKeyExA", plat::kErrorAccessDenied);
    RegistryKey key(t.p, Program::Setup, false);
    EXPECT_FALSE(OpenOrCreate(key, t.p, Program::Setup, false, plat::kHkeyLocalMachine, "SOFTWARE\\TARVEKO\\Z"));
    EXPECT_FALSE(key.SetDword("v", 1));
    EXPECT_EQ(key.lastError(), plat::kErrorAccessDenied);
    EXPECT_TRUE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\TARVEKO\\Z")) << "the create went through";
    EXPECT_FALSE(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\Z", "v"));
}
