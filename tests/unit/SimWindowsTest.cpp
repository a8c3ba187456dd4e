// The simulated desktop: windows found by title as FindWindow finds them, and message
// boxes answered from a script so a test can walk every branch behind a question.
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

// FindWindow ignores case; the whole title must match all the same.
TEST_F(SimDesktop, WindowsAreFoundByTheirWholeTitleWhateverTheCase) {
    enum { kUtf8 = 1, kAnsi = 2, kBoth = 3 };
    struct Case {
        const char* title;
        const char* query;
        bool found;
        int forms;  // the lookups the case applies to
    } cases[] = {
        {"Printer Driver Setup", "Printer Driver Setup", true, kBoth},
        {"Printer Driver Setup", "printer DRIVER setup", true, kBoth},
        {"Printer Driver Setup", "Printer Driver Setup ", false, kBoth},
        {"Printer Driver Setup", "Printer Driver", false, kBoth},
        {"Setup [1]", "setup {1}", false, kBoth},  // '[' and '{' differ by the case bit but are no letters
        {"打印机 Setup", "打印机 SETUP", true, kUtf8},
        {"打印机", "扳印机", false, kUtf8},  // a last byte 0x93 against 0xB3: no letter
        {"\xB0\x41 v", "\xB0\x41 V", true, kAnsi},
        {"\xB0\x41\xB0\x42", "\xB0\x61\xB0\x62", false, kAnsi},  // GBK trail bytes are no letters
    };
    for (const auto& c : cases) {
        sim::SimMachine fresh;
        const plat::WindowHandle w = fresh.windows.addWindow(c.title);
        const plat::WindowHandle expected = c.found ? w : 0;
        if (c.forms & kUtf8) {
            EXPECT_EQ(fresh.platform().windows.FindWindowByTitle(c.query), expected) << c.query;
        }
        if (c.forms & kAnsi) {
            EXPECT_EQ(fresh.platform().windows.FindWindowByAnsiTitle(c.query), expected) << c.query;
        }
    }
}

TEST_F(SimDesktop, WindowsAreFoundUntilRemoved) {
    plat::WindowHandle setup = m.windows.addWindow("Printer Driver Setup");
    plat::WindowHandle zh = m.windows.addWindow("打印机卸载程序", true);
    EXPECT_NE(setup, zh);
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
