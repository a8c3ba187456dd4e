#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "config/ProgramWindows.h"
#include "uninstall/UninstallStartup.h"
#include "uninstall/UninstallState.h"
#include "TestMachine.h"

using testing_support::TestMachine;
using uninstall::FindUninstallIni;
using uninstall::IniSearchResult;
using uninstall::RunUninstallStartup;
using uninstall::UninstallStartupDecision;
using uninstall::UninstallState;

namespace {

std::string uninstallText(TestMachine& t, const char* section, const char* key) {
    return cfg::LanguageFile(t.p, cfg::Program::Uninstall, section).GetText(key);
}

// An uninstaller in C:\PKG over the sample package.
struct Uninstaller : TestMachine {
    Uninstaller() : TestMachine(true, "uninstall.exe") {}
};

// An uninstaller in C:\PKG whose folder the test fills itself.
struct BareUninstaller : TestMachine {
    BareUninstaller() : TestMachine(false, "uninstall.exe") {
        write("language\\uninstall.ini",
              "[Message]\r\nIDS_ERR_GETSYSDIR=no dir\r\nIDS_ERR_INVALID=no search\r\nIDS_ERR_NOINI=no ini\r\n");
    }
    plat::WindowHandle dialog = 0x4711;
    UninstallState state;
    IniSearchResult find() { return FindUninstallIni(p, state, dialog); }
    std::uint32_t attributes(const std::string& relative) {
        return machine.files.attributes(std::string(testing_support::kProgramFolder) + "\\" + relative);
    }
};

}  // namespace

TEST(UninstallStartup, ShowsTheDialogWithTheFontOfTheLanguageSwitch) {
    Uninstaller english;  // the sample package says LANGUAGE=1
    UninstallStartupDecision d = RunUninstallStartup(english.p);
    EXPECT_EQ(d.outcome, UninstallStartupDecision::ShowDialog);
    EXPECT_EQ(d.useChineseFont, 0);
    EXPECT_TRUE(english.boxes().empty());

    for (const char* content : {"[DEVICENAME]\r\nLANGUAGE=0\r\n", "[DEVICENAME]\r\nDEVICENUMBER=1\r\n",
                                "[DEVICENAME]\r\nLANGUAGE=abc\r\n"}) {
        TestMachine chinese(false, "uninstall.exe");
        chinese.write("DRVCONFIG\\setup.ini", content);
        EXPECT_EQ(RunUninstallStartup(chinese.p).useChineseFont, 1) << content;
    }
    TestMachine noPackage(false, "uninstall.exe");
    EXPECT_EQ(RunUninstallStartup(noPackage.p).useChineseFont, 1);
}

TEST(UninstallStartup, LanguageSwitchIsReadFromTheCurrentDirectoryNotTheProgramFolder) {
    Uninstaller t;  // program folder: LANGUAGE=1
    t.machine.files.writeFile("C:\\ELSEWHERE\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=0\r\n");
    t.machine.process.currentDir = "C:\\ELSEWHERE";
    EXPECT_EQ(RunUninstallStartup(t.p).useChineseFont, 1);

    TestMachine u(false, "uninstall.exe");  // program folder: LANGUAGE=0
    u.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=0\r\n");
    u.machine.files.writeFile("C:\\ELSEWHERE\\DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=1\r\n");
    u.machine.process.currentDir = "C:\\ELSEWHERE";
    EXPECT_EQ(RunUninstallStartup(u.p).useChineseFont, 0);
}

