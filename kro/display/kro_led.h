#pragma once
#include "ondrel/components/led_readout.h"
#include <QWidget>

class QLabel;
class QToolButton;

namespace kro {

// Numeric read-out in green digits with spin-up and spin-down buttons. The
// buttons only raise Spin; the program decides the new value and puts it.
//
// Keyboard: the read-out takes the focus (the buttons do not) and Up / Down
// press the spin-up / spin-down button, raising the same Spin. Accessibility:
// a spin box whose value interface gives Value and the limits; setting the
// value through it is refused, since the program decides the values; its
// increase / decrease actions and its two children, the buttons "Increase"
// and "Decrease", press the buttons. The digits shrink to fit the read-out
// and are never clipped; when even small digits do not fit it shows "…".
class KroLED final : public QWidget, public ondrel::IKroLED {
    Q_OBJECT
public:
    explicit KroLED(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    bool Enabled() const override;
    void setEnabled(bool enabled) override;

    void setEvents(ondrel::IKroLEDEvents* sink) override { sink_ = sink; }
    double Value() const override { return value_; }
    // Values outside the limits are clamped; throws ComponentError when not finite.
    void setValue(double value) override;
    void setMinimum(double value) override;
    void setMaximum(double value) override;
    // The limits as put; both 0 means unlimited.
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    bool limited() const { return minimum_ != 0.0 || maximum_ != 0.0; }

    // The value's text, e.g. "0.2" or "1e-06" (drawn smaller, or as "…", when
    // the read-out is too narrow for it).
    QString text() const { return text_; }
    // The text drawn and its font, as fitted to the read-out's size.
    QString shownText() const;
    QFont shownFont() const;
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showValue(double value);
    void fitText();
    void spin(bool up);

    ondrel::IKroLEDEvents* sink_ = nullptr;
    QLabel* display_;
    QToolButton* up_;
    QToolButton* down_;
    QString text_;
    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
};

} // namespace kro
