// Top-level windows of the simulated desktop and the message boxes the program shows.
// Message boxes are recorded and answered from a script.
#pragma once
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ClockApi.h"
#include "platform/WindowApi.h"
#include "platform/sim/SimState.h"

namespace sim {

struct SimWindow {
    plat::WindowHandle handle = 0;
    std::string title;  // as set: UTF-8 for a Unicode caption, the language file's bytes for an ANSI one
    bool iconic = false;
    std::uint64_t closesAtMs = UINT64_MAX;  // on the virtual clock
    std::string className = "#32770";        // a dialog, unless told otherwise
};

struct Broadcast {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::optional<std::string> lParamText;
    bool notifyOnly;  // SendNotifyMessage rather than SendMessageTimeout
};

struct ShownMessageBox {
    plat::WindowHandle owner;
    std::string text;
    std::string caption;
    std::uint32_t type;
    int answer;
};

class SimWindows : public plat::WindowApi {
public:
    explicit SimWindows(SimState& state) : state_(state) {}

    plat::WindowHandle addWindow(const std::string& utf8Title, bool iconic = false,
                                 std::uint64_t closesAtMs = UINT64_MAX, const std::string& className = "#32770");
    const std::vector<Broadcast>& broadcasts() const { return broadcasts_; }
    void removeWindow(plat::WindowHandle window);
    const SimWindow* window(plat::WindowHandle handle) const;
    plat::WindowHandle foreground() const { return foreground_; }
    void setActiveWindow(plat::WindowHandle window) { active_ = window; }

    // Answers for the next message boxes, in order; without one, the box is answered with
    // its first button (OK or Yes).
    void scriptAnswers(const std::vector<int>& answers);
    const std::vector<ShownMessageBox>& messageBoxes() const { return shown_; }
    void clearMessageBoxes() { shown_.clear(); }

    plat::WindowHandle FindWindowByTitle(const std::string& utf8Title) override;
    // The simulated desktop keeps titles as the bytes they were given.
    plat::WindowHandle FindWindowByAnsiTitle(const std::string& ansiTitle) override;
    // The desktop keeps each title as the bytes it was set with and has no code page: a
    // title set in GBK is found by its bytes through the ANSI form, not by the Chinese
    // text through the Unicode one, as on a Windows whose code page is not Chinese.
    std::vector<plat::WindowHandle> FindWindows(const std::string& className, const std::string& utf8Title,
                                                const std::string& ansiTitle) override;
    bool SetForegroundWindow(plat::WindowHandle window) override;
    bool IsIconic(plat::WindowHandle window) override;
    bool OpenIcon(plat::WindowHandle window) override;
    plat::WindowHandle GetActiveWindow() override;
    bool SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                     const std::optional<std::string>& lParamText, std::uint32_t flags,
                                     std::uint32_t timeoutMs) override;
    bool SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                    const std::optional<std::string>& lParamText) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
    std::vector<std::uint32_t> exitRequests;  // the flags of every accepted request
    bool exitRefused = false;                 // e.g. the shutdown right is missing
    int MessageBox(plat::WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override;

private:
    SimWindow* find(plat::WindowHandle handle);
    SimState& state_;
    std::vector<SimWindow> windows_;
    std::deque<int> answers_;
    std::vector<ShownMessageBox> shown_;
    std::vector<Broadcast> broadcasts_;
    plat::WindowHandle foreground_ = 0;
    plat::WindowHandle active_ = 0;
    plat::WindowHandle next_ = 0x20000;
};

class SimClock : public plat::ClockApi {
public:
    explicit SimClock(SimState& state) : state_(state) {}
    void Sleep(std::uint32_t ms) override {
        state_.nowMs += ms;
        sleeps.push_back(ms);
    }
    std::uint32_t GetTickCount() override { return static_cast<std::uint32_t>(state_.nowMs); }
    // The virtual clock counts from midnight of `startDay`.
    plat::LocalTime startDay{2024, 3, 1, 0, 0, 0, 0};
    plat::LocalTime GetLocalTime() override {
        plat::LocalTime t = startDay;
        const std::uint64_t ms = state_.nowMs;
        t.milliseconds = static_cast<int>(ms % 1000);
        t.second = static_cast<int>(ms / 1000 % 60);
        t.minute = static_cast<int>(ms / 60000 % 60);
        t.hour = static_cast<int>(ms / 3600000 % 24);
        t.day += static_cast<int>(ms / 86400000);  // a run lasts minutes, never into another month
        return t;
    }
    std::vector<std::uint32_t> sleeps;  // every sleep, in order

private:
    SimState& state_;
};

}  // namespace sim
