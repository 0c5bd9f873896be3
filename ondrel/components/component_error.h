#pragma once
#include <stdexcept>
#include <string>

namespace ondrel {

// A component call or property access that cannot be carried out throws this,
// carrying the description text the program shows in its message boxes.
class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace ondrel
