#include "kro/display/kro_led.h"
#include "ondrel/components/component_error.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace kro {

KroLED::KroLED(QWidget* parent)
    : QWidget(parent)
    , display_(new QLabel(this))
    , up_(new QToolButton(this))
    , down_(new QToolButton(this))
{
    display_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display_->setStyleSheet(QStringLiteral(
        "QLabel { background: black; color: rgb(40, 230, 60); border: 1px solid rgb(70, 70, 70);"
        " font-family: monospace; font-weight: bold; padding: 0 4px; }"
        "QLabel:disabled { color: rgb(40, 120, 50); }"));
    display_->setMinimumWidth(64);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRaise(false);
        button->setFixedSize(16, 11);
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

    connect(up_, &QToolButton::clicked, this, [this] { spin(true); });
    connect(down_, &QToolButton::clicked, this, [this] { spin(false); });
    showValue(value_);
}

bool KroLED::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void KroLED::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);
}

void KroLED::setValue(double value)
{
    if (!std::isfinite(value))
        throw ondrel::ComponentError("KroLED: invalid value");
    if (minimum_ != 0.0 || maximum_ != 0.0)
        value = std::clamp(value, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
    value_ = value;
    showValue(value_);
}

void KroLED::setMinimum(double value)
{
    minimum_ = value;
}

void KroLED::setMaximum(double value)
{
    maximum_ = value;
}

QString KroLED::text() const
{
    return display_->text();
}

void KroLED::showValue(double value)
{
    display_->setText(QString::number(value, 'g', 6));
}

void KroLED::spin(bool up)
{
    if (sink_ != nullptr)
        sink_->Spin(up);
}

} // namespace kro
