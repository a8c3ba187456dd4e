// What a dialog's logic sees of its window: controls by id. The Win32 view forwards to the
// dialog's HWND; tests use a map of control states. Dialog classes hold their own fields
// and decisions and touch their controls only through this.
#pragma once
#include <cstdint>
#include <string>

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

    // List boxes and combo boxes: the same operations.
    virtual void ListReset(int control) = 0;
    virtual int ListAdd(int control, const std::string& text) = 0;  // index of the new item
    virtual int ListCount(int control) = 0;
    virtual std::string ListItem(int control, int index) = 0;
    virtual void ListSelect(int control, int index) = 0;  // -1 for none
    virtual int ListSelection(int control) = 0;

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
