#pragma once
#include "ondrel/components/led_readout.h"
#include <QWidget>

class QLabel;
class QToolButton;

namespace kro {

// Numeric read-out in green digits with spin-up and spin-down buttons. The
// buttons only raise Spin; the program decides the new value and puts it.
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

    // The text shown, e.g. "0.2" or "1e-06".
    QString text() const;
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

private:
    void showValue(double value);
    void spin(bool up);

    ondrel::IKroLEDEvents* sink_ = nullptr;
    QLabel* display_;
    QToolButton* up_;
    QToolButton* down_;
    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
};

} // namespace kro
