#include <gtest/gtest.h>

#include "setup/SetupStartup.h"
#include "TestMachine.h"

using setup::RunSetupStartup;
using setup::StartupDecision;
using sim::WindowsVersion;
using testing_support::TestMachine;

namespace {

// A package whose only probed port section is written by the test.
void writePackage(TestMachine& t, const std::string& deviceName, const std::string& modelFiles = "") {
    t.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\n" + deviceName);
    if (!modelFiles.empty()) t.write("DRVCONFIG\\setup_receipt.ini", modelFiles);
}

void expectRefused(const StartupDecision& d, const char* section, const char* key) {
    EXPECT_EQ(d.outcome, StartupDecision::Refused);
    EXPECT_EQ(d.refusalSection, section);
    EXPECT_EQ(d.refusalKey, key);
}

}  // namespace

TEST(SetupStartup, SamplePackageShowsTheWizardOnEverySupportedWindows) {
    for (auto v : {WindowsVersion::Win95, WindowsVersion::Win2000, WindowsVersion::WinXP, WindowsVersion::Vista,
                   WindowsVersion::Win7, WindowsVersion::Server2008R2, WindowsVersion::Win10, WindowsVersion::Win11,
                   WindowsVersion::Server2022}) {
        for (bool is64 : {false, true}) {
            TestMachine t;
            t.machine.setWindows(v, is64);
            StartupDecision d = RunSetupStartup(t.p);
            EXPECT_EQ(d.outcome, StartupDecision::ShowWizard) << sim::windowsVersionName(v);
            EXPECT_EQ(d.is64BitWindows, t.machine.system.wow64);
            EXPECT_EQ(d.showAgreement, 1);
            EXPECT_EQ(d.useChineseFont, 0);
            EXPECT_TRUE(t.boxes().empty());
        }
    }
}

TEST(SetupStartup, RefusesWindows98MeAndNt4) {
    for (auto v : {WindowsVersion::Win98, WindowsVersion::WinMe, WindowsVersion::Nt4}) {
        TestMachine t;
        t.machine.setWindows(v, false);
        StartupDecision d = RunSetupStartup(t.p);
        expectRefused(d, "Setup", "Nonsupport");
        ASSERT_EQ(t.boxes().size(), 1u);
        EXPECT_NE(t.boxes()[0].text, "");
        EXPECT_EQ(t.boxes()[0].caption, "setup");
    }
}

TEST(SetupStartup, RefusesArm64WindowsThatLooksLikeX64) {
    for (auto v : {WindowsVersion::Win10, WindowsVersion::Win11}) {
        TestMachine t;
        t.machine.setArm64Windows(v);
        expectRefused(RunSetupStartup(t.p), "Message", "IDS_ERR_ARM64");
        ASSERT_EQ(t.boxes().size(), 1u);
        EXPECT_NE(t.boxes()[0].text.find("ARM"), std::string::npos) << t.boxes()[0].text;
    }
}

TEST(SetupStartup, SecondInstanceBringsTheFirstForwardSilently) {
    for (const char* title : {"Printer Driver Setup", "打印机驱动安装程序"}) {
        TestMachine t;
        t.machine.process.addForeignMutex("setup");
        plat::WindowHandle first = t.machine.windows.addWindow(title, /*iconic=*/true);
        StartupDecision d = RunSetupStartup(t.p);
        EXPECT_EQ(d.outcome, StartupDecision::AlreadyRunning);
        EXPECT_EQ(t.machine.windows.foreground(), first);
        EXPECT_FALSE(t.machine.windows.window(first)->iconic) << "restored";
        EXPECT_TRUE(t.boxes().empty());
    }
    TestMachine noWindow;
    noWindow.machine.process.addForeignMutex("setup");
    EXPECT_EQ(RunSetupStartup(noWindow.p).outcome, StartupDecision::AlreadyRunning);
    EXPECT_TRUE(noWindow.boxes().empty());
}

TEST(SetupStartup, MutexIsNamedAfterTheProgramFile) {
    TestMachine t(true, "Install.exe");
    t.machine.process.addForeignMutex("setup");  // another program's name: no conflict
    EXPECT_EQ(RunSetupStartup(t.p).outcome, StartupDecision::ShowWizard);
}

