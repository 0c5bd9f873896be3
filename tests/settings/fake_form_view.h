#pragma once
#include "ondrel/settings/settings_form.h"
#include <map>
#include <set>
#include <string>
#include <vector>

namespace ondrel::testing {

// The controls of a dialog as plain values, by name; every control starts
// enabled, empty and unchecked. Option buttons of one group exclude each other.
class FakeFormView : public ISettingsFormView {
public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
        std::vector<std::vector<std::string>> rows;
    };

    std::string Text(const std::string& c) const override { return At(c).text; }
    void SetText(const std::string& c, const std::string& t) override { controls[c].text = t; }
    bool IsEnabled(const std::string& c) const override { return At(c).enabled; }
    void SetEnabled(const std::string& c, bool e) override { controls[c].enabled = e; }
    bool Checked(const std::string& c) const override { return At(c).checked; }
    void SetChecked(const std::string& c, bool on) override
    {
        for (const auto& group : kOptionGroups)
            if (on && group.contains(c))
                for (const auto& other : group)
                    controls[other].checked = false;
        controls[c].checked = on;
    }
    void SetItems(const std::string& l, const std::vector<std::string>& items) override
    {
        controls[l].items = items;
        controls[l].selected = -1;
    }
    int Selected(const std::string& l) const override { return At(l).selected; }
    void Select(const std::string& l, int position) override
    {
        Control& c = controls[l];
        c.selected = position >= 0 && position < static_cast<int>(c.items.size()) ? position : -1;
    }
    void SetRowCount(const std::string& l, int rows) override
    {
        controls[l].rows.assign(static_cast<size_t>(rows), std::vector<std::string>(6));
    }
    void SetCell(const std::string& l, int row, int column, const std::string& text) override
    {
        controls[l].rows.at(static_cast<size_t>(row)).at(static_cast<size_t>(column)) = text;
    }
    void Close() override { ++closed; }
    void ShowTab(int tab) override { shownTab = tab; }
    void ShowGainRange() override { ++gainRangeOpened; }

    // The text of one column of the gain list, row by row.
    std::vector<std::string> Column(int column) const
    {
        std::vector<std::string> cells;
        for (const auto& row : At("lstViewGain").rows)
            cells.push_back(row.at(static_cast<size_t>(column)));
        return cells;
    }

    std::map<std::string, Control> controls;
    int closed = 0;
    int shownTab = -1;
    int gainRangeOpened = 0;

private:
    const Control& At(const std::string& c) const
    {
        static const Control none;
        const auto it = controls.find(c);
        return it == controls.end() ? none : it->second;
    }
    inline static const std::vector<std::set<std::string>> kOptionGroups{{"OptAI", "OptThermo"},
                                                                         {"optSingle", "optDifferent"}};
};

} // namespace ondrel::testing
