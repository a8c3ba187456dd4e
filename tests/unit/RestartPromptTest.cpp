#include <gtest/gtest.h>

#include "platform/sim/SimDialogView.h"
#include "uninstall/RestartPrompt.h"
#include "TestMachine.h"

using testing_support::TestMachine;
using namespace uninstall;

TEST(RestartPrompt, ShowsTheRebootTextsAndAnswersByButton) {
    TestMachine t(true, "uninstall.exe");
    sim::SimDialogView view;
    RestartDialog dialog(t.p);
    dialog.OnInitDialog(view);
    EXPECT_EQ(view.GetText(kRestartNote1), "The selected items have been removed.");
    EXPECT_EQ(view.GetText(kRestartNote2), "Windows must restart to complete the removal.");
    EXPECT_EQ(view.GetText(kRestartNote3), "Do you want to restart Windows now?");
    EXPECT_EQ(view.GetText(1), "Yes");
    EXPECT_EQ(view.GetText(2), "No");
    EXPECT_EQ(view.caption(), "Restart Windows");

    dialog.OnCommand(view, kRestartNote3);
    EXPECT_FALSE(view.closed());
    dialog.OnCommand(view, kRestartNo);
    EXPECT_EQ(view.result(), RestartDialog::kAnswerNo);
    sim::SimDialogView yes;
    dialog.OnCommand(yes, kRestartYes);
    EXPECT_EQ(yes.result(), RestartDialog::kAnswerYes);
}

TEST(RestartPrompt, ChineseFontFollowsTheLanguageSwitch) {
    for (const char* language : {"0", "1"}) {
        TestMachine t(false, "uninstall.exe");
        t.write("DRVCONFIG\\setup.ini", std::string("[DEVICENAME]\r\nLANGUAGE=") + language + "\r\n");
        sim::SimDialogView view;
        RestartDialog dialog(t.p);
        dialog.OnInitDialog(view);
        EXPECT_EQ(dialog.useChineseFont(), language[0] == '0' ? 1 : 0) << language;
        EXPECT_EQ(view.GetText(1), "Yes") << "no language file: the program's own English";
    }
}

// AdjustTokenPrivileges succeeds for a privilege the user does not hold and says so only
// in the last error: Windows is asked to restart only once the privilege is enabled.
TEST(RestartPrompt, RestartsOnlyWithTheShutdownPrivilegeEnabled) {
    struct Case {
        const char* name;
        bool held;
        const char* failingCall;
        bool restarts;
    } cases[] = {
        {"privilege held", true, nullptr, true},
        {"privilege not held", false, nullptr, false},
        {"AdjustTokenPrivileges fails", true, "AdjustTokenPrivileges", false},
        {"token not opened", true, "OpenProcessToken", false},
        {"privilege not looked up", true, "LookupPrivilegeValueA", false},
    };
    for (const auto& c : cases) {
        TestMachine t(false, "uninstall.exe");
        t.machine.security.mayShutDown = c.held;
        if (c.failingCall) t.machine.faults.failCall(c.failingCall, plat::kErrorAccessDenied);
        EXPECT_EQ(RestartWindows(t.p, cfg::kOsWinXP), c.restarts) << c.name;
        EXPECT_EQ(t.machine.security.shutdownPrivilegeEnabled, c.restarts) << c.name;
        EXPECT_EQ(t.machine.faults.timesCalled("ExitWindowsEx"), c.restarts ? 1 : 0) << c.name;
        EXPECT_EQ(t.machine.windows.exitRequests.size(), c.restarts ? 1u : 0u) << c.name;
        if (c.restarts) {
            EXPECT_EQ(t.machine.windows.exitRequests[0], 2u) << "EWX_REBOOT";
        }
    }
}

TEST(RestartPrompt, Windows98RestartsWithoutAPrivilege) {
    TestMachine t(false, "uninstall.exe");
    t.machine.setWindows(sim::WindowsVersion::Win98, false);
    EXPECT_TRUE(RestartWindows(t.p, cfg::kOsWin9x));
    EXPECT_EQ(t.machine.faults.timesCalled("OpenProcessToken"), 0);
    EXPECT_EQ(t.machine.windows.exitRequests, std::vector<std::uint32_t>{2});

    // A refused request is not retried or reported.
    TestMachine refused(false, "uninstall.exe");
    refused.machine.windows.exitRefused = true;
    EXPECT_FALSE(RestartWindows(refused.p, cfg::kOsWin9x));
    EXPECT_EQ(refused.machine.faults.timesCalled("ExitWindowsEx"), 1);
    EXPECT_TRUE(refused.boxes().empty());
}
