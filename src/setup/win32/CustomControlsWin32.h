// The wizard's own edit and label logic bound to real windows: an existing control is
// subclassed and its messages handed to the logic object; the dialog that owns it forwards
// its control-colour messages here, since plain dialogs do not reflect them.
//
//   AttachEditEx(::GetDlgItem(page, kAgreementText), agreementEdit);
//   ...
//   case WM_CTLCOLOREDIT:
//   case WM_CTLCOLORSTATIC: {
//       INT_PTR brush = 0;
//       if (CustomControlColour(message, wParam, lParam, &brush)) return brush;
//       return FALSE;
//   }
//
// The binding owns the fonts and brushes made for the control and frees them, and gives
// the control its own window procedure back, when the window is destroyed. A logic object
// that goes away first only stops being called.
#pragma once
#include "platform/win32/WindowsHeaders.h"
#include "setup/CEditEx.h"
#include "setup/ColorLabel.h"

namespace setup {

// The system colours and default GUI font now; what new controls start from.
SystemLook CurrentSystemLook();

// Binds the control to the logic object (again binding a bound control moves it to the new
// object). False when the window is not valid or cannot be subclassed.
bool AttachEditEx(HWND edit, CEditEx& logic);
bool AttachColorLabel(HWND label, ColorLabel& logic);

// For WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC in the parent's dialog procedure: when the
// control is bound, sets the colours (and the label's font) on the device context, puts the
// brush in *brush and answers true; a dialog procedure returns that brush as its result.
bool CustomControlColour(UINT message, WPARAM hdc, LPARAM control, INT_PTR* brush);

// Registers the window class "CEditEx" for this module: an EDIT whose every window gets a
// CEditEx of its own, in the system's colours, reached through EditExOf. Registering twice
// is harmless.
bool RegisterEditExClass(HINSTANCE instance);
// The logic object bound to an edit control; null when none is.
CEditEx* EditExOf(HWND edit);

}  // namespace setup
