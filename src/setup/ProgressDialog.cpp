#include "setup/ProgressDialog.h"

#include "config/LanguageFile.h"
#include "config/PackageConfig.h"

namespace setup {

namespace {

constexpr int kProgressBar = 1079;
constexpr int kBarTop = 100;
constexpr int kHoldPosition = 90;
constexpr int kLastPosition = 99;
constexpr std::uint32_t kClimbStepMs = 80;
constexpr std::uint32_t kFinalStepMs = 10;
constexpr std::uint32_t kBeforeCloseMs = 100;
constexpr int kFailed = 1;
constexpr int kSucceeded = 2;
constexpr int kCloseResult = 1;  // IDOK

}  // namespace

ProgressDialog::ProgressDialog(plat::Platform& p) : p_(p) {
    useChineseFont = cfg::PackageConfig(p).language() == 0 ? 1 : 0;
    wait = [&p](std::uint32_t ms) { p.clock.Sleep(ms); };
}

void ProgressDialog::OnInitDialog() { view().SetRange(kProgressBar, 0, kBarTop); }

void ProgressDialog::OnTimer() {
    // The window's wait keeps its messages flowing, so the timer can fire again while the
    // first tick is still animating; only that first tick may drive the bar.
    if (animating_ || done_) return;
    animating_ = true;
    plat::DialogView& bar = view();

    auto finish = [&] {
        wait(kBeforeCloseMs);
        done_ = true;
        animating_ = false;
        bar.Close(kCloseResult);
    };

    int n = 0;
    for (;;) {
        if (targetOsClass == cfg::kOsWin9x && n == kHoldPosition) {
            // Windows 98 needs a restart before the driver works, so waiting for the
            // worker gains nothing; the install command goes on at once.
            done_ = true;
            animating_ = false;
            bar.Close(kCloseResult);
            return;
        }
        // Written by the worker thread; read afresh on every pass.
        const int state = completionState.load();
        if (state == kFailed) {
            for (; n >= 1; --n) {
                wait(kFinalStepMs);
                bar.SetPosition(kProgressBar, n);
            }
            bar.SetPosition(kProgressBar, 0);
            finish();
            return;
        }
        if (state == kSucceeded) {
            for (; n <= kLastPosition; ++n) {
                wait(kFinalStepMs);
                bar.SetPosition(kProgressBar, n);
            }
            finish();
            return;
        }
        if (n >= kHoldPosition) n = kHoldPosition;
        bar.SetPosition(kProgressBar, n);
        wait(kClimbStepMs);
        ++n;
    }
}

std::string ProgressDialog::WaitText() const {
    return cfg::LanguageFile(p_, cfg::Program::Setup, "Progress").GetText("Wait");
}

}  // namespace setup
