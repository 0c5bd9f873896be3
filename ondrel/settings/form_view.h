#pragma once
#include <string>
#include <vector>

namespace ondrel {

// A dialog's controls as the settings logic drives them, each addressed by its
// control name; an element of a control array is "name_index" (txtAIScanStart_0).
// Nothing here runs a control's click: where a change made from code must act
// as the user's click, the logic calls that handler itself.
class IFormView {
public:
    virtual ~IFormView() = default;
    // Text of a box or caption of a label.
    virtual std::string Text(const std::string& control) const = 0;
    virtual void SetText(const std::string& control, const std::string& text) = 0;
    virtual bool IsEnabled(const std::string& control) const = 0;
    virtual void SetEnabled(const std::string& control, bool enabled) = 0;
    // Check boxes and option buttons; switching an option button on switches
    // the others of its group off.
    virtual bool Checked(const std::string& control) const = 0;
    virtual void SetChecked(const std::string& control, bool checked) = 0;
    // Drop-down lists: the items, and the selected position (-1: none). A
    // position outside the list selects nothing.
    virtual void SetItems(const std::string& list, const std::vector<std::string>& items) = 0;
    virtual int Selected(const std::string& list) const = 0;
    virtual void Select(const std::string& list, int position) = 0;
    // Report-style lists: the number of rows and the text of one cell.
    virtual void SetRowCount(const std::string& list, int rows) = 0;
    virtual void SetCell(const std::string& list, int row, int column, const std::string& text) = 0;
    virtual void Close() = 0;
};

} // namespace ondrel
