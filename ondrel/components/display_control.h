#pragma once

class QWidget;

namespace ondrel {

// What every display component carries from its container: the Enabled flag the
// program toggles around its own writes, and the widget the window lays out.
class IKroControl {
public:
    virtual ~IKroControl() = default;
    virtual QWidget* widget() = 0;
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

} // namespace ondrel
