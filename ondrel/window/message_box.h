#pragma once
#include <string>

class QWidget;

namespace ondrel {

// One of the program's messages, modal over `owner`: its text, an OK button
// and no icon, titled with the program's name when no title is given.
void ShowMessage(QWidget* owner, const std::string& text, const std::string& title = {});

} // namespace ondrel
