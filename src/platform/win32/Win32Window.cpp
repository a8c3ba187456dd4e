#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

#include <vector>

namespace plat {

namespace {
HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }
}  // namespace

WindowHandle Win32WindowApi::FindWindowByTitle(const std::string& utf8Title) {
    int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8Title.c_str(), -1, nullptr, 0);
    if (length <= 0) return 0;
    std::vector<wchar_t> title(static_cast<std::size_t>(length));
    if (::MultiByteToWideChar(CP_UTF8, 0, utf8Title.c_str(), -1, title.data(), length) <= 0)
        return 0;
    return FromHwnd(::FindWindowW(nullptr, title.data()));
}

std::vector<WindowHandle> Win32WindowApi::FindWindows(const std::string& className, const std::string& utf8Title,
                                                      const std::string& ansiTitle) {
    std::vector<WindowHandle> found;
    auto add = [&](HWND w) {
        for (WindowHandle h : found)
            if (h == FromHwnd(w)) return;
        found.push_back(FromHwnd(w));
    };
    auto wide = [](const std::string& utf8) {
        std::vector<wchar_t> text(1, L'\0');
        const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
        if (length > 0) {
            text.resize(static_cast<std::size_t>(length));
            ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), length);
        }
        return text;
    };
    // A few hundred top-level windows at most; the bound only guards against a desktop
    // that keeps changing under the walk.
    constexpr int kMaxWindows = 4096;
    if (!utf8Title.empty()) {
        const auto title = wide(utf8Title);
        const auto cls = wide(className);
        HWND w = nullptr;
        for (int n = 0; n < kMaxWindows; ++n) {
            w = ::FindWindowExW(nullptr, w, className.empty() ? nullptr : cls.data(), title.data());
            if (!w) break;
            add(w);
        }
    }
    if (!ansiTitle.empty()) {
        HWND w = nullptr;
        for (int n = 0; n < kMaxWindows; ++n) {
            w = ::FindWindowExA(nullptr, w, className.empty() ? nullptr : className.c_str(), ansiTitle.c_str());
            if (!w) break;
            add(w);
        }
    }
    return found;
}

bool Win32WindowApi::SetForegroundWindow(WindowHandle window) {
    return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32WindowApi::IsIconic(WindowHandle window) { return ::IsIconic(ToHwnd(window)) != FALSE; }

bool Win32WindowApi::OpenIcon(WindowHandle window) { return ::OpenIcon(ToHwnd(window)) != FALSE; }

WindowHandle Win32WindowApi::GetActiveWindow() { return FromHwnd(::GetActiveWindow()); }

int Win32WindowApi::MessageBox(WindowHandle owner, const std::string& text,
                               const std::string& caption, std::uint32_t type) {
    return ::MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), type);
}

}  // namespace plat

namespace plat {

bool Win32WindowApi::SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                                 const std::optional<std::string>& lParamText, std::uint32_t flags,
                                                 std::uint32_t timeoutMs) {
    DWORD_PTR result = 0;
    const LPARAM lParam = lParamText ? reinterpret_cast<LPARAM>(lParamText->c_str()) : 0;
    return ::SendMessageTimeoutA(HWND_BROADCAST, message, wParam, lParam, flags, timeoutMs, &result) != 0;
}

bool Win32WindowApi::SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                                const std::optional<std::string>& lParamText) {
    const LPARAM lParam = lParamText ? reinterpret_cast<LPARAM>(lParamText->c_str()) : 0;
    return ::SendNotifyMessageA(HWND_BROADCAST, message, wParam, lParam) != FALSE;
}

}  // namespace plat

namespace plat {

WindowHandle Win32WindowApi::FindWindowByAnsiTitle(const std::string& ansiTitle) {
    return reinterpret_cast<WindowHandle>(::FindWindowA(nullptr, ansiTitle.c_str()));
}

}  // namespace plat

namespace plat {

bool Win32WindowApi::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

}  // namespace plat
