#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "engine/ComponentUpdates.h"
#include "engine/SystemFileStaging.h"
#include "EngineMachine.h"

using namespace engine;
using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {
std::string text(EngineMachine& m, const char* key) { return cfg::MessageTexts(m.p, cfg::Program::Setup).GetText(key); }
}  // namespace

TEST(FileStaging, NameIsUpperCasedInThePlaceTheCallerGave) {
    EngineMachine m(WindowsVersion::WinXP, false);
    EngineContext ctx(m.p, false);
    cfg::MessageBuffer messages;
    std::string name = "klmproc.dll";
    EXPECT_EQ(InstallSystemFile(ctx, name, KindPrintProcessor, cfg::kOsWinXP, false, messages), 1);
    EXPECT_EQ(name, "KLMPROC.DLL");
    EXPECT_TRUE(m.machine.files.fileExists(m.machine.spooler.processorDirectory() + "\\KLMPROC.DLL"));
}

TEST(FileStaging, InUseAndRefusedAreAnsweredWithoutWordsAndTheNewNameGoesBeside) {
    EngineMachine m(WindowsVersion::WinXP, false);
    EngineContext ctx(m.p, false);
    cfg::MessageBuffer messages;
    m.machine.files.writeFile("C:\\WINDOWS\\system32\\KLMUSB.DLL", "old");
    m.machine.files.setInUse("C:\\WINDOWS\\system32\\KLMUSB.DLL", true);
    std::string name = "klmusb.dll";
    EXPECT_EQ(InstallSystemFile(ctx, name, KindSystem, cfg::kOsWinXP, false, messages), 32);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(InstallSystemFile(ctx, name, KindSystem, cfg::kOsWinXP, true, messages), 1);
    EXPECT_TRUE(m.machine.files.fileExists("C:\\WINDOWS\\system32\\nKLMUSB.DLL"));

    m.machine.files.writeFile("C:\\WINDOWS\\system32\\KLMCOM.DLL", "old");
    m.machine.files.setAttributes("C:\\WINDOWS\\system32\\KLMCOM.DLL", plat::kFileAttributeReadOnly);
    std::string com = "KLMCOM.DLL";
    EXPECT_EQ(InstallSystemFile(ctx, com, KindSystem, cfg::kOsWinXP, false, messages), 1)
        << "the read-only mark is taken off before the copy";
}

TEST(FileStaging, FailuresNameTheirCause) {
    EngineMachine m(WindowsVersion::WinXP, false);
    EngineContext ctx(m.p, false);
    std::string zero = "0";
    cfg::MessageBuffer silent;
    EXPECT_EQ(InstallSystemFile(ctx, zero, KindPrinterDriver, cfg::kOsWinXP, false, silent), 0);
    EXPECT_TRUE(silent.empty()) << "a value of 0 names no file";

    cfg::MessageBuffer kind;
    std::string f = "KLMUI.DLL";
    EXPECT_EQ(InstallSystemFile(ctx, f, 12345, cfg::kOsWinXP, false, kind), 0);
    EXPECT_EQ(kind.text(), text(m, "IDS_ERR_DIRTYPE"));

    cfg::MessageBuffer missing;
    std::string absent = "ABSENT.DLL";
    EXPECT_EQ(InstallSystemFile(ctx, absent, KindPrinterDriver, cfg::kOsWinXP, true, missing), 0);
    EXPECT_EQ(missing.text(), text(m, "IDS_ERR_COPYFIEL") + "nABSENT.DLL\nThe system cannot find the file specified.\r\n" +
                                  text(m, "IDS_ERR_COPYFIEL1"));

    cfg::MessageBuffer dir;
    m.machine.faults.failCall("GetPrinterDriverDirectoryA", plat::kErrorRpcServerUnavailable, 1);
    EXPECT_EQ(InstallSystemFile(ctx, f, KindPrinterDriver, cfg::kOsWinXP, false, dir), 0);
    EXPECT_EQ(dir.text(), text(m, "IDS_ERR_GETDRIVERDIR"));
}

TEST(FileStaging, WbemFilesOnXpAndVista) {
    EngineMachine xp(WindowsVersion::WinXP, false);
    EngineContext ctx(xp.p, false);
    cfg::MessageBuffer messages;
    std::string f = "framedyn.dll";
    EXPECT_EQ(InstallSystemFile(ctx, f, KindWbemIfAbsent, cfg::kOsWinXP, false, messages), 1);
    EXPECT_TRUE(xp.machine.files.fileExists("C:\\WINDOWS\\system32\\wbem\\FRAMEDYN.DLL"));

    EngineMachine vista(WindowsVersion::Vista, false);
    EngineContext vctx(vista.p, false);
    vista.machine.files.writeFile("C:\\WINDOWS\\system32\\FRAMEDYN.DLL", "windows' own");
    EXPECT_EQ(InstallSystemFile(vctx, f, KindWbemIfAbsent, cfg::kOsVista, false, messages), 1);
    EXPECT_FALSE(vista.machine.files.fileExists("C:\\WINDOWS\\system32\\wbem\\FRAMEDYN.DLL"));
}

