// A dialog's controls as plain state, for tests of the dialog logic: what each control
// shows, whether it is enabled, visible or checked, list items and list-view rows.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/DialogView.h"

namespace sim {

struct SimControl {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool focused = false;
    std::vector<std::string> items;
    int selection = -1;
    std::vector<std::pair<std::string, bool>> rows;  // text, checked
};

class SimDialogView : public plat::DialogView {
public:
    SimControl& control(int id) { return controls_[id]; }
    const std::string& caption() const { return caption_; }
    bool closed() const { return closed_; }
    int result() const { return result_; }

    void SetText(int control, const std::string& text) override { controls_[control].text = text; }
    std::string GetText(int control) override { return controls_[control].text; }
    void Enable(int control, bool enabled) override { controls_[control].enabled = enabled; }
    bool IsEnabled(int control) override { return controls_[control].enabled; }
    void Show(int control, bool visible) override { controls_[control].visible = visible; }
    bool IsVisible(int control) override { return controls_[control].visible; }
    void SetCheck(int control, bool checked) override { controls_[control].checked = checked; }
    bool IsChecked(int control) override { return controls_[control].checked; }
    void SetFocus(int control) override {
        for (auto& c : controls_) c.second.focused = false;
        controls_[control].focused = true;
    }
    void SetCaption(const std::string& text) override { caption_ = text; }
    void Close(int result) override {
        closed_ = true;
        result_ = result;
    }

    void ListReset(int control) override {
        controls_[control].items.clear();
        controls_[control].selection = -1;
    }
    int ListAdd(int control, const std::string& text) override {
        controls_[control].items.push_back(text);
        return static_cast<int>(controls_[control].items.size()) - 1;
    }
    int ListCount(int control) override { return static_cast<int>(controls_[control].items.size()); }
    std::string ListItem(int control, int index) override {
        const auto& items = controls_[control].items;
        return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "";
    }
    void ListSelect(int control, int index) override { controls_[control].selection = index; }
    int ListSelection(int control) override { return controls_[control].selection; }

    void RowsReset(int control) override { controls_[control].rows.clear(); }
    int RowAdd(int control, const std::string& text) override {
        controls_[control].rows.emplace_back(text, false);
        return static_cast<int>(controls_[control].rows.size()) - 1;
    }
    void RowDelete(int control, int row) override {
        auto& rows = controls_[control].rows;
        if (row >= 0 && row < static_cast<int>(rows.size())) rows.erase(rows.begin() + row);
    }
    int RowCount(int control) override { return static_cast<int>(controls_[control].rows.size()); }
    std::string RowText(int control, int row) override {
        const auto& rows = controls_[control].rows;
        return row >= 0 && row < static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(row)].first : "";
    }
    void RowCheck(int control, int row, bool checked) override {
        auto& rows = controls_[control].rows;
        if (row >= 0 && row < static_cast<int>(rows.size())) rows[static_cast<std::size_t>(row)].second = checked;
    }
    bool RowChecked(int control, int row) override {
        const auto& rows = controls_[control].rows;
        return row >= 0 && row < static_cast<int>(rows.size()) && rows[static_cast<std::size_t>(row)].second;
    }

private:
    std::map<int, SimControl> controls_;
    std::string caption_;
    bool closed_ = false;
    int result_ = 0;
};

}  // namespace sim
