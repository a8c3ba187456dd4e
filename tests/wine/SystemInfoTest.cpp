// Version record, processor architecture and the WOW64 calls, under each Windows version
// the harness sets the prefix to.
#include <gtest/gtest.h>

#include <map>

#include "WineTestSupport.h"
#include "platform/win32/WindowsHeaders.h"

using namespace plat;
using winetest::Real;

namespace {

struct ReportedVersion {
    std::uint32_t major, minor, build;
    std::uint8_t productType;
};

// What Wine reports for each name `winecfg -v` accepts.
const std::map<std::string, ReportedVersion>& WineVersions() {
    static const std::map<std::string, ReportedVersion> versions = {
        {"win2k", {5, 0, 2195, kNtWorkstation}},   {"winxp", {5, 1, 2600, kNtWorkstation}},
        {"winxp64", {5, 2, 3790, kNtWorkstation}}, {"win2003", {5, 2, 3790, kNtServer}},
        {"vista", {6, 0, 6002, kNtWorkstation}},   {"win2008", {6, 0, 6002, kNtServer}},
        {"win7", {6, 1, 7601, kNtWorkstation}},    {"win2008r2", {6, 1, 7601, kNtServer}},
    };
    return versions;
}

TEST(Win32SystemInfo, VersionRecordIsTheConfiguredWindows) {
    const std::string name = winetest::ExpectedOs();
    auto found = WineVersions().find(name);
    if (found == WineVersions().end()) GTEST_SKIP() << "KLM_EXPECT_OS '" << name << "' unknown";
    const ReportedVersion& expected = found->second;

    OsVersionInfo info;
    ASSERT_TRUE(Real().system.GetVersionEx(&info, true));
    EXPECT_EQ(expected.major, info.majorVersion);
    EXPECT_EQ(expected.minor, info.minorVersion);
    EXPECT_EQ(expected.build, info.buildNumber & 0xFFFF);
    EXPECT_EQ(kPlatformNt, info.platformId);
    EXPECT_EQ(expected.productType, info.productType);
    EXPECT_EQ("Service Pack " + std::to_string(info.servicePackMajor), info.csdVersion)
        << "the service pack number and its text agree";

    OsVersionInfo basic;
    ASSERT_TRUE(Real().system.GetVersionEx(&basic, false));
    EXPECT_EQ(info.majorVersion, basic.majorVersion);
    EXPECT_EQ(info.minorVersion, basic.minorVersion);
    EXPECT_EQ(info.csdVersion, basic.csdVersion);
    EXPECT_EQ(0, basic.productType) << "the short record has no product type";
}

// Both prefixes run our 32-bit code; only the 64-bit one runs it under WOW64.
class Wow64Test : public ::testing::Test {
protected:
    ProcessApi& process = Real().process;
    SystemInfoApi& system = Real().system;
    ModuleHandle kernel = 0;
    bool wow64 = false;

    void SetUp() override {
        auto expected = winetest::ExpectedWow64();
        if (!expected) GTEST_SKIP() << "KLM_EXPECT_WOW64 not set";
        wow64 = *expected;
        kernel = process.GetModuleHandle("kernel32.dll");
        ASSERT_NE(0u, kernel);
    }

    ProcAddress Find(const char* name) {
        ProcAddress fn = process.GetProcAddress(kernel, name);
        EXPECT_NE(0u, fn) << name << " missing from kernel32";
        return fn;
    }

    // The machine field of a PE file's header: 0x14C for x86, 0x8664 for x64.
    static std::uint16_t PeMachine(const std::string& path) {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 0;
        unsigned char header[4096] = {};
        DWORD got = 0;
        ::ReadFile(file, header, sizeof header, &got, nullptr);
        ::CloseHandle(file);
        if (got < 0x40) return 0;
        std::uint32_t pe = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
        if (pe + 6 > got) return 0;
        return static_cast<std::uint16_t>(header[pe + 4] | header[pe + 5] << 8);
    }
};

TEST_F(Wow64Test, IsWow64ProcessTellsThePrefixApart) {
    bool answer = !wow64;
    ASSERT_TRUE(system.CallIsWow64Process(Find("IsWow64Process"), &answer));
    EXPECT_EQ(wow64, answer);
}

TEST_F(Wow64Test, OnlyTheNativeSystemInfoShowsThe64BitProcessor) {
    SystemInfo own;
    system.GetSystemInfo(&own);
    EXPECT_EQ(kArchIntel, own.processorArchitecture);
    EXPECT_GE(own.numberOfProcessors, 1u);

    SystemInfo native;
    native.processorArchitecture = 0xFFFF;
    system.CallGetNativeSystemInfo(Find("GetNativeSystemInfo"), &native);
    EXPECT_EQ(wow64 ? kArchAmd64 : kArchIntel, native.processorArchitecture);
    EXPECT_EQ(own.numberOfProcessors, native.numberOfProcessors);
}

TEST_F(Wow64Test, DisablingRedirectionShowsThe64BitSystemFolder) {
    std::string systemDir;
    ASSERT_GT(process.GetSystemDirectory(260, &systemDir), 0u);
    const std::string kernelDll = systemDir + "\\kernel32.dll";
    ASSERT_EQ(0x14C, PeMachine(kernelDll));

    void* old = nullptr;
    bool disabled = system.CallWow64DisableWow64FsRedirection(
        Find("Wow64DisableWow64FsRedirection"), &old);
    if (!wow64) {
        // Nothing to redirect: the folder stays what it is either way.
        if (disabled) system.CallWow64RevertWow64FsRedirection(Find("Wow64RevertWow64FsRedirection"), old);
        EXPECT_EQ(0x14C, PeMachine(kernelDll));
        return;
    }
    ASSERT_TRUE(disabled) << "error " << process.GetLastError();
    std::uint16_t unredirected = PeMachine(kernelDll);
    ASSERT_TRUE(system.CallWow64RevertWow64FsRedirection(Find("Wow64RevertWow64FsRedirection"), old));
    EXPECT_EQ(0x8664, unredirected);
    EXPECT_EQ(0x14C, PeMachine(kernelDll));
}

}  // namespace
