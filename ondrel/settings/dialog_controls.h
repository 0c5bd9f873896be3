#pragma once
#include <string>
#include <vector>

namespace ondrel {

// What a control is, as far as the settings logic drives it.
enum class ControlKind {
    Frame,  // a group box: enabled or not, with a caption
    Label,  // a caption or a read-out the logic fills
    Box,    // a text box
    Button, // a push button
    Check,  // a check box
    Option, // an option button; those of one frame exclude each other
    List,   // a drop-down list
    Report, // a list of rows and columns
};

struct DeclaredControl {
    std::string name; // an element of a control array is "name_index"
    ControlKind kind;
    std::string group; // the frame whose option buttons exclude each other
};

// Every control of the settings dialog ("frmSetting") and of the range dialog
// ("dlgGainRange") that the settings logic addresses. The dialogs are checked
// against these lists, and the logic's tests run on views that know only them,
// so a misspelled name fails instead of going unnoticed.
const std::vector<DeclaredControl>& SettingsDialogControls();
const std::vector<DeclaredControl>& GainRangeDialogControls();

} // namespace ondrel
