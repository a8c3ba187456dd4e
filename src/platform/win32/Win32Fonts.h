// The dialog font of the Chinese wording, made from its parameters, and putting a font
// on a dialog and every control in it. Both programs' window code uses these.
#pragma once
#include "platform/win32/WindowsHeaders.h"

namespace plat {

HFONT MakeChineseFont();
void ApplyFont(HWND dialog, HFONT font);
// For a box that makes its own copy of the font: kept with the window and deleted by
// ReleaseOwnFont when the window is destroyed.
void GiveOwnChineseFont(HWND dialog);
void ReleaseOwnFont(HWND dialog);

}  // namespace plat
