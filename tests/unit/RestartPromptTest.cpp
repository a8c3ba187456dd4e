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
    EXPECT_EQ(view.GetText(1014), "The selected items have been removed.");
    EXPECT_EQ(view.GetText(1015), "Windows must restart to complete the removal.");
    EXPECT_EQ(view.GetText(1016), "Do you want to restart Windows now?");
    EXPECT_EQ(view.GetText(1), "Yes");
    EXPECT_EQ(view.GetText(2), "No");
    EXPECT_EQ(view.caption(), "Restart Windows");

    dialog.OnCommand(view, 1016);
    EXPECT_FALSE(view.closed());
    dialog.OnCommand(view, RestartDialog::kIdNo);
    EXPECT_EQ(view.result(), RestartDialog::kAnswerNo);
    sim::SimDialogView yes;
    dialog.OnCommand(yes, RestartDialog::kIdYes);
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
        EXPECT_EQ(view.GetText(1), "") << "no language file: nothing invented";
    }
}

TEST(RestartPrompt, RestartTakesTheShutdownPrivilegeFirst) {
    TestMachine t(false, "uninstall.exe");
    EXPECT_TRUE(RestartWindows(t.p, cfg::kOsWin7));
    EXPECT_TRUE(t.machine.security.shutdownPrivilegeEnabled);
    EXPECT_EQ(t.machine.windows.exitRequests, std::vector<std::uint32_t>{2});
}

TEST(RestartPrompt, NoPrivilegeNoRestart) {
    struct Case {
        const char* api;
        bool mayShutDown;
    } cases[] = {{"OpenProcessToken", true}, {"LookupPrivilegeValueA", true}, {"AdjustTokenPrivileges", true},
                 {nullptr, false}};
    for (const auto& c : cases) {
        TestMachine t(false, "uninstall.exe");
        t.machine.security.mayShutDown = c.mayShutDown;
        if (c.api) t.machine.faults.failCall(c.api, plat::kErrorAccessDenied);
        EXPECT_FALSE(RestartWindows(t.p, cfg::kOsWinXP)) << (c.api ? c.api : "refused");
        EXPECT_TRUE(t.machine.windows.exitRequests.empty()) << (c.api ? c.api : "refused");
        EXPECT_EQ(t.machine.faults.timesCalled("ExitWindowsEx"), 0);
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