TEST(UninstallStartup, SecondInstanceBringsTheFirstForwardUnderEitherTitle) {
    for (const char* title : {"Uninstall", "打印机卸载程序"}) {
        Uninstaller t;
        t.machine.process.addForeignMutex("uninstall");
        plat::WindowHandle first = t.machine.windows.addWindow(title, /*iconic=*/true);
        EXPECT_EQ(RunUninstallStartup(t.p).outcome, UninstallStartupDecision::AlreadyRunning) << title;
        EXPECT_EQ(t.machine.windows.foreground(), first) << title;
        EXPECT_FALSE(t.machine.windows.window(first)->iconic) << title;
        EXPECT_TRUE(t.boxes().empty());
    }
    // Even with setup's wizard open the second instance stays silent.
    Uninstaller both;
    both.machine.process.addForeignMutex("uninstall");
    both.machine.windows.addWindow("Printer Driver Setup");
    plat::WindowHandle mine = both.machine.windows.addWindow("Uninstall");
    EXPECT_EQ(RunUninstallStartup(both.p).outcome, UninstallStartupDecision::AlreadyRunning);
    EXPECT_EQ(both.machine.windows.foreground(), mine);
    EXPECT_TRUE(both.boxes().empty());

    Uninstaller noWindow;
    noWindow.machine.process.addForeignMutex("uninstall");
    EXPECT_EQ(RunUninstallStartup(noWindow.p).outcome, UninstallStartupDecision::AlreadyRunning);
    EXPECT_EQ(noWindow.machine.windows.foreground(), 0u);
}

TEST(UninstallStartup, MutexIsNamedAfterTheProgramFile) {
    TestMachine renamed(true, "Remove.exe");
    renamed.machine.process.addForeignMutex("uninstall");
    EXPECT_EQ(RunUninstallStartup(renamed.p).outcome, UninstallStartupDecision::ShowDialog);
    renamed.machine.process.addForeignMutex("Remove");
    EXPECT_EQ(RunUninstallStartup(renamed.p).outcome, UninstallStartupDecision::AlreadyRunning);
}

TEST(UninstallStartup, RefusesArm64Windows) {
    Uninstaller t;
    t.machine.setArm64Windows(sim::WindowsVersion::Win11);
    EXPECT_EQ(RunUninstallStartup(t.p).outcome, UninstallStartupDecision::Arm64Windows);
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxes()[0].text.substr(0, 20), uninstallText(t, "Message", "IDS_ERR_ARM64").substr(0, 20));
}

TEST(UninstallStartup, RefusesWhileSetupsWizardIsOpen) {
    for (const char* title : {"Printer Driver Setup", "打印机驱动安装程序"}) {
        Uninstaller t;
        t.machine.windows.addWindow(title);
        EXPECT_EQ(RunUninstallStartup(t.p).outcome, UninstallStartupDecision::SetupRunning) << title;
        ASSERT_EQ(t.boxes().size(), 1u);
        EXPECT_EQ(t.boxes()[0].text, uninstallText(t, "Uninstall", "Close"));
        EXPECT_NE(t.boxes()[0].text.find("\r\n"), std::string::npos) << "the \\n marker becomes a line break";
        EXPECT_EQ(t.boxes()[0].caption, "uninstall");
    }
    Uninstaller similar;
    similar.machine.windows.addWindow("Printer Driver Setup - Help");  // titles match exactly
    EXPECT_EQ(RunUninstallStartup(similar.p).outcome, UninstallStartupDecision::ShowDialog);
}

