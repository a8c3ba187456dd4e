// The dialog view over a real dialog window: each operation is the control message of the
// same meaning (list boxes and combo boxes by their class, list views with check boxes).
#pragma once
#include "platform/DialogView.h"
#include "platform/WinTypes.h"

namespace plat {

class Win32DialogView final : public DialogView {
public:
    explicit Win32DialogView(WindowHandle dialog) : dialog_(dialog) {}
    WindowHandle window() const { return dialog_; }

    void SetText(int control, const std::string& text) override;
    std::string GetText(int control) override;
    void Enable(int control, bool enabled) override;
    bool IsEnabled(int control) override;
    void Show(int control, bool visible) override;
    bool IsVisible(int control) override;
    void SetCheck(int control, bool checked) override;
    bool IsChecked(int control) override;
    void SetFocus(int control) override;
    void SetCaption(const std::string& text) override;
    void Close(int result) override;
    WindowHandle Window() override { return dialog_; }

    void ListReset(int control) override;
    int ListAdd(int control, const std::string& text) override;
    int ListCount(int control) override;
    std::string ListItem(int control, int index) override;
    void ListSelect(int control, int index) override;
    int ListSelection(int control) override;

    void SetRange(int control, int low, int high) override;
    void SetPosition(int control, int position) override;
    int Position(int control) override;
    std::uint32_t GetAddress(int control) override;
    void SetAddress(int control, std::uint32_t address) override;

    void RowsReset(int control) override;
    int RowAdd(int control, const std::string& text) override;
    void RowDelete(int control, int row) override;
    int RowCount(int control) override;
    std::string RowText(int control, int row) override;
    void RowCheck(int control, int row, bool checked) override;
    bool RowChecked(int control, int row) override;

private:
    WindowHandle dialog_;
};

}  // namespace plat
