#pragma once
#include "ondrel/components/switch_button.h"
#include <QAbstractButton>

namespace kro {

// Two-state switch drawn as a rocker whose lit knob sits on the ON side (right,
// or top when the switch is taller than wide). The ON / OFF text is drawn only
// where it fits; a small switch shows the lit or dark knob alone.
//
// One state: every change of the position that is not a put of Value (a mouse
// click, Space on the focused switch, the accessibility toggle or press action,
// a toggle() from anywhere) raises SwitchChanged after the position has moved,
// so the picture never changes without the program knowing. Puts of Value move
// the switch silently. The accessible name is the widget's accessibleName, or
// else its caption (QAbstractButton::text, which is not drawn).
class KroButton final : public QAbstractButton, public ondrel::IKroButton {
    Q_OBJECT
public:
    explicit KroButton(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    bool Enabled() const override;
    void setEnabled(bool enabled) override;

    void setEvents(ondrel::IKroButtonEvents* sink) override { sink_ = sink; }
    bool Value() const override { return isChecked(); }
    void setValue(bool on) override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Whether the ON / OFF text is drawn at the current size.
    bool showsText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool vertical() const;
    QRectF knobRect() const;

    ondrel::IKroButtonEvents* sink_ = nullptr;
    bool putting_ = false;
};

} // namespace kro
