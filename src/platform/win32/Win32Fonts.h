// A dialog font made from its parameters (the caller's configuration says which), and
// putting a font on a dialog and every control in it. Both programs' window code uses these.
#pragma once
#include "platform/WinTypes.h"
#include "platform/win32/WindowsHeaders.h"

namespace plat {

HFONT MakeFont(const FontParameters& f);
void ApplyFont(HWND dialog, HFONT font);
// For a box that makes its own copy of the font: kept with the window and deleted by
// ReleaseOwnFont when the window is destroyed.
void GiveOwnFont(HWND dialog, const FontParameters& f);
void ReleaseOwnFont(HWND dialog);

}  // namespace plat