TEST(SetupStartup, RefusesWhileAnUninstallWindowExistsWhoeverOwnsIt) {
    for (const char* title : {"Uninstall", "uninstall" /* FindWindow ignores case */, "打印机卸载程序"}) {
        TestMachine t;
        t.machine.windows.addWindow(title);
        expectRefused(RunSetupStartup(t.p), "Setup", "Close");
        EXPECT_EQ(t.boxes().size(), 1u);
    }
    TestMachine similar;
    similar.machine.windows.addWindow("Uninstaller");  // the whole title must match
    EXPECT_EQ(RunSetupStartup(similar.p).outcome, StartupDecision::ShowWizard);
}

TEST(SetupStartup, ProcessorWidthOfThePackage) {
    const std::string model = "DEVICENUMBER=1\r\n1=R1-ReceiptPrinter\r\n";
    const std::string ports = "[R1.PORT]\r\nUSBSUPPORTED=1\r\n";
    struct Case {
        const char* value;
        bool is64;
        const char* refusal;
    } cases[] = {{"1", true, "IDS_X64"}, {"2", false, "IDS_X32"}, {"1", false, nullptr}, {"2", true, nullptr},
                 {"0", true, nullptr},   {"3", false, nullptr},  {"", true, nullptr}};
    for (const auto& c : cases) {
        TestMachine t(false);
        t.machine.setWindows(WindowsVersion::Win7, c.is64);
        writePackage(t, model + (*c.value ? std::string("Supported32OR64=") + c.value + "\r\n" : ""), "");
        t.write(c.is64 ? "DRVCONFIG\\setup_receipt_64.ini" : "DRVCONFIG\\setup_receipt.ini", ports);
        StartupDecision d = RunSetupStartup(t.p);
        if (c.refusal)
            expectRefused(d, "Message", c.refusal);
        else
            EXPECT_EQ(d.outcome, StartupDecision::ShowWizard) << c.value << " " << c.is64;
    }
}

TEST(SetupStartup, IsWow64FallsBackAndAnswersFalseWhenItCannotAsk) {
    TestMachine t;
    t.machine.setWindows(WindowsVersion::Win7, true);
    EXPECT_TRUE(setup::IsWow64(t.p));
    t.machine.faults.failCall("LoadLibraryA", plat::kErrorModNotFound, 1);  // the full path fails
    EXPECT_TRUE(setup::IsWow64(t.p));
    t.machine.faults.failCall("IsWow64Process", plat::kErrorAccessDenied, 1);
    EXPECT_FALSE(setup::IsWow64(t.p));
    EXPECT_EQ(t.machine.process.loadedLibraryCount(), 0);

    TestMachine w2k;
    w2k.machine.setWindows(WindowsVersion::Win2000, false);  // no IsWow64Process at all
    EXPECT_FALSE(setup::IsWow64(w2k.p));
    w2k.machine.faults.failCall("LoadLibraryA", plat::kErrorModNotFound);
    EXPECT_FALSE(setup::IsWow64(w2k.p));
}

TEST(SetupStartup, OnlyTheLastEntrysPortSectionIsProbedInAllFourFiles) {
    // Entry 1 (receipt A) supports USB, entry 2 (ticket B) nothing: B decides.
    TestMachine t(false);
    writePackage(t, "DEVICENUMBER=2\r\n1=A-ReceiptPrinter\r\n2=B-TicketPrinter\r\n",
                 "[A.PORT]\r\nUSBSUPPORTED=1\r\n");
    expectRefused(RunSetupStartup(t.p), "Setup", "PortNull");

    // B's port section in the embedded file (not its own ticket file) is enough.
    TestMachine u(false);
    writePackage(u, "DEVICENUMBER=2\r\n1=A-ReceiptPrinter\r\n2=B-TicketPrinter\r\n");
    u.write("DRVCONFIG\\setup_embedded.ini", "[B.PORT]\r\nCOMSUPPORTED=2\r\n");
    EXPECT_EQ(RunSetupStartup(u.p).outcome, StartupDecision::ShowWizard);

    // Only the files of the running width count.
    TestMachine w(false);
    w.machine.setWindows(WindowsVersion::Win7, true);
    writePackage(w, "DEVICENUMBER=1\r\n1=A-ReceiptPrinter\r\n", "[A.PORT]\r\nLPTSUPPORTED=1\r\n");
    expectRefused(RunSetupStartup(w.p), "Setup", "PortNull");
}

