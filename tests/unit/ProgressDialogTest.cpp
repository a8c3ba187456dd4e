// The progress window's bar against the virtual clock: what it shows while the worker runs,
// how it ends for each outcome, and how long every step takes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/sim/SimDialogView.h"
#include "setup/ProgressDialog.h"
#include "TestMachine.h"

using setup::ProgressDialog;
using testing_support::TestMachine;

namespace {

constexpr int kBar = 1079;

struct Step {
    int position;
    std::uint32_t atMs;  // virtual time since the tick began
};

struct ProgressMachine : TestMachine {
    sim::SimDialogView view;
    ProgressDialog dialog{p};
    std::vector<Step> steps;
    std::uint32_t start = 0;

    explicit ProgressMachine(cfg::OsClass target = cfg::kOsWin7) {
        dialog.targetOsClass = target;
        dialog.attach(&view);
        view.onPosition = [this](int control, int position) {
            if (control == kBar) steps.push_back({position, now()});
        };
    }
    std::uint32_t now() { return p.clock.GetTickCount() - start; }
    // The worker reports `state` once the virtual clock has reached `atMs`.
    void workerReports(int state, std::uint32_t atMs) {
        dialog.wait = [this, state, atMs](std::uint32_t ms) {
            p.clock.Sleep(ms);
            if (now() >= atMs) dialog.completionState.store(state);
        };
    }
    // Runs the first tick; answers the virtual time at which the window closed.
    std::uint32_t run() {
        dialog.OnInitDialog();
        start = p.clock.GetTickCount();
        dialog.OnTimer();
        EXPECT_TRUE(view.closed());
        EXPECT_EQ(view.result(), 1);
        return now();
    }
    std::vector<int> positions() const {
        std::vector<int> out;
        for (const auto& s : steps) out.push_back(s.position);
        return out;
    }
};

std::vector<int> range(int from, int to) {  // inclusive, either direction
    std::vector<int> out;
    for (int i = from;; i += from <= to ? 1 : -1) {
        out.push_back(i);
        if (i == to) break;
    }
    return out;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Climbing steps are 80 ms apart from the start of the tick; the final run follows 10 ms
// after each step, counted from `runStart` (the moment the outcome was first seen).
void expectClimb(const std::vector<Step>& steps, std::size_t count) {
    ASSERT_GE(steps.size(), count);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(steps[i].atMs, 80 * i) << "climbing step " << i;
}
void expectFinalRun(const std::vector<Step>& steps, std::size_t from, std::uint32_t runStart) {
    for (std::size_t i = from; i < steps.size(); ++i)
        EXPECT_EQ(steps[i].atMs, runStart + 10 * (i - from + 1)) << "final step " << i;
}

}  // namespace

TEST(ProgressDialog, RangeChineseFontAndWaitTextComeFromTheirSources) {
    ProgressMachine sample;
    sample.view.control(kBar).high = 7;
    sample.dialog.OnInitDialog();
    EXPECT_EQ(sample.view.control(kBar).low, 0);
    EXPECT_EQ(sample.view.control(kBar).high, 100);
    EXPECT_EQ(sample.dialog.useChineseFont, 0);  // the sample package says LANGUAGE=1

    TestMachine chinese(false), absent(false);
    chinese.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLANGUAGE=0\r\n");
    absent.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nLOADLICENSE=1\r\n");
    EXPECT_EQ(ProgressDialog(chinese.p).useChineseFont, 1);
    EXPECT_EQ(ProgressDialog(absent.p).useChineseFont, 1);

    EXPECT_EQ(ProgressDialog(absent.p).WaitText(), "Installing the printer driver. Please wait...");
    absent.write("language\\setup.ini", "[Message]\r\nWait=wrong section\r\n[Progress]\r\nWait=Bitte warten\r\n");
    EXPECT_EQ(ProgressDialog(absent.p).WaitText(), "Bitte warten");
}

TEST(ProgressDialog, FailureRunsTheBarBackToZeroFromWhereItStands) {
    ProgressMachine m;
    // Position 29 is shown at 2320 ms; the worker fails during the wait that follows.
    m.workerReports(1, 2350);
    const std::uint32_t closedAt = m.run();

    EXPECT_EQ(m.positions(), concat(concat(range(0, 29), range(30, 1)), {0}));
    expectClimb(m.steps, 30);
    const std::uint32_t runStart = 30 * 80;
    expectFinalRun(std::vector<Step>(m.steps.begin(), m.steps.end() - 1), 30, runStart);
    EXPECT_EQ(m.steps.back().atMs, runStart + 30 * 10);  // 0 follows 1 at once
    EXPECT_EQ(closedAt, m.steps.back().atMs + 100);
}

TEST(ProgressDialog, HoldsAtNinetyUntilTheWorkerSucceedsThenRunsToTheEnd) {
    ProgressMachine m;
    const std::uint32_t succeedAt = 10000;
    bool closedWhileRunning = false;
    m.dialog.wait = [&](std::uint32_t ms) {
        m.p.clock.Sleep(ms);
        if (m.view.closed()) closedWhileRunning = true;
        if (m.now() >= succeedAt) m.dialog.completionState.store(2);
    };
    const std::uint32_t closedAt = m.run();
    EXPECT_FALSE(closedWhileRunning);

    const std::vector<int> shown = m.positions();
    ASSERT_GE(shown.size(), 100u);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 90), range(0, 89));
    EXPECT_EQ(std::vector<int>(shown.end() - 9, shown.end()), range(91, 99));
    const std::size_t held = shown.size() - 90 - 9;
    EXPECT_EQ(std::vector<int>(shown.begin() + 90, shown.end() - 9), std::vector<int>(held, 90));
    // Held every 80 ms from 7200 ms until the success was seen at 10000 ms.
    expectClimb(m.steps, 90 + held);
    EXPECT_EQ(held, (succeedAt - 90 * 80) / 80);
    expectFinalRun(m.steps, 90 + held, succeedAt);
    EXPECT_EQ(closedAt, succeedAt + 9 * 10 + 100);
}

