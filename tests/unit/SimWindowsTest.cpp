// The simulated desktop: windows found by exact title, and message boxes answered from a
// script so a test can walk every branch behind a question.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace {

struct SimDesktop : testing::Test {
    sim::SimMachine m;
    plat::WindowApi& win = m.platform().windows;
};

TEST_F(SimDesktop, ScriptedAnswersAreUsedInOrderThenTheFirstButton) {
    m.windows.scriptAnswers({plat::kIdNo, plat::kIdCancel});
    m.windows.scriptAnswers({plat::kIdOk});  // appended, not replacing
    EXPECT_EQ(win.MessageBox(0, "q1", "setup", plat::kMbYesNo | plat::kMbIconQuestion), plat::kIdNo);
    EXPECT_EQ(win.MessageBox(0, "q2", "setup", plat::kMbOkCancel), plat::kIdCancel);
    EXPECT_EQ(win.MessageBox(0, "q3", "setup", plat::kMbOkCancel), plat::kIdOk);
    // Script used up: the first button of each kind.
    EXPECT_EQ(win.MessageBox(0, "q4", "setup", plat::kMbYesNo | plat::kMbIconQuestion), plat::kIdYes);
    EXPECT_EQ(win.MessageBox(0, "q5", "setup", 3 /* yes, no, cancel */), plat::kIdYes);
    EXPECT_EQ(win.MessageBox(0, "q6", "setup", plat::kMbOk | plat::kMbIconExclamation), plat::kIdOk);
    EXPECT_EQ(win.MessageBox(0, "q7", "setup", plat::kMbOkCancel | plat::kMbIconHand), plat::kIdOk);

    const auto& shown = m.windows.messageBoxes();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].text, "q1");
    EXPECT_EQ(shown[0].caption, "setup");
    EXPECT_EQ(shown[0].type, plat::kMbYesNo | plat::kMbIconQuestion);
    EXPECT_EQ(shown[0].answer, plat::kIdNo);
    EXPECT_EQ(shown[6].answer, plat::kIdOk);
    m.windows.clearMessageBoxes();
    EXPECT_TRUE(m.windows.messageBoxes().empty());
}

TEST_F(SimDesktop, MessageBoxRecordsItsOwnerAndAFailedBoxUsesNoAnswer) {
    plat::WindowHandle owner = m.windows.addWindow("Printer Driver Setup");
    m.windows.scriptAnswers({plat::kIdNo});
    m.faults.failCall("MessageBoxA", plat::kErrorNotEnoughMemory, 1);
    EXPECT_EQ(win.MessageBox(owner, "t", "c", plat::kMbYesNo), 0);
    EXPECT_TRUE(m.windows.messageBoxes().empty());
    EXPECT_EQ(win.MessageBox(owner, "t", "c", plat::kMbYesNo), plat::kIdNo);
    ASSERT_EQ(m.windows.messageBoxes().size(), 1u);
    EXPECT_EQ(m.windows.messageBoxes()[0].owner, owner);
}

TEST_F(SimDesktop, WindowsAreFoundByTheirExactTitle) {
    plat::WindowHandle setup = m.windows.addWindow("Printer Driver Setup");
    plat::WindowHandle zh = m.windows.addWindow("打印机卸载程序", true);
    EXPECT_NE(setup, zh);
    EXPECT_EQ(win.FindWindowByTitle("Printer Driver Setup"), setup);
    EXPECT_EQ(win.FindWindowByTitle("printer driver setup"), 0u);
    EXPECT_EQ(win.FindWindowByTitle("Printer Driver Setup "), 0u);
    EXPECT_EQ(win.FindWindowByTitle("Printer Driver"), 0u);
    EXPECT_EQ(win.FindWindowByTitle("打印机卸载程序"), zh);

    EXPECT_TRUE(win.IsIconic(zh));
    EXPECT_TRUE(win.SetForegroundWindow(zh));
    EXPECT_EQ(m.windows.foreground(), zh);
    EXPECT_TRUE(win.OpenIcon(zh));
    EXPECT_FALSE(win.IsIconic(zh));

    m.windows.removeWindow(zh);
    EXPECT_EQ(win.FindWindowByTitle("打印机卸载程序"), 0u);
    EXPECT_FALSE(win.SetForegroundWindow(zh));
    EXPECT_FALSE(win.IsIconic(zh));
    m.platform().process.SetLastError(0);
    EXPECT_FALSE(win.OpenIcon(zh));
    EXPECT_EQ(m.platform().process.GetLastError(), plat::kErrorInvalidHandle);
    EXPECT_EQ(m.windows.foreground(), zh);  // a failed call changes nothing
}

}  // namespace
