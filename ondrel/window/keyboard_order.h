#pragma once
#include <initializer_list>

class QWidget;

namespace ondrel {

// Tab moves through `root`'s controls named in `readingOrder`, in that order;
// a name `root` lacks is skipped.
void SetTabOrder(QWidget& root, std::initializer_list<const char*> readingOrder);

// Tab moves through the main window in reading order: the chart and its legend,
// the history frame, the command column, then the lower frames left to right
// and Exit. Enter presses the focused button, as Space does.
void SetKeyboardOrder(QWidget& form);

} // namespace ondrel
