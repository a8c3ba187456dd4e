#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

void Win32ClockApi::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32ClockApi::GetTickCount() { return ::GetTickCount(); }

Win32Platform::Win32Platform()
    : platform_{profile_, registry_, system_, process_, security_, services_,
                windows_, clock_,    spooler_, files_,   shell_,    usb_} {}

}  // namespace plat