TEST(ProgressDialog, SuccessBeforeTheFirstTickRunsTheWholeBarAtOnce) {
    ProgressMachine m;
    m.dialog.completionState = 2;
    const std::uint32_t closedAt = m.run();
    EXPECT_EQ(m.positions(), range(0, 99));
    expectFinalRun(m.steps, 0, 0);
    EXPECT_EQ(closedAt, 100 * 10 + 100);
}

TEST(ProgressDialog, Windows98TargetClosesAtNinetyWithoutWaitingForTheWorker) {
    ProgressMachine m(cfg::kOsWin9x);
    m.machine.clock.sleeps.clear();
    const std::uint32_t closedAt = m.run();
    EXPECT_EQ(m.machine.clock.sleeps, std::vector<std::uint32_t>(90, 80));  // the default wait is the clock
    EXPECT_EQ(m.positions(), range(0, 89));
    expectClimb(m.steps, 90);
    EXPECT_EQ(closedAt, 90 * 80);  // no pause before closing
    EXPECT_EQ(m.dialog.completionState.load(), 0);

    // An outcome before 90 still runs the bar as on any other system.
    ProgressMachine failed(cfg::kOsWin9x);
    failed.workerReports(1, 50 * 80);
    failed.run();
    EXPECT_EQ(failed.positions(), concat(concat(range(0, 49), range(50, 1)), {0}));
}

TEST(ProgressDialog, TicksDuringOrAfterTheAnimationDoNothing) {
    ProgressMachine m;
    m.dialog.completionState = 2;
    int reentered = 0;
    m.dialog.wait = [&](std::uint32_t ms) {
        m.p.clock.Sleep(ms);
        // The window's wait handles messages: a timer tick can arrive here.
        if (reentered++ < 3) m.dialog.OnTimer();
    };
    m.run();
    EXPECT_GE(reentered, 3);
    EXPECT_EQ(m.positions(), range(0, 99));

    const std::size_t before = m.steps.size();
    const std::uint32_t clockBefore = m.p.clock.GetTickCount();
    m.dialog.OnTimer();
    EXPECT_EQ(m.steps.size(), before);
    EXPECT_EQ(m.p.clock.GetTickCount(), clockBefore);
}
