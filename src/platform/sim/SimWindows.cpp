#include "platform/sim/SimWindows.h"

namespace sim {

namespace {

char foldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// FindWindow compares titles without regard to case, folding every letter Unicode knows.
// Only ASCII letters are folded here: "Setup" finds "SETUP", but "É" does not find "é".
// In UTF-8 every byte of a non-ASCII character is 0x80 or above, so byte-wise folding of
// ASCII letters never touches one.
bool sameTitleUtf8(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

// The ANSI form: FindWindowA converts to Unicode with the ANSI code page and compares as
// above. The simulated desktop has no code page, so it takes every byte from 0x81 up for
// the lead byte of a double-byte character (GBK) and compares its trail byte exactly: a
// GBK trail byte may lie in the ASCII letter range without being a letter. The same
// ASCII-only limit applies: a code page's own letters (0xC9/0xE9 in 1252) are not folded.
bool sameTitleAnsi(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (static_cast<unsigned char>(a[i]) > 0x80 && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

plat::WindowHandle SimWindows::addWindow(const std::string& utf8Title, bool iconic, std::uint64_t closesAtMs,
                                         const std::string& className) {
    SimWindow w{next_, utf8Title, iconic, closesAtMs, className};
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
        if (sameTitleUtf8(w.title, utf8Title) && state_.nowMs < w.closesAtMs) return w.handle;
    return 0;
}

plat::WindowHandle SimWindows::FindWindowByAnsiTitle(const std::string& ansiTitle) {
    if (state_.enter("FindWindowA")) return 0;
    for (const auto& w : windows_)
        if (sameTitleAnsi(w.title, ansiTitle) && state_.nowMs < w.closesAtMs) return w.handle;
    return 0;
}

std::vector<plat::WindowHandle> SimWindows::FindWindows(const std::string& className, const std::string& utf8Title,
                                                        const std::string& ansiTitle) {
    std::vector<plat::WindowHandle> found;
    for (const auto& w : windows_) {
        if (state_.nowMs >= w.closesAtMs || (!className.empty() && !sameTitleUtf8(w.className, className))) continue;
        const bool unicode = !utf8Title.empty() && sameTitleUtf8(w.title, utf8Title);
        const bool ansi = !ansiTitle.empty() && sameTitleAnsi(w.title, ansiTitle);
        if (unicode || ansi) found.push_back(w.handle);
    }
    const bool failW = !utf8Title.empty() && state_.enter("FindWindowExW");
    const bool failA = !ansiTitle.empty() && state_.enter("FindWindowExA");
    return failW || failA ? std::vector<plat::WindowHandle>{} : found;
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
