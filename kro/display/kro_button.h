#pragma once
#include "ondrel/components/switch_button.h"
#include <QAbstractButton>

namespace kro {

// Two-state switch drawn as a lit ON / dark OFF rocker. Only a flip by the
// user raises SwitchChanged; the program's puts of Value move it silently.
class KroButton final : public QAbstractButton, public ondrel::IKroButton {
    Q_OBJECT
public:
    explicit KroButton(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    bool Enabled() const override;
    void setEnabled(bool enabled) override;

    void setEvents(ondrel::IKroButtonEvents* sink) override { sink_ = sink; }
    bool Value() const override { return isChecked(); }
    void setValue(bool on) override { setChecked(on); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ondrel::IKroButtonEvents* sink_ = nullptr;
};

} // namespace kro
