#include "kro/display/kro_button.h"
#include <QPainter>

namespace kro {

KroButton::KroButton(QWidget* parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    // clicked() comes from the mouse and the keyboard, never from setChecked().
    connect(this, &QAbstractButton::clicked, this, [this](bool checked) {
        if (sink_ != nullptr)
            sink_->SwitchChanged(checked);
    });
}

bool KroButton::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void KroButton::setEnabled(bool enabled)
{
    QAbstractButton::setEnabled(enabled);
}

QSize KroButton::sizeHint() const
{
    return QSize(64, 26);
}

void KroButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(QColor(20, 20, 20));
    painter.drawRoundedRect(frame, 4, 4);

    // The lit half sits on the side the switch points to.
    const bool on = isChecked();
    QRectF knob = frame.adjusted(2, 2, -2, -2);
    knob.setWidth(knob.width() / 2);
    if (on)
        knob.moveRight(frame.right() - 2);
    const QColor lit = isEnabled() ? QColor(40, 220, 60) : QColor(40, 110, 50);
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? lit : QColor(70, 70, 70));
    painter.drawRoundedRect(knob, 3, 3);

    painter.setPen(on ? Qt::black : QColor(200, 200, 200));
    painter.drawText(knob, Qt::AlignCenter, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    if (hasFocus()) {
        painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), 3, 3);
    }
}

} // namespace kro
