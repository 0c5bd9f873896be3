#pragma once
#include "display_control.h"
#include "graph.h"
#include <cstdint>
#include <string>

namespace ondrel {

class IKroSliderEvents {
public:
    virtual ~IKroSliderEvents() = default;
    virtual void ValueChanged(double value) = 0; // user moves and puts of Value alike
};

class IKroSlider : public IKroControl {
public:
    virtual void setEvents(IKroSliderEvents* sink) = 0;
    virtual double Value() const = 0;
    virtual void setValue(double value) = 0;
    virtual void setMax(int32_t max) = 0;
    virtual void setMin(int32_t min) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual IKroAxis& Scale() = 0; // tick and label set-up
};

} // namespace ondrel