TEST(SetupStartup, NetworkOnlyModelAndUnsuffixedLastEntry) {
    TestMachine net(false);
    writePackage(net, "DEVICENUMBER=1\r\n1=A-ReceiptPrinter\r\n", "[A.PORT]\r\nNETSUPPORTED=1\r\n");
    expectRefused(RunSetupStartup(net.p), "Setup", "PortNull");

    // A last entry without suffix is probed under its raw value.
    TestMachine raw(false);
    writePackage(raw, "DEVICENUMBER=2\r\n1=A-ReceiptPrinter\r\n2=Tool\r\n", "[Tool.PORT]\r\nUSBSUPPORTED=1\r\n");
    EXPECT_EQ(RunSetupStartup(raw.p).outcome, StartupDecision::ShowWizard);
}

TEST(SetupStartup, NoModelEntryAtAllIsRefused) {
    for (const char* count : {"0", "-5", "abc", "3"}) {
        TestMachine t(false);
        // Entries without suffix, and a port section that would match their raw value.
        writePackage(t, std::string("DEVICENUMBER=") + count + "\r\n1=Tool\r\n2=Other\r\n3=Last\r\n",
                     "[Last.PORT]\r\nUSBSUPPORTED=1\r\n[0.PORT]\r\nUSBSUPPORTED=1\r\n");
        expectRefused(RunSetupStartup(t.p), "Setup", "PortNull");
    }
    TestMachine missing(false);  // no setup.ini
    expectRefused(RunSetupStartup(missing.p), "Setup", "PortNull");
}

TEST(SetupStartup, LargeEntryCountsAndSkippedNumbersStayBounded) {
    TestMachine t(false);
    writePackage(t, "DEVICENUMBER=99999\r\n1=A-ReceiptPrinter\r\n7=B-TicketPrinter\r\n",
                 "[A.PORT]\r\nUSBSUPPORTED=1\r\n");
    // Entry 99999 is absent ("0"), so the buffer ends as "0" and "0.PORT" is probed.
    expectRefused(RunSetupStartup(t.p), "Setup", "PortNull");
}

TEST(SetupStartup, AgreementAndFontFlags) {
    const std::string ports = "[A.PORT]\r\nUSBSUPPORTED=1\r\n";
    struct Case {
        const char* switches;
        int agreement;
        int chinese;
    } cases[] = {{"LOADLICENSE=0\r\nLANGUAGE=1\r\n", 0, 0},
                 {"LOADLICENSE=5\r\nLANGUAGE=0\r\n", 1, 1},
                 {"", 0, 1}};
    for (const auto& c : cases) {
        TestMachine t(false);
        writePackage(t, std::string("DEVICENUMBER=1\r\n1=A-ReceiptPrinter\r\n") + c.switches, ports);
        StartupDecision d = RunSetupStartup(t.p);
        ASSERT_EQ(d.outcome, StartupDecision::ShowWizard);
        EXPECT_EQ(d.showAgreement, c.agreement) << c.switches;
        EXPECT_EQ(d.useChineseFont, c.chinese) << c.switches;
    }
}

TEST(SetupStartup, ChecksReadThePackageThroughTheCurrentDirectory) {
    TestMachine t;
    t.machine.process.currentDir = "C:\\WINDOWS";
    // From elsewhere, the integer checks find no package: refused, in the program's own
    // English since the language file is not found either.
    StartupDecision d = RunSetupStartup(t.p);
    expectRefused(d, "Setup", "PortNull");
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxes()[0].text, "The printer model of this driver package supports no printer port.\r\nSetup cannot continue.");
}