TEST(FileStaging, SystemFilesOf64BitWindowsGoToTheRealSystemFolder) {
    EngineMachine m(WindowsVersion::Win7, true);
    EngineContext ctx(m.p, true);
    cfg::MessageBuffer messages;
    std::string f = "klmusb.dll";
    EXPECT_EQ(InstallSystemFile(ctx, f, KindSystem, cfg::kOsWin7, false, messages), 1);
    EXPECT_FALSE(m.machine.files.fileExists("C:\\WINDOWS\\SysWOW64\\KLMUSB.DLL"));
    m.machine.files.setRedirection(true, false, "C:\\WINDOWS");
    EXPECT_EQ(*m.machine.files.readFile("C:\\WINDOWS\\system32\\KLMUSB.DLL"), "w64 klmusb.dll");
}

TEST(FileStaging, DriverCacheIsUnpackedOnceEvenWhenItHoldsNothing) {
    EngineMachine m(WindowsVersion::Server2003, false);
    m.machine.files.removeFile("C:\\WINDOWS\\Driver Cache\\i386\\driver.cab");
    EngineContext ctx(m.p, false);
    cfg::MessageBuffer messages;
    std::string unidrv = "UNIDRV.DLL", unires = "UNIRES.DLL";
    EXPECT_EQ(InstallSystemFile(ctx, unidrv, KindPrinterDriver, cfg::kOsServer2003, false, messages), 1);
    EXPECT_EQ(InstallSystemFile(ctx, unires, KindPrinterDriver, cfg::kOsServer2003, false, messages), 1);
    EXPECT_TRUE(ctx.driverCacheTried);
    EXPECT_EQ(m.machine.faults.timesCalled("FindFirstFileA") > 0, true);
    EXPECT_EQ(*m.machine.files.readFile(m.machine.spooler.driverDirectory() + "\\UNIDRV.DLL"), "w32 UNIDRV.DLL")
        << "without cabinets the package's copy";
}

TEST(ComponentChecks, PortKindsAndWidthsDecideWhichMonitorIsLookedAt) {
    EngineMachine m(WindowsVersion::Win7, true);
    EngineContext ctx(m.p, true);
    DriverPackage package(m.p, true);
    cfg::MessageBuffer messages;
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "LPT1:", messages), 0);
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "IP_1.2.3.4NET", messages), 0);
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "COM1:", messages), 0);
    EXPECT_EQ(m.machine.spooler.monitor("KLM COM Port"), nullptr) << "never on 64-bit Windows";
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsNt4, "USB_X_1", messages), 0);
    EXPECT_EQ(m.machine.spooler.monitor("KLM USB Port"), nullptr) << "never for Windows NT";
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "USB_X_1", messages), 0);
    EXPECT_NE(m.machine.spooler.monitor("KLM USB Port"), nullptr);
}

TEST(ComponentChecks, EqualVersionIsCurrentMissingVersionIsOutdated) {
    EngineMachine m(WindowsVersion::Win7, false);
    EngineContext ctx(m.p, false);
    DriverPackage package(m.p, false);
    cfg::MessageBuffer messages;
    const std::string key = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KLM USB Port";
    m.machine.registry.poke(key, "DriverVersion", plat::kRegDword, {4, 0, 0, 0});  // the package's
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "USB_X_1", messages), 0);
    m.machine.registry.poke(key, "DriverVersion", plat::kRegDword, {3, 0, 0, 0});
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "USB_X_1", messages), kUsbMonitorOutdated);
    m.machine.registry.poke(key, "DriverVersion", plat::kRegSz, {'1', '2', '3', '4', '5', 0});
    EXPECT_EQ(checkPortMonitors(ctx, package, cfg::kOsWin7, "USB_X_1", messages), kUsbMonitorOutdated)
        << "a version that does not fit four bytes cannot be read";
    EXPECT_EQ(m.machine.faults.timesCalled("AddMonitorA"), 0);
}

TEST(ComponentChecks, Windows98NeedsARestartWhenTheNewNameIsHeldToo) {
    EngineMachine m(WindowsVersion::Win98, false);
    EngineContext ctx(m.p, false);
    InstallRequest request(m.p, false);
    request.targetOs = cfg::kOsWin9x;
    request.componentFlags = kUsbMonitorOutdated;
    for (const char* f : {"C:\\WINDOWS\\system32\\KLMUSB9X.DLL", "C:\\WINDOWS\\system32\\nKLMUSB9X.DLL"}) {
        m.machine.files.writeFile(f, "held");
        m.machine.files.setInUse(f, true);
    }
    cfg::MessageBuffer messages;
    EXPECT_FALSE(updateComponents(ctx, request, messages));
    EXPECT_EQ(messages.text(), text(m, "IDS_ERR_NEEDRESTART"));
    EXPECT_EQ(m.machine.services.service("Spooler").stopCount, 0) << "Windows 98 has no spooler service to stop";

    m.machine.files.setInUse("C:\\WINDOWS\\system32\\nKLMUSB9X.DLL", false);
    cfg::MessageBuffer second;
    EXPECT_TRUE(updateComponents(ctx, request, second));
    auto driver = m.machine.registry.peek("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KLM USB Port", "Driver");
    ASSERT_TRUE(driver);
    EXPECT_EQ(std::string(driver->data.begin(), driver->data.end() - 1), "nKLMUSB9X.DLL");
}
