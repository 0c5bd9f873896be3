#include "kro/display/kro_button.h"
#include "kro/display/accessibility.h"
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>

namespace kro {
namespace {

const QString kOnText = QStringLiteral("ON");
const QString kOffText = QStringLiteral("OFF");

} // namespace

KroButton::KroButton(QWidget* parent) : QAbstractButton(withAccessibility(parent))
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    // toggled() follows every change of the position, whoever made it; only the
    // program's own puts are kept quiet.
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (!putting_ && sink_ != nullptr)
            sink_->SwitchChanged(checked);
    });
}

bool KroButton::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void KroButton::setEnabled(bool enabled) { QAbstractButton::setEnabled(enabled); }

void KroButton::setValue(bool on)
{
    const QScopedValueRollback quiet(putting_, true);
    setChecked(on);
}

QSize KroButton::sizeHint() const { return QSize(64, 26); }

QSize KroButton::minimumSizeHint() const { return QSize(8, 8); }

bool KroButton::vertical() const { return height() > width(); }

// The knob fills the half of the inner track on the side the switch points to:
// right (or top, for a vertical switch) when on.
QRectF KroButton::knobRect() const
{
    const QRectF track = QRectF(rect()).adjusted(3, 3, -3, -3);
    QRectF knob = track;
    const bool on = isChecked();
    if (vertical()) {
        knob.setHeight(track.height() / 2);
        if (!on)
            knob.moveBottom(track.bottom());
    } else {
        knob.setWidth(track.width() / 2);
        if (on)
            knob.moveRight(track.right());
    }
    return knob;
}

bool KroButton::showsText() const
{
    const QRectF knob = knobRect();
    const QFontMetrics metrics = fontMetrics();
    const int wide = std::max(metrics.horizontalAdvance(kOnText), metrics.horizontalAdvance(kOffText));
    return wide + 2 <= knob.width() && metrics.height() <= knob.height();
}

void KroButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool on = isChecked();
    const bool enabled = isEnabled();

    // Body: a dark well; its rim turns to the highlight colour with the focus.
    const QRectF frame = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = std::min({4.0, frame.width() / 3, frame.height() / 3});
    if (hasFocus())
        painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
    else
        painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(QColor(20, 20, 20));
    painter.drawRoundedRect(frame, radius, radius);

    // Knob: lit green on the ON side, dark grey on the OFF side.
    const QRectF knob = knobRect();
    if (knob.width() < 1 || knob.height() < 1)
        return;
    const QColor lit = enabled ? QColor(40, 220, 60) : QColor(40, 110, 50);
    const QColor dark = enabled ? QColor(85, 85, 85) : QColor(60, 60, 60);
    const qreal knobRadius = std::min({3.0, knob.width() / 3, knob.height() / 3});
    painter.setPen(Qt::NoPen);
    painter.setBrush(on ? lit : dark);
    painter.drawRoundedRect(knob, knobRadius, knobRadius);

    if (showsText()) {
        painter.setPen(on ? Qt::black : QColor(200, 200, 200));
        painter.drawText(knob, Qt::AlignCenter, on ? kOnText : kOffText);
        return;
    }
    // Too small for text: a lit knob glows in its middle, a dark one shows grip
    // lines, so the two read apart by more than their colour.
    if (on) {
        const QColor glow = enabled ? QColor(190, 255, 190) : QColor(110, 160, 115);
        const qreal inset = std::min(knob.width(), knob.height()) / 4;
        const QRectF core = knob.adjusted(inset, inset, -inset, -inset);
        painter.setBrush(glow);
        painter.drawRoundedRect(core, knobRadius / 2, knobRadius / 2);
    } else {
        painter.setClipRect(knob);
        painter.setPen(QPen(QColor(45, 45, 45), 1));
        const QPointF centre = knob.center();
        const qreal halfSpan = (vertical() ? knob.width() : knob.height()) / 2 - 2;
        for (int i = -1; i <= 1; ++i) {
            if (halfSpan < 1)
                break;
            const qreal offset = 3.0 * i;
            if (vertical())
                painter.drawLine(QPointF(centre.x() - halfSpan, centre.y() + offset),
                                 QPointF(centre.x() + halfSpan, centre.y() + offset));
            else
                painter.drawLine(QPointF(centre.x() + offset, centre.y() - halfSpan),
                                 QPointF(centre.x() + offset, centre.y() + halfSpan));
        }
    }
}

} // namespace kro
