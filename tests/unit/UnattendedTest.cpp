#include <gtest/gtest.h>

#include <functional>

#include "config/CommandLine.h"
#include "setup/SetupProgram.h"
#include "setup/WizardControls.h"
#include "uninstall/UninstallProgram.h"
#include "EngineMachine.h"
#include "MachineInventory.h"

using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {

const char kAnswers[] = "C:\\TEMP\\answers.ini";
const char kLog[] = "C:\\TEMP\\run.log";
const char kSerialAnswers[] = "[Install]\r\nModel=KLM-A100\r\nPort=QXCOM1:\r\nAccept=1\r\n";

// The sample package on a simulated Windows 7 with the maker's USB library and no printer.
struct Machine : EngineMachine {
    explicit Machine(WindowsVersion v = WindowsVersion::Win7) : EngineMachine(v, false) {
        machine.usb.installLibrary(true);
        // What the package's port monitors offer once they run.
        for (const char* port : {"QXCOM1:", "QXCOM2:", "USB_KLM-A100_1", "USB_KLM-A100_2"}) machine.spooler.addPort(port);
    }
    std::string log() { return machine.files.readFile(kLog).value_or(""); }
    std::string standardError() { return machine.process.standardError; }
};

// A wizard that is never shown; a test that wants clicks gives them.
struct Host : setup::WizardHost {
    explicit Host(plat::Platform& p) : headless(p) {}
    setup::HeadlessWizardWindow headless;
    std::function<void(setup::SetupWizardDialog&)> clicks;
    setup::WizardWindow& window() override { return headless; }
    void Run(setup::SetupWizardDialog& frame) override {
        frame.attach(&headless.frameView());
        if (frame.OnInitDialog() && clicks) clicks(frame);
    }
};

struct NoDialog : uninstall::UninstallHost {
    void Run(plat::Platform&, uninstall::UninstallState&, int) override { ADD_FAILURE() << "dialog shown"; }
};

int setup(Machine& m, const std::string& args, const std::string& answers = kSerialAnswers) {
    m.machine.files.writeFile(kAnswers, answers);
    Host host(m.p);
    return setup::RunSetup(m.p, "\"C:\\PKG\\setup.exe\" /log=" + std::string(kLog) + " " + args, host);
}

int uninstall(Machine& m, const std::string& args) {
    m.machine.process.imagePath = "C:\\PKG\\uninstall.exe";
    uninstall::UninstallState state;
    NoDialog host;
    const int code = uninstall::RunUninstall(m.p, "uninstall.exe /log=" + std::string(kLog) + " " + args, state, host);
    m.machine.process.imagePath = "C:\\PKG\\setup.exe";
    return code;
}

const char kQuiet[] = "/quiet /answers=C:\\TEMP\\answers.ini";

struct ExitCase {
    const char* name;
    std::function<void(Machine&)> prepare;
    std::function<int(Machine&)> run;
    int code;
    const char* said;  // on standard error ("" when nothing need be)
};

TEST(Unattended, EveryExitCodeOfBothPrograms) {
    auto quietSetup = [](const std::string& answers) { return [answers](Machine& m) { return setup(m, kQuiet, answers); }; };
    auto quietRemoval = [](const char* args) { return [args](Machine& m) { return uninstall(m, args); }; };
    // An earlier installation, by an earlier process.
    auto installed = [](Machine& m) {
        ASSERT_EQ(m.install(m.choices("KLM-A100", cfg::kReceipt, "QXCOM1:")).state, engine::kSucceeded);
    };
    const ExitCase cases[] = {
        {"serial install", nullptr, quietSetup(kSerialAnswers), 0, ""},
        {"monitor written under its n name",
         [&](Machine& m) {
             installed(m);
             const std::string key = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KLM COM Port";
             m.machine.registry.poke(key, "DriverVersion", plat::kRegDword, {1, 0, 0, 0});
             m.machine.files.setInUse("C:\\WINDOWS\\system32\\KLMCOM.DLL", true);
         },
         quietSetup(kSerialAnswers), 3010, ""},
        {"agreement not accepted", nullptr, quietSetup("[Install]\r\nModel=KLM-A100\r\nPort=LPT1:\r\n"), 1602,
         "Accept=1"},
        {"model not for Windows 7", nullptr, quietSetup("[Install]\nModel=KLM-B300\nPort=USB_KLM-B300_1\nAccept=1\n"),
         1602, "refused to leave the operating-system page"},
        {"advanced USB without the USB driver", nullptr,
         quietSetup("[Install]\nModel=KLM-A100\nMode=Advanced\nPort=USB_KLM-A100_2\nAccept=1\n"), 1602, ""},
        {"printer driver refused", [](Machine& m) { m.machine.faults.failCall("AddPrinterDriverA", 5); },
         quietSetup(kSerialAnswers), 1603, "could not be added"},
        {"uninstaller open", [](Machine& m) { m.machine.windows.addWindow("Uninstall"); }, quietSetup(kSerialAnswers),
         1618, ""},
        {"not an administrator", [](Machine& m) { m.machine.security.setUser(false); }, quietSetup(kSerialAnswers), 740,
         ""},
        {"quiet without answers", nullptr, [](Machine& m) { return setup(m, "-QUIET"); }, 1639, "/answers"},
        {"remove everything", installed, quietRemoval("/quiet /all"), 3010, ""},
        {"nothing to remove", nullptr, quietRemoval("-Quiet -ALL /usb"), 0, ""},
        {"a print job waits", [&](Machine& m) { installed(m); m.machine.spooler.setJobs("KLM-A100(S)", 1); },
         quietRemoval("/quiet /all"), 1602, ""},
        {"printer not deleted", [&](Machine& m) { installed(m); m.machine.faults.failCall("DeletePrinter", 5); },
         quietRemoval("/quiet /item=KLM-A100(S)"), 1603, ""},
        {"no such row", installed, quietRemoval("/quiet /item=KLM-Z9"), 1639, "KLM-A100(S)"},
        {"setup open", [](Machine& m) { m.machine.windows.addWindow("Printer Driver Setup"); }, quietRemoval("/quiet /all"),
         1618, ""},
        {"uninstall not as administrator", [](Machine& m) { m.machine.security.setUser(false); },
         quietRemoval("/quiet /all"), 740, ""},
        {"removal items without quiet", nullptr, quietRemoval("/item=X"), 1639, "/quiet"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m;
        if (c.prepare) c.prepare(m);
        EXPECT_EQ(c.run(m), c.code) << m.log();
        EXPECT_TRUE(m.boxes().empty()) << "a quiet run showed " << m.boxes().front().text;
        EXPECT_NE(m.standardError().find(c.said), std::string::npos) << m.standardError() << m.log();
        EXPECT_NE(m.log().find("exit code " + std::to_string(c.code)), std::string::npos) << m.log();
    }
}

TEST(Unattended, AnswerFileErrorsNameTheirLine) {
    const struct {
        const char* answers;
        const char* reason;
    } cases[] = {
        {"[Install]\nModel=KLM-A100\nColour=1\nPort=LPT1:\n", "line 3: unknown key \"Colour\""},
        {"[Install]\nModel=KLM-A100\nPort=COM9:\nAccept=1\n", "line 3: Port=COM9: is not offered"},
        {"[Install]\nModel=KLM-A100\nPort=QXCOM1:\nBaudRate=14400\nAccept=1\n", "line 4: BaudRate=14400 is not one"},
        {"[Install]\nModel=KLM-A100\nPort=QXCOM1:\nParity=X\n", "line 4: Parity=X: must be one of"},
        {"[Install]\nModel=KLM-A100\nPort=LPT1:\nStopBits=2\nAccept=1\n", "line 4: StopBits=2 does not apply"},
        {"[Install]\nModel=KLM-Q1\nPort=LPT1:\nAccept=1\n", "line 2: Model=KLM-Q1 is not in this package"},
        {"[Install]\nPort=LPT1:\n", "Model is missing"},
        {"Model=KLM-A100\n", "line 1: key \"Model\" outside section [Install]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        Machine m;
        EXPECT_EQ(setup(m, kQuiet, c.answers), 1639);
        EXPECT_NE(m.standardError().find(c.reason), std::string::npos) << m.standardError();
        EXPECT_NE(m.log().find(c.reason), std::string::npos);
        EXPECT_TRUE(m.machine.spooler.printerNames().empty());
    }
}

// The user's clicks: agreement, KLM-A100, typical, the port and its settings, Install.
void clickSerialInstallation(setup::SetupWizardDialog& frame, setup::HeadlessWizardWindow& w) {
    using namespace setup;
    auto& pages = frame.pages();
    auto click = [&](WizardPage& page, int control) {
        w.view(page).SetCheck(control, true);
        page.OnCommand(control, kButtonClicked);
    };
    auto choose = [&](WizardPage& page, int list, const std::string& item) {
        auto& items = w.view(page).control(list).items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == item) w.view(page).ListSelect(list, static_cast<int>(i));
        page.OnCommand(list, kSelectionChanged);
    };
    click(pages.license, kAcceptRadio);
    frame.OnOk();
    click(pages.printerType, kReceiptRadio);
    choose(pages.printerType, kReceiptList, "KLM-A100");
    w.view(pages.printerType).SetCheck(kDefaultPrinterCheck, true);
    frame.OnOk();
    frame.OnOk();
    frame.OnOk();
    choose(pages.port, kPortList, "QXCOM2:");
    choose(pages.port, kBaudRateList, "19200");
    choose(pages.port, kParityList, "Even");
    choose(pages.port, kProtocolList, "Xon/Xoff");
    choose(pages.port, kStopBitsList, "2");
    frame.OnOk();
}

TEST(Unattended, RecordedChoicesReplayToTheSameMachine) {
    Machine recorded;
    Host host(recorded.p);
    host.clicks = [&](setup::SetupWizardDialog& frame) { clickSerialInstallation(frame, host.headless); };
    ASSERT_EQ(setup::RunSetup(recorded.p, "setup.exe /Record=C:\\TEMP\\recorded.ini", host), 0);
    const std::string answers = recorded.machine.files.readFile("C:\\TEMP\\recorded.ini").value_or("");
    EXPECT_NE(answers.find("Port=QXCOM2:\r\n"), std::string::npos) << answers;

    Machine replayed;
    EXPECT_EQ(setup(replayed, kQuiet, answers), 0) << replayed.log();
    EXPECT_EQ(testing_support::MachineInventory(replayed.machine), testing_support::MachineInventory(recorded.machine));
    EXPECT_EQ(uninstall(replayed, "/quiet /all"), 3010) << replayed.log();
    EXPECT_TRUE(replayed.machine.spooler.printerNames().empty());
}

TEST(Unattended, LogIsKeptWhereverItCanBeAndNeverFailsTheRun) {
    Machine m;
    m.machine.process.hasStandardError = false;
    m.machine.files.writeFile(kAnswers, kSerialAnswers);
    Host host(m.p);
    ASSERT_EQ(setup::RunSetup(m.p, std::string("setup.exe /quiet /answers=") + kAnswers, host), 0);
    const std::string log = m.machine.files.readFile("C:\\TEMP\\setup-20240301-000000.log").value_or("");
    EXPECT_NE(log.find("command line: setup.exe /quiet"), std::string::npos) << log;
    EXPECT_NE(log.find("Windows 6.1"), std::string::npos);
    EXPECT_NE(log.find("Windows class 7"), std::string::npos);
    EXPECT_NE(log.find("step printer: done, last error"), std::string::npos);
    EXPECT_NE(log.find("exit code 0"), std::string::npos);

    Machine unwritable;
    unwritable.machine.files.writeFile(kAnswers, kSerialAnswers);
    Host other(unwritable.p);
    EXPECT_EQ(setup::RunSetup(unwritable.p, std::string("setup.exe /quiet /log=C:\\NOWHERE\\x.log /answers=") + kAnswers,
                              other),
              0);
    EXPECT_FALSE(unwritable.machine.spooler.printerNames().empty());
}

TEST(Unattended, CommandLineSwitches) {
    const auto c = cfg::ParseCommandLine(cfg::Program::Uninstall,
                                         "\"C:\\Program Files\\uninstall.exe\" -QUIET /Item=\"KLM A100 (S)\" /item=B /usb");
    EXPECT_EQ(c.error, "");
    EXPECT_TRUE(c.quiet && c.usb && !c.all);
    EXPECT_EQ(c.items, (std::vector<std::string>{"KLM A100 (S)", "B"}));
    for (const char* bad : {"setup.exe /quiet /quiet /answers=a", "setup.exe /answers=a", "setup.exe /log=", "setup.exe x",
                            "setup.exe /all", "setup.exe /quiet /answers=a /record=b"})
        EXPECT_NE(cfg::ParseCommandLine(cfg::Program::Setup, bad).error, "") << bad;
    EXPECT_NE(cfg::ParseCommandLine(cfg::Program::Uninstall, "u.exe /quiet /all /item=A").error, "");
}

// On Windows 10 a model without sections of its own installs from its Windows 7 ones, and
// the log says which sections stood in; a model with its own sections reads only those.
TEST(Unattended, LogNamesTheSectionsThatStoodInForWindows10) {
    Machine m(WindowsVersion::Win10);
    ASSERT_EQ(setup(m, kQuiet, "[Install]\nModel=KLM-A200\nPort=QXCOM1:\nAccept=1\n"), 0) << m.log();
    EXPECT_NE(m.log().find("no section [KLM-A200.Win10] in C:\\PKG\\DRVCONFIG\\setup_receipt.ini: reading [KLM-A200.Win7]"),
              std::string::npos)
        << m.log();
    EXPECT_NE(m.log().find("no section [COMMON-MONITOR.Win10]"), std::string::npos) << m.log();

    Machine own(WindowsVersion::Win10);
    ASSERT_EQ(setup(own, kQuiet, "[Install]\nModel=KLM-A100\nPort=LPT1:\nAccept=1\n"), 0) << own.log();
    EXPECT_EQ(own.log().find("no section [KLM-A100"), std::string::npos) << own.log();
}

}  // namespace
