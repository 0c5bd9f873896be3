#pragma once
#include <string>

namespace ondrel {

// Everything modal the main window asks or tells the user goes through here, so
// tests answer programmatically and nothing blocks them.
class IPrompts {
public:
    virtual ~IPrompts() = default;
    // A message box with an OK button; an empty title means the program's name.
    virtual void MsgBox(const std::string& text, const std::string& title) = 0;
};

} // namespace ondrel
