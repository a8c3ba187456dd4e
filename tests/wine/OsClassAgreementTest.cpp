// Windows classification on the real calls, under each version the harness sets, and on
// the simulated machine set to the same version: both must land in the same class, the
// one the configuration sections expect.
#include <gtest/gtest.h>

#include <map>

#include "WineTestSupport.h"
#include "config/OsClass.h"
#include "platform/sim/SimMachine.h"

using winetest::Real;

namespace {

struct Expectation {
    sim::WindowsVersion simVersion;
    cfg::OsClass osClass;
};

const std::map<std::string, Expectation>& ByWineName() {
    static const std::map<std::string, Expectation> table = {
        {"win2k", {sim::WindowsVersion::Win2000, cfg::kOsWin2000}},
        {"winxp", {sim::WindowsVersion::WinXP, cfg::kOsWinXP}},
        // XP x64 reports 5.2 like Server 2003; only workstation + AMD64 tells it apart.
        {"winxp64", {sim::WindowsVersion::WinXP64, cfg::kOsWinXP}},
        {"win2003", {sim::WindowsVersion::Server2003, cfg::kOsServer2003}},
        {"vista", {sim::WindowsVersion::Vista, cfg::kOsVista}},
        {"win2008", {sim::WindowsVersion::Server2008, cfg::kOsServer2008}},
        {"win7", {sim::WindowsVersion::Win7, cfg::kOsWin7}},
        {"win2008r2", {sim::WindowsVersion::Server2008R2, cfg::kOsServer2008}},
        {"win8", {sim::WindowsVersion::Win8, cfg::kOsWin10}},
        {"win81", {sim::WindowsVersion::Win81, cfg::kOsWin10}},
        {"win10", {sim::WindowsVersion::Win10, cfg::kOsWin10}},
    };
    return table;
}

class OsClassAgreement : public ::testing::Test {
protected:
    void SetUp() override {
        auto found = ByWineName().find(winetest::ExpectedOs());
        auto wow64 = winetest::ExpectedWow64();
        if (found == ByWineName().end() || !wow64)
            GTEST_SKIP() << "KLM_EXPECT_OS / KLM_EXPECT_WOW64 not set to a known version";
        expected = found->second;
        machine.setWindows(expected.simVersion, *wow64);
    }

    Expectation expected{};
    sim::SimMachine machine;
};

TEST_F(OsClassAgreement, RealAndSimulatedWindowsLandInTheExpectedClass) {
    for (cfg::Program program : {cfg::Program::Setup, cfg::Program::Uninstall}) {
        SCOPED_TRACE(program == cfg::Program::Setup ? "setup" : "uninstall");
        EXPECT_EQ(expected.osClass, cfg::DetectOsClass(Real(), program));
        EXPECT_EQ(expected.osClass, cfg::DetectOsClass(machine.platform(), program));
    }
    EXPECT_TRUE(machine.windows.messageBoxes().empty()) << "a known version needs no message";
}

TEST_F(OsClassAgreement, SimulatedVersionFactsMatchTheRealOnes) {
    // The version as the programs read it: this test program has no manifest, so from 8.1
    // on GetVersionExA may say 6.2 and RtlGetVersion has to give the truth.
    const plat::OsVersionInfo real = cfg::ReadOsFacts(Real()).version;
    const plat::OsVersionInfo simulated = cfg::ReadOsFacts(machine.platform()).version;
    EXPECT_EQ(real.platformId, simulated.platformId);
    EXPECT_EQ(real.majorVersion, simulated.majorVersion);
    EXPECT_EQ(real.minorVersion, simulated.minorVersion);
    // Windows 10's build is whichever release Wine imitates; older versions have one build.
    if (real.majorVersion < 10) EXPECT_EQ(real.buildNumber & 0xFFFF, simulated.buildNumber & 0xFFFF);
    EXPECT_EQ(real.productType, simulated.productType);

    // The processor seen through GetNativeSystemInfo, reached the way the programs reach it.
    auto native = [](plat::Platform& p) {
        plat::SystemInfo info;
        plat::ModuleHandle kernel = p.process.GetModuleHandle("kernel32.dll");
        plat::ProcAddress fn = kernel ? p.process.GetProcAddress(kernel, "GetNativeSystemInfo") : 0;
        if (fn)
            p.system.CallGetNativeSystemInfo(fn, &info);
        else
            p.system.GetSystemInfo(&info);
        return info.processorArchitecture;
    };
    EXPECT_EQ(native(Real()), native(machine.platform()));
}

}  // namespace
