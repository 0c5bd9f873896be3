#pragma once
#include "ondrel/settings/dialog_controls.h"
#include "ondrel/settings/settings_form.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace ondrel::testing {

// A dialog's controls as plain values: only the controls the dialog declares,
// each used only as its kind allows, so a misspelled name or a list addressed
// as a box fails the test that does it. Every control starts enabled, empty and
// unchecked; option buttons of one frame exclude each other.
class FakeFormView : public ISettingsFormView {
public:
    struct Control {
        ControlKind kind = ControlKind::Label;
        std::string group;
        std::string text;
        bool enabled = true;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
        std::vector<std::vector<std::string>> rows;
    };

    explicit FakeFormView(const std::vector<DeclaredControl>& declared)
    {
        for (const auto& d : declared) {
            Control control;
            control.kind = d.kind;
            control.group = d.group;
            controls_.emplace(d.name, control);
        }
    }

    std::string Text(const std::string& c) const override
    {
        return At(c, {ControlKind::Frame, ControlKind::Label, ControlKind::Box, ControlKind::Button, ControlKind::Check,
                      ControlKind::Option})
            .text;
    }
    void SetText(const std::string& c, const std::string& t) override
    {
        At(c, {ControlKind::Label, ControlKind::Box}).text = t;
    }
    bool IsEnabled(const std::string& c) const override { return At(c).enabled; }
    void SetEnabled(const std::string& c, bool e) override { At(c).enabled = e; }
    bool Checked(const std::string& c) const override
    {
        return At(c, {ControlKind::Check, ControlKind::Option}).checked;
    }
    void SetChecked(const std::string& c, bool on) override
    {
        Control& control = At(c, {ControlKind::Check, ControlKind::Option});
        if (on && control.kind == ControlKind::Option)
            for (auto& [name, other] : controls_)
                if (other.kind == ControlKind::Option && other.group == control.group)
                    other.checked = false;
        control.checked = on;
    }
    void SetItems(const std::string& l, const std::vector<std::string>& items) override
    {
        Control& list = At(l, {ControlKind::List});
        list.items = items;
        list.selected = -1;
    }
    int Selected(const std::string& l) const override { return At(l, {ControlKind::List}).selected; }
    void Select(const std::string& l, int position) override
    {
        Control& c = At(l, {ControlKind::List});
        c.selected = position >= 0 && position < static_cast<int>(c.items.size()) ? position : -1;
    }
    void SetRowCount(const std::string& l, int rows) override
    {
        At(l, {ControlKind::Report}).rows.assign(static_cast<size_t>(rows), std::vector<std::string>(6));
    }
    void SetCell(const std::string& l, int row, int column, const std::string& text) override
    {
        At(l, {ControlKind::Report}).rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = text;
    }
    void Close() override { ++closed; }
    void ShowTab(int tab) override { shownTab = tab; }
    void ShowGainRange() override { ++gainRangeOpened; }

    // The items of a drop-down list.
    const std::vector<std::string>& Items(const std::string& list) const { return At(list, {ControlKind::List}).items; }
    // The text of one column of the gain list, row by row.
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> cells;
        for (const auto& row : At("lstViewGain", {ControlKind::Report}).rows)
            cells.push_back(row.at(static_cast<size_t>(column)));
        return cells;
    }

    int closed = 0;
    int shownTab = -1;
    int gainRangeOpened = 0;

private:
    Control& At(const std::string& c, std::initializer_list<ControlKind> kinds = {})
    {
        const auto it = controls_.find(c);
        if (it == controls_.end()) {
            ADD_FAILURE() << "the dialog has no control " << c;
            throw std::logic_error("no control " + c);
        }
        if (kinds.size() != 0 && std::find(kinds.begin(), kinds.end(), it->second.kind) == kinds.end()) {
            ADD_FAILURE() << c << " is not a control of that kind";
            throw std::logic_error(c + " is not a control of that kind");
        }
        return it->second;
    }
    const Control& At(const std::string& c, std::initializer_list<ControlKind> kinds = {}) const
    {
        return const_cast<FakeFormView*>(this)->At(c, kinds);
    }

    std::map<std::string, Control> controls_;
};

} // namespace ondrel::testing
