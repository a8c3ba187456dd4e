// A dialog's controls as plain state: what each control shows, whether it is enabled,
// visible or checked, list items and list-view rows. The tests drive the dialog logic
// through it, and an unattended run uses it in place of the windows it never shows.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/DialogView.h"

namespace plat {

struct MemoryControl {
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool focused = false;
    std::vector<std::string> items;
    int selection = -1;
    std::vector<std::pair<std::string, bool>> rows;  // text, checked
    bool sorted = false;  // a list that inserts in order, as CBS_SORT (without regard to case)
    int low = 0, high = 100, position = 0;
    std::vector<int> positions;  // every position set, in order
    std::uint32_t address = 0;
};

class MemoryDialogView : public DialogView {
public:
    MemoryControl& control(int id) { return controls_[id]; }
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
        auto& c = controls_[control];
        auto at = c.items.end();
        if (c.sorted)
            at = std::upper_bound(c.items.begin(), c.items.end(), text, [](const std::string& a, const std::string& b) {
                return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
                });
            });
        // The position before inserting: the insertion may move the items elsewhere.
        const auto index = at - c.items.begin();
        c.items.insert(at, text);
        return static_cast<int>(index);
    }
    int ListCount(int control) override { return static_cast<int>(controls_[control].items.size()); }
    std::string ListItem(int control, int index) override {
        const auto& items = controls_[control].items;
        return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "";
    }
    void ListSelect(int control, int index) override { controls_[control].selection = index; }
    int ListSelection(int control) override { return controls_[control].selection; }

    void SetRange(int control, int low, int high) override {
        controls_[control].low = low;
        controls_[control].high = high;
    }
    void SetPosition(int control, int position) override {
        controls_[control].position = position;
        controls_[control].positions.push_back(position);
        if (onPosition) onPosition(control, position);
    }
    int Position(int control) override { return controls_[control].position; }
    std::uint32_t GetAddress(int control) override { return controls_[control].address; }
    void SetAddress(int control, std::uint32_t address) override { controls_[control].address = address; }
    // Called at every SetPosition: a test can note the time or change the world.
    std::function<void(int control, int position)> onPosition;

    WindowHandle Window() override { return window_; }
    void setWindow(WindowHandle w) { window_ = w; }

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
    std::map<int, MemoryControl> controls_;
    std::string caption_;
    WindowHandle window_ = 0;
    bool closed_ = false;
    int result_ = 0;
};

}  // namespace plat
