#include "platform/win32/Win32Fonts.h"

namespace plat {

namespace {
const char kOwnFontProperty[] = "klm.font";
}

HFONT MakeFont(const FontParameters& f) {
    return ::CreateFontA(f.height, f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline,
                         f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily,
                         f.faceName);
}

void ApplyFont(HWND dialog, HFONT font) {
    ::SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void GiveOwnFont(HWND dialog, const FontParameters& f) {
    HFONT font = MakeFont(f);
    ::SetPropA(dialog, kOwnFontProperty, font);
    ApplyFont(dialog, font);
}

void ReleaseOwnFont(HWND dialog) {
    if (HANDLE font = ::RemovePropA(dialog, kOwnFontProperty)) ::DeleteObject(font);
}

}  // namespace plat
