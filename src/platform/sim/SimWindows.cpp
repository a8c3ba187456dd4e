#include "platform/sim/SimWindows.h"

namespace sim {

plat::WindowHandle SimWindows::addWindow(const std::string& utf8Title, bool iconic, std::uint64_t closesAtMs) {
    SimWindow w{next_, utf8Title, iconic, closesAtMs};
    next_ += 2;
    windows_.push_back(w);
    return w.handle;
}

void SimWindows::removeWindow(plat::WindowHandle window) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it)
        if (it->handle == window) {
            windows_.erase(it);
            return;
        }
}

SimWindow* SimWindows::find(plat::WindowHandle handle) {
    for (auto& w : windows_)
        if (w.handle == handle) return &w;
    return nullptr;
}

const SimWindow* SimWindows::window(plat::WindowHandle handle) const {
    for (const auto& w : windows_)
        if (w.handle == handle) return &w;
    return nullptr;
}

void SimWindows::scriptAnswers(const std::vector<int>& answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

plat::WindowHandle SimWindows::FindWindowByTitle(const std::string& utf8Title) {
    if (state_.enter("FindWindowW")) return 0;
    for (const auto& w : windows_)
        if (w.title == utf8Title && state_.nowMs < w.closesAtMs) return w.handle;  // exact, case included
    return 0;
}

plat::WindowHandle SimWindows::FindWindowByAnsiTitle(const std::string& ansiTitle) {
    if (state_.enter("FindWindowA")) return 0;
    for (const auto& w : windows_)
        if (w.title == ansiTitle && state_.nowMs < w.closesAtMs) return w.handle;
    return 0;
}

bool SimWindows::SetForegroundWindow(plat::WindowHandle window) {
    if (state_.enter("SetForegroundWindow")) return false;
    if (!find(window)) return false;
    foreground_ = window;
    return true;
}

bool SimWindows::IsIconic(plat::WindowHandle window) {
    SimWindow* w = find(window);
    return w && w->iconic;
}

bool SimWindows::OpenIcon(plat::WindowHandle window) {
    if (state_.enter("OpenIcon")) return false;
    SimWindow* w = find(window);
    if (!w) return state_.fail(plat::kErrorInvalidHandle);
    w->iconic = false;
    return true;
}

bool SimWindows::SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                             const std::optional<std::string>& lParamText, std::uint32_t,
                                             std::uint32_t) {
    if (state_.enter("SendMessageTimeoutA")) return false;
    broadcasts_.push_back({message, wParam, lParamText, false});
    return true;
}

bool SimWindows::SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                            const std::optional<std::string>& lParamText) {
    if (state_.enter("SendNotifyMessageA")) return false;
    broadcasts_.push_back({message, wParam, lParamText, true});
    return true;
}

bool SimWindows::ExitWindowsEx(std::uint32_t flags, std::uint32_t) {
    if (state_.enter("ExitWindowsEx")) return false;
    if (exitRefused) return state_.fail(1314);  // ERROR_PRIVILEGE_NOT_HELD
    exitRequests.push_back(flags);
    return true;
}

plat::WindowHandle SimWindows::GetActiveWindow() { return active_; }

int SimWindows::MessageBox(plat::WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) {
    if (state_.enter("MessageBoxA")) return 0;
    int answer;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    } else {
        // The first button of each layout: OK, OK, Abort, Yes, Yes, Retry, Cancel.
        static const int kFirstButton[] = {plat::kIdOk, plat::kIdOk, 3, plat::kIdYes, plat::kIdYes, 4, plat::kIdCancel};
        const std::uint32_t buttons = type & plat::kMbTypeMask;
        answer = buttons < 7 ? kFirstButton[buttons] : static_cast<int>(plat::kIdOk);
    }
    shown_.push_back({owner, text, caption, type, answer});
    return answer;
}

}  // namespace sim
