#pragma once
#include "display_control.h"

namespace ondrel {

class IKroLEDEvents {
public:
    virtual ~IKroLEDEvents() = default;
    virtual void Spin(bool up) = 0; // spin-up (true) or spin-down button
};

// Numeric read-out with spin buttons.
class IKroLED : public IKroControl {
public:
    virtual void setEvents(IKroLEDEvents* sink) = 0;
    virtual double Value() const = 0;
    virtual void setValue(double value) = 0;
    // Lower and upper limits of the read-out; both 0 means unlimited.
    virtual void setMinimum(double value) = 0;
    virtual void setMaximum(double value) = 0;
};

} // namespace ondrel
