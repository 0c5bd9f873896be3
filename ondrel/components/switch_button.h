#pragma once
#include "display_control.h"

namespace ondrel {

class IKroButtonEvents {
public:
    virtual ~IKroButtonEvents() = default;
    virtual void SwitchChanged(bool value) = 0; // raised when the user flips the switch
};

// Two-state switch.
class IKroButton : public IKroControl {
public:
    virtual void setEvents(IKroButtonEvents* sink) = 0;
    virtual bool Value() const = 0;
    virtual void setValue(bool on) = 0; // moves the switch, raises no event
};

} // namespace ondrel
