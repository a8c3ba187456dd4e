// Top-level windows found by title, and message boxes.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace plat {

class WindowApi {
public:
    virtual ~WindowApi() = default;
    // The title is UTF-8 and is matched as Unicode, so a Chinese title is found whatever
    // the system's ANSI code page is.
    virtual WindowHandle FindWindowByTitle(const std::string& utf8Title) = 0;
    // A title from the language files: ANSI bytes of the system's code page (FindWindowA).
    virtual WindowHandle FindWindowByAnsiTitle(const std::string& ansiTitle) = 0;
    // Every top-level window of `className` (any class when empty) titled `utf8Title` as
    // Unicode (FindWindowExW) or `ansiTitle` as the ANSI bytes of the code page in use
    // (FindWindowExA), each once, in the desktop's order; an empty form is not looked for.
    // A program that set its caption from a language file's bytes is found by the second
    // whatever the code page; one that set it in Unicode by the first.
    virtual std::vector<WindowHandle> FindWindows(const std::string& className, const std::string& utf8Title,
                                                  const std::string& ansiTitle) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual bool OpenIcon(WindowHandle window) = 0;
    virtual WindowHandle GetActiveWindow() = 0;
    // Messages to every top-level window (HWND_BROADCAST); lParam is a text or null.
    virtual bool SendMessageTimeoutBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                             const std::optional<std::string>& lParamText, std::uint32_t flags,
                                             std::uint32_t timeoutMs) = 0;
    virtual bool SendNotifyMessageBroadcast(std::uint32_t message, std::uintptr_t wParam,
                                            const std::optional<std::string>& lParamText) = 0;
    // EWX_REBOOT is 2. The simulated machine only records the request.
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    // text and caption are ANSI bytes (the language files' code page), as MessageBoxA.
    virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) = 0;
};

}  // namespace plat
