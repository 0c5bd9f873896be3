#include "kro/display/kro_led.h"
#include "kro/display/accessibility.h"
#include "kro/display/focus_frame.h"
#include "ondrel/components/component_error.h"
#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace kro {
namespace {

// Room the label's border and padding take from its width and height.
constexpr int kHorizontalChrome = 2 * 1 + 2 * 4;
constexpr int kVerticalChrome = 2 * 1;
// Digits are not drawn smaller than this.
constexpr qreal kSmallestPointSize = 5.0;
const QString kDoesNotFit = QStringLiteral("\u2026");

} // namespace

KroLED::KroLED(QWidget* parent)
    : QWidget(withAccessibility(parent)), display_(new QLabel(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    setFocusPolicy(Qt::StrongFocus);
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setStyleSheet(
        QStringLiteral("QLabel { background: black; color: rgb(40, 230, 60); border: 1px solid rgb(70, 70, 70);"
                       " padding: 0 4px; }"
                       "QLabel:disabled { color: rgb(40, 120, 50); }"));
    display_->setMinimumWidth(24);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAccessibleName(QStringLiteral("Increase"));
    down_->setAccessibleName(QStringLiteral("Decrease"));
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRaise(false);
        button->setFixedSize(16, 11);
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto* spinners = new QVBoxLayout;
    spinners->setContentsMargins(0, 0, 0, 0);
    spinners->setSpacing(0);
    spinners->addWidget(up_);
    spinners->addWidget(down_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(display_, 1);
    layout->addLayout(spinners);
    new FocusFrame(*this);

    connect(up_, &QToolButton::clicked, this, [this] { spin(true); });
    connect(down_, &QToolButton::clicked, this, [this] { spin(false); });
    showValue(value_);
}

bool KroLED::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void KroLED::setEnabled(bool enabled) { QWidget::setEnabled(enabled); }

void KroLED::setValue(double value)
{
    if (!std::isfinite(value))
        throw ondrel::ComponentError("KroLED: invalid value");
    if (limited())
        value = std::clamp(value, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
    value_ = value;
    showValue(value_);
    QAccessibleValueChangeEvent event(this, value_);
    QAccessible::updateAccessibility(&event);
}

void KroLED::setMinimum(double value) { minimum_ = value; }

void KroLED::setMaximum(double value) { maximum_ = value; }

QString KroLED::shownText() const { return display_->text(); }

QFont KroLED::shownFont() const { return display_->font(); }

// Up and Down press the spin buttons, one press per key press, as the buttons
// themselves do not repeat.
void KroLED::keyPressEvent(QKeyEvent* event)
{
    QToolButton* button = nullptr;
    if (event->key() == Qt::Key_Up)
        button = up_;
    else if (event->key() == Qt::Key_Down)
        button = down_;
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    if (button == nullptr || held != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        button->click();
    event->accept();
}

void KroLED::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitText();
}

void KroLED::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitText();
}

void KroLED::showValue(double value)
{
    text_ = QString::number(value, 'g', 6);
    fitText();
}

// The digits in a bold monospace face at the widget's size, or smaller when
// that does not fit the read-out; never clipped. Digits that do not fit even
// at the smallest size give way to "…", as large as fits.
void KroLED::fitText()
{
    QFont face = font();
    face.setFamily(QStringLiteral("monospace"));
    face.setStyleHint(QFont::Monospace);
    face.setBold(true);
    const qreal largest = face.pointSizeF() > 0 ? face.pointSizeF() : QFontInfo(face).pointSizeF();
    const int width = display_->width() - kHorizontalChrome;
    const int height = display_->height() - kVerticalChrome;
    for (const QString& shown : {text_, kDoesNotFit}) {
        for (qreal size = largest; size >= kSmallestPointSize; size -= 0.5) {
            face.setPointSizeF(size);
            const QFontMetrics metrics(face);
            if (metrics.horizontalAdvance(shown) <= width && metrics.height() <= height) {
                display_->setFont(face);
                display_->setText(shown);
                return;
            }
        }
    }
    display_->setText(QString());
}

void KroLED::spin(bool up)
{
    if (sink_ != nullptr)
        sink_->Spin(up);
}

} // namespace kro
