// Resource and control ids of the uninstaller's dialogs, as win32/uninstall.rc lays them
// out (through win32/resource.h, which must hold the same numbers). The dialog logic
// reaches every control through these.
#pragma once

namespace uninstall {

// Templates and the icon.
constexpr int kUninstallDialogTemplate = 102;
constexpr int kAboutDialogTemplate = 100;
constexpr int kApplicationIcon = 128;
constexpr int kRestartDialogTemplate = 129;
constexpr int kRestartIcon = 130;

// The main dialog.
constexpr int kNoteText = 1006;         // read-only multi-line edit: what to do
constexpr int kComponentList = 1010;    // list view with check boxes, one row per item
constexpr int kUsbRemovalCheck = 1019;  // also remove the USB device driver
constexpr int kNoteList = 1008;         // list box: one line per removal step
constexpr int kUninstallButton = 1002;
constexpr int kSelectButton = 1012;
constexpr int kExitButton = 2;  // IDCANCEL, so Esc and the close box end the program too

// The system-menu entry that opens the About box; Windows keeps the low four bits of a
// system command for itself, so every id from 16 to 31 arrives as this entry.
constexpr unsigned kAboutCommand = 16;
constexpr unsigned kAboutCommandLast = 31;

// The About box.
constexpr int kAboutVersion = 1017;
constexpr int kAboutCopyright = 1018;
constexpr int kAboutOk = 1;  // IDOK

// The restart question.
constexpr int kRestartNote1 = 1014;
constexpr int kRestartNote2 = 1015;
constexpr int kRestartNote3 = 1016;
constexpr int kRestartYes = 1;  // IDOK
constexpr int kRestartNo = 2;   // IDCANCEL, so the close box answers No

}  // namespace uninstall
