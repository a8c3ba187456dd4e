#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

void Win32ClockApi::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint32_t Win32ClockApi::GetTickCount() { return ::GetTickCount(); }

LocalTime Win32ClockApi::GetLocalTime() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    LocalTime local;
    local.year = t.wYear;
    local.month = t.wMonth;
    local.day = t.wDay;
    local.hour = t.wHour;
    local.minute = t.wMinute;
    local.second = t.wSecond;
    local.milliseconds = t.wMilliseconds;
    return local;
}

Win32Platform::Win32Platform()
    : platform_{profile_, registry_, system_, process_, security_, services_,
                windows_, clock_,    spooler_, files_,   shell_,    usb_} {}

}  // namespace plat
