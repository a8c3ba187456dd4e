// Top-level windows found by a Unicode title, restoring a minimised window, message boxes
// and the clock, against real windows.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WineTestSupport.h"
#include "platform/win32/WindowsHeaders.h"

using namespace plat;
using winetest::Real;

namespace {

// "打印机驱动安装" (printer driver setup), in both encodings the test needs.
const char kChineseTitleUtf8[] = u8"\u6253\u5370\u673a\u9a71\u52a8\u5b89\u88c5";
const wchar_t kChineseTitleWide[] = L"\u6253\u5370\u673a\u9a71\u52a8\u5b89\u88c5";

class TopLevelWindow {
public:
    TopLevelWindow(const wchar_t* title, DWORD style) {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"KlmWineTestWindow";
            return ::RegisterClassW(&wc);
        }();
        EXPECT_NE(0, atom);
        hwnd_ = ::CreateWindowW(L"KlmWineTestWindow", title, style, 10, 10, 300, 200, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~TopLevelWindow() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    HWND hwnd() const { return hwnd_; }
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }
    void Pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }

private:
    HWND hwnd_ = nullptr;
};

TEST(Win32Window, FindsAWindowByItsChineseTitle) {
    WindowApi& windows = Real().windows;
    EXPECT_EQ(0u, windows.FindWindowByTitle(kChineseTitleUtf8));
    WindowHandle handle = 0;
    {
        TopLevelWindow window(kChineseTitleWide, WS_OVERLAPPEDWINDOW);
        ASSERT_NE(nullptr, window.hwnd());
        handle = window.handle();
        EXPECT_EQ(handle, windows.FindWindowByTitle(kChineseTitleUtf8));
        // One character short is another title.
        std::string shorter(kChineseTitleUtf8, sizeof kChineseTitleUtf8 - 4);
        EXPECT_EQ(0u, windows.FindWindowByTitle(shorter));
    }
    EXPECT_EQ(0u, windows.FindWindowByTitle(kChineseTitleUtf8)) << "gone once destroyed";
}

TEST(Win32Window, OpenIconRestoresAMinimisedWindow) {
    WindowApi& windows = Real().windows;
    TopLevelWindow window(L"KlmWineTest minimised", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_NE(nullptr, window.hwnd());
    window.Pump();
    EXPECT_FALSE(windows.IsIconic(window.handle()));
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    window.Pump();
    EXPECT_TRUE(windows.IsIconic(window.handle()));
    EXPECT_TRUE(windows.OpenIcon(window.handle()));
    window.Pump();
    EXPECT_FALSE(windows.IsIconic(window.handle()));
    windows.SetForegroundWindow(window.handle());
    window.Pump();
    EXPECT_EQ(window.handle(), windows.GetActiveWindow());
}

TEST(Win32Window, MessageBoxReturnsTheButtonPressed) {
    const std::string caption = winetest::UniqueName("KlmWineTest box");
    std::atomic<bool> answered{false};
    // Presses "No" once the box is on screen; gives up after ten seconds.
    std::thread presser([&] {
        for (int i = 0; i < 500 && !answered; ++i) {
            HWND box = ::FindWindowA("#32770", caption.c_str());
            if (box && ::IsWindowVisible(box)) {
                ::PostMessageA(box, WM_COMMAND, IDNO, 0);
                answered = true;
                return;
            }
            ::Sleep(20);
        }
    });
    int result = Real().windows.MessageBox(0, "Remove the old driver?", caption,
                                           kMbYesNo | kMbIconQuestion);
    answered = true;
    presser.join();
    EXPECT_EQ(kIdNo, result);
}

TEST(Win32Clock, SleepLetsTheTickCountAdvance) {
    ClockApi& clock = Real().clock;
    std::uint32_t start = clock.GetTickCount();
    clock.Sleep(120);
    std::uint32_t elapsed = clock.GetTickCount() - start;
    EXPECT_GE(elapsed, 100u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