TEST(UninstallIniSearch, SamplePackageFileIsFoundInDrvconfig) {
    Uninstaller t;
    UninstallState state;
    state.iniPath = "stale";
    EXPECT_EQ(FindUninstallIni(t.p, state, 0x99).outcome, IniSearchResult::Found);
    EXPECT_EQ(state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_EQ(t.machine.fileApi.openSearchCount(), 0u);
}

TEST(UninstallIniSearch, CurrentDirectoryWinsAndDrvconfigIsNotVisited) {
    BareUninstaller t;
    t.write("Uninstall.ini", "[QXPROC]\r\n");
    t.write("DRVCONFIG\\Uninstall.ini", "[QXPROC]\r\n");
    EXPECT_EQ(t.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(t.state.iniPath, "C:\\PKG\\Uninstall.ini");
    EXPECT_EQ(t.machine.faults.timesCalled("FindFirstFileA"), 1);
    EXPECT_EQ(t.machine.fileApi.openSearchCount(), 0u);
}

TEST(UninstallIniSearch, NamesAreMatchedCaseSensitivelyAsSubstrings) {
    BareUninstaller lower;
    lower.write("uninstall.ini", "");
    lower.write("DRVCONFIG\\Uninstall.ini", "");
    EXPECT_EQ(lower.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(lower.state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");

    BareUninstaller onlyLower;
    onlyLower.write("uninstall.ini", "");
    onlyLower.write("DRVCONFIG\\UNINSTALL.INI", "");
    onlyLower.write("DRVCONFIG\\setup.ini", "");
    IniSearchResult r = onlyLower.find();
    EXPECT_EQ(r.outcome, IniSearchResult::NotFound);
    EXPECT_STREQ(r.messageKey, "IDS_ERR_NOINI");
    EXPECT_EQ(onlyLower.state.iniPath, "");

    // A backup copy marks its folder; the file read there is always Uninstall.ini.
    BareUninstaller backup;
    backup.write("Uninstall.ini.bak", "");
    backup.write("DRVCONFIG\\Uninstall.ini", "");
    EXPECT_EQ(backup.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(backup.state.iniPath, "C:\\PKG\\Uninstall.ini");

    BareUninstaller prefixed;
    prefixed.write("DRVCONFIG\\OldUninstall.ini", "");
    EXPECT_EQ(prefixed.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(prefixed.state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");
}

TEST(UninstallIniSearch, LeavesTheAttributesOfEveryFileAlone) {
    BareUninstaller t;
    const std::uint32_t readOnlyHidden = plat::kFileAttributeReadOnly | plat::kFileAttributeHidden;
    const std::uint32_t system = plat::kFileAttributeSystem | plat::kFileAttributeHidden;
    t.write("notes.txt", "mine");
    t.write("boot.dat", "");
    t.write("DRVCONFIG\\Uninstall.ini", "");
    t.machine.files.setAttributes("C:\\PKG\\notes.txt", readOnlyHidden);
    t.machine.files.setAttributes("C:\\PKG\\boot.dat", system);
    t.machine.files.setAttributes("C:\\PKG\\DRVCONFIG\\Uninstall.ini", plat::kFileAttributeReadOnly);
    EXPECT_EQ(t.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(t.attributes("notes.txt"), readOnlyHidden);
    EXPECT_EQ(t.attributes("boot.dat"), system);
    EXPECT_EQ(t.attributes("DRVCONFIG\\Uninstall.ini"), plat::kFileAttributeReadOnly);
    EXPECT_EQ(t.machine.faults.timesCalled("SetFileAttributesA"), 0);
}

TEST(UninstallIniSearch, FailuresShowTheirMessageOwnedByTheDialog) {
    struct Case {
        const char* name;
        IniSearchResult::Outcome outcome;
        const char* key;
        const char* text;
    };
    auto expectFailure = [](BareUninstaller& t, const Case& c) {
        IniSearchResult r = t.find();
        EXPECT_EQ(r.outcome, c.outcome) << c.name;
        EXPECT_STREQ(r.messageKey, c.key) << c.name;
        EXPECT_EQ(t.state.iniPath, "") << c.name;
        ASSERT_EQ(t.boxes().size(), 1u) << c.name;
        EXPECT_EQ(t.boxes()[0].owner, t.dialog);
        EXPECT_EQ(t.boxes()[0].text, c.text);
        EXPECT_EQ(t.boxes()[0].caption, "uninstall");
        EXPECT_EQ(t.machine.fileApi.openSearchCount(), 0u) << c.name;
    };

    BareUninstaller noDir;
    noDir.machine.faults.failCall("GetCurrentDirectoryA", plat::kErrorAccessDenied, 1);
    expectFailure(noDir, {"no directory", IniSearchResult::NoCurrentDirectory, "IDS_ERR_GETSYSDIR", "no dir"});

    // The language file is under the current directory too: the program's own English.
    BareUninstaller longDir;
    longDir.machine.process.currentDir = "C:\\" + std::string(253, 'd');
    expectFailure(longDir, {"256 characters", IniSearchResult::NoCurrentDirectory, "IDS_ERR_GETSYSDIR",
                            "The program folder cannot be determined."});

    BareUninstaller unreadable;
    unreadable.machine.faults.failCall("FindFirstFileA", plat::kErrorAccessDenied);
    expectFailure(unreadable, {"unreadable", IniSearchResult::CannotEnumerate, "IDS_ERR_INVALID", "no search"});

    BareUninstaller noDrvconfig;
    noDrvconfig.write("setup.exe", "");
    expectFailure(noDrvconfig, {"no DRVCONFIG", IniSearchResult::CannotEnumerate, "IDS_ERR_INVALID", "no search"});

    BareUninstaller secondUnreadable;
    secondUnreadable.write("DRVCONFIG\\setup.ini", "");
    secondUnreadable.machine.faults.failCall("FindFirstFileA", plat::kErrorAccessDenied, 1, 1);
    expectFailure(secondUnreadable, {"DRVCONFIG unreadable", IniSearchResult::CannotEnumerate, "IDS_ERR_INVALID",
                                     "no search"});

    BareUninstaller missing;
    missing.write("DRVCONFIG\\setup.ini", "");
    expectFailure(missing, {"missing", IniSearchResult::NotFound, "IDS_ERR_NOINI", "no ini"});
}

TEST(UninstallIniSearch, DirectoryOf255CharactersStillFits) {
    BareUninstaller t;
    const std::string dir = "C:\\" + std::string(252, 'd');
    t.machine.process.currentDir = dir;
    t.machine.files.writeFile(dir + "\\Uninstall.ini", "");
    EXPECT_EQ(t.find().outcome, IniSearchResult::Found);
    EXPECT_EQ(t.state.iniPath, dir + "\\Uninstall.ini");
}

// Each program sets its caption from its language file as ANSI text. A Chinese package on
// a Windows whose code page is not Chinese shows those GBK bytes, not the Chinese title in
// Unicode: the windows must be found by the language file's bytes as well. A second
// uninstaller looks only for a dialog, never for the help viewer titled alike.
TEST(UninstallStartup, ProgramWindowsAreFoundInEitherFormAndTheHelpViewerIsNoInstance) {
    enum Lookup { Setup, Uninstall, UninstallDialog };
    struct Case {
        bool chinesePackage;
        const char* title;  // nullptr: the package's own caption bytes for that window
        const char* className;
        Lookup lookup;
        bool found;
    };
    const Case cases[] = {
        {true, nullptr, "#32770", Setup, true},
        {true, nullptr, "#32770", Uninstall, true},
        {true, nullptr, "#32770", UninstallDialog, true},
        {false, "打印机卸载程序", "#32770", UninstallDialog, true},
        {false, "Uninstall", "#32770", UninstallDialog, true},
        {false, "Uninstall", "HH Parent", UninstallDialog, false},
        {false, "Uninstall", "HH Parent", Uninstall, true},
    };
    for (const Case& c : cases) {
        Uninstaller t;
        if (c.chinesePackage)
            for (const char* file : {"setup.ini", "uninstall.ini"})
                t.write(std::string("language\\") + file,
                        *t.machine.files.readFile(std::string("C:\\PKG\\language-zh\\") + file));
        std::string title = c.title ? c.title : "";
        if (!c.title)
            title = c.lookup == Setup ? cfg::LanguageFile(t.p, cfg::Program::Setup, "Setup").GetText("Caption")
                                      : cfg::LanguageFile(t.p, cfg::Program::Uninstall, "Uninstall").GetText("Title");
        const plat::WindowHandle window = t.machine.windows.addWindow(title, false, UINT64_MAX, c.className);
        const plat::WindowHandle found = c.lookup == Setup       ? cfg::FindSetupWindow(t.p)
                                         : c.lookup == Uninstall ? cfg::FindUninstallWindow(t.p)
                                                                 : cfg::FindUninstallDialog(t.p);
        EXPECT_EQ(found, c.found ? window : 0u) << title << " " << c.className << " " << c.lookup;
    }
}
