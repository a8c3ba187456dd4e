#include "platform/win32/WindowsHeaders.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32DialogView.h"

namespace plat {

namespace {

HWND item(WindowHandle dialog, int control) { return ::GetDlgItem(reinterpret_cast<HWND>(dialog), control); }

bool isCombo(HWND window) {
    char cls[32] = {0};
    ::GetClassNameA(window, cls, sizeof cls);
    return ::lstrcmpiA(cls, "ComboBox") == 0;
}

}  // namespace

void Win32DialogView::SetText(int control, const std::string& text) {
    ::SetDlgItemTextA(reinterpret_cast<HWND>(dialog_), control, text.c_str());
}

std::string Win32DialogView::GetText(int control) {
    HWND w = item(dialog_, control);
    const int length = ::GetWindowTextLengthA(w);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(w, buffer.data(), length + 1);
    return std::string(buffer.data());
}

void Win32DialogView::Enable(int control, bool enabled) { ::EnableWindow(item(dialog_, control), enabled); }
bool Win32DialogView::IsEnabled(int control) { return ::IsWindowEnabled(item(dialog_, control)) != FALSE; }
void Win32DialogView::Show(int control, bool visible) { ::ShowWindow(item(dialog_, control), visible ? SW_SHOW : SW_HIDE); }
bool Win32DialogView::IsVisible(int control) { return ::IsWindowVisible(item(dialog_, control)) != FALSE; }

void Win32DialogView::SetCheck(int control, bool checked) {
    ::CheckDlgButton(reinterpret_cast<HWND>(dialog_), control, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32DialogView::IsChecked(int control) {
    return ::IsDlgButtonChecked(reinterpret_cast<HWND>(dialog_), control) == BST_CHECKED;
}

void Win32DialogView::SetFocus(int control) { ::SetFocus(item(dialog_, control)); }
void Win32DialogView::SetCaption(const std::string& text) { ::SetWindowTextA(reinterpret_cast<HWND>(dialog_), text.c_str()); }
void Win32DialogView::Close(int result) { ::EndDialog(reinterpret_cast<HWND>(dialog_), result); }

void Win32DialogView::SetRange(int control, int low, int high) {
    ::SendMessageA(item(dialog_, control), PBM_SETRANGE, 0, MAKELPARAM(low, high));
}
void Win32DialogView::SetPosition(int control, int position) {
    ::SendMessageA(item(dialog_, control), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
int Win32DialogView::Position(int control) {
    return static_cast<int>(::SendMessageA(item(dialog_, control), PBM_GETPOS, 0, 0));
}
std::uint32_t Win32DialogView::GetAddress(int control) {
    DWORD address = 0;
    ::SendMessageA(item(dialog_, control), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}
void Win32DialogView::SetAddress(int control, std::uint32_t address) {
    ::SendMessageA(item(dialog_, control), IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

void Win32DialogView::ListReset(int control) {
    HWND w = item(dialog_, control);
    ::SendMessageA(w, isCombo(w) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int Win32DialogView::ListAdd(int control, const std::string& text) {
    HWND w = item(dialog_, control);
    return static_cast<int>(
        ::SendMessageA(w, isCombo(w) ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int Win32DialogView::ListCount(int control) {
    HWND w = item(dialog_, control);
    return static_cast<int>(::SendMessageA(w, isCombo(w) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
}

std::string Win32DialogView::ListItem(int control, int index) {
    HWND w = item(dialog_, control);
    const bool combo = isCombo(w);
    const LRESULT length = ::SendMessageA(w, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(w, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}

void Win32DialogView::ListSelect(int control, int index) {
    HWND w = item(dialog_, control);
    ::SendMessageA(w, isCombo(w) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32DialogView::ListSelection(int control) {
    HWND w = item(dialog_, control);
    return static_cast<int>(::SendMessageA(w, isCombo(w) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

void Win32DialogView::RowsReset(int control) { ::SendMessageA(item(dialog_, control), LVM_DELETEALLITEMS, 0, 0); }

int Win32DialogView::RowAdd(int control, const std::string& text) {
    HWND w = item(dialog_, control);
    LVITEMA row;
    std::memset(&row, 0, sizeof row);
    row.mask = LVIF_TEXT;
    row.iItem = static_cast<int>(::SendMessageA(w, LVM_GETITEMCOUNT, 0, 0));
    row.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(::SendMessageA(w, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

void Win32DialogView::RowDelete(int control, int row) {
    ::SendMessageA(item(dialog_, control), LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

int Win32DialogView::RowCount(int control) {
    return static_cast<int>(::SendMessageA(item(dialog_, control), LVM_GETITEMCOUNT, 0, 0));
}

std::string Win32DialogView::RowText(int control, int row) {
    char buffer[260] = {0};
    LVITEMA it;
    std::memset(&it, 0, sizeof it);
    it.iSubItem = 0;
    it.pszText = buffer;
    it.cchTextMax = sizeof buffer;
    ::SendMessageA(item(dialog_, control), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return std::string(buffer);
}

void Win32DialogView::RowCheck(int control, int row, bool checked) {
    LVITEMA it;
    std::memset(&it, 0, sizeof it);
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(item(dialog_, control), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

bool Win32DialogView::RowChecked(int control, int row) {
    const LRESULT state =
        ::SendMessageA(item(dialog_, control), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

}  // namespace plat
