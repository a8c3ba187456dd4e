// The window shown while the install worker runs: a waiting text and a bar that climbs
// with time, then runs to its end or back to zero when the worker reports.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "config/OsClass.h"
#include "platform/Platform.h"
#include "setup/WizardPage.h"

namespace setup {

class ProgressDialog : public DialogLogic {
public:
    // Reads LANGUAGE to decide useChineseFont.
    explicit ProgressDialog(plat::Platform& p);

    cfg::OsClass targetOsClass = cfg::kOsWin9x;
    std::atomic<int> completionState{0};
    int useChineseFont = 0;

    // Every wait of the animation. The platform clock's Sleep by default; the window code
    // puts in one that keeps handling the window's messages while it waits.
    std::function<void(std::uint32_t)> wait;

    static constexpr std::uint32_t kTimerId = 1;
    static constexpr std::uint32_t kTimerPeriodMs = 100;

    // Sets the bar's range; the window code then starts timer 1 with kTimerPeriodMs.
    void OnInitDialog();
    // The first tick runs the whole animation and closes the window (view Close with 1);
    // later ticks, and ticks while the animation runs, do nothing.
    void OnTimer();
    // The text painted in the window (language file, section Progress, key Wait).
    std::string WaitText() const;

    static constexpr std::uint32_t kTextColour = 0x993300;  // COLORREF: blue 0x99, green 0x33

private:
    plat::Platform& p_;
    bool animating_ = false;
    bool done_ = false;
};

}  // namespace setup
