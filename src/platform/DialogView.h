// What a dialog's logic sees of its window: controls by id. The Win32 view forwards to the
// dialog's HWND; tests use a map of control states. Dialog classes hold their own fields
// and decisions and touch their controls only through this.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"

namespace plat {

class DialogView {
public:
    virtual ~DialogView() = default;

    virtual void SetText(int control, const std::string& text) = 0;  // ANSI bytes
    virtual std::string GetText(int control) = 0;
    virtual void Enable(int control, bool enabled) = 0;
    virtual bool IsEnabled(int control) = 0;
    virtual void Show(int control, bool visible) = 0;
    virtual bool IsVisible(int control) = 0;
    virtual void SetCheck(int control, bool checked) = 0;  // check boxes and radio buttons
    virtual bool IsChecked(int control) = 0;
    virtual void SetFocus(int control) = 0;
    // The window's own caption.
    virtual void SetCaption(const std::string& text) = 0;
    // Ends a modal dialog with a result.
    virtual void Close(int result) = 0;
    // The dialog's own window, to own the message boxes it shows.
    virtual WindowHandle Window() { return 0; }

    // List boxes and combo boxes: the same operations.
    virtual void ListReset(int control) = 0;
    virtual int ListAdd(int control, const std::string& text) = 0;  // index of the new item
    virtual int ListCount(int control) = 0;
    virtual std::string ListItem(int control, int index) = 0;
    virtual void ListSelect(int control, int index) = 0;  // -1 for none
    virtual int ListSelection(int control) = 0;

    // List boxes and combo boxes whose control keeps its items sorted (CBS_SORT, LBS_SORT)
    // answer ListAdd with the sorted position; the view reports it.

    // Progress bars.
    virtual void SetRange(int control, int low, int high) = 0;
    virtual void SetPosition(int control, int position) = 0;
    virtual int Position(int control) = 0;

    // IP address controls: the four fields, first field in the highest byte (IPM_GETADDRESS).
    virtual std::uint32_t GetAddress(int control) = 0;
    virtual void SetAddress(int control, std::uint32_t address) = 0;

    // List views with check boxes: rows of one text.
    virtual void RowsReset(int control) = 0;
    virtual int RowAdd(int control, const std::string& text) = 0;
    virtual void RowDelete(int control, int row) = 0;
    virtual int RowCount(int control) = 0;
    virtual std::string RowText(int control, int row) = 0;
    virtual void RowCheck(int control, int row, bool checked) = 0;
    virtual bool RowChecked(int control, int row) = 0;
};

}  // namespace plat
