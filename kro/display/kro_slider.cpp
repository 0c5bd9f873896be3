#include "kro/display/kro_slider.h"
#include "ondrel/components/component_error.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kro {

KroSlider::KroSlider(QWidget* parent)
    : QWidget(parent)
    , caption_(new QLabel(this))
    , slider_(new QSlider(Qt::Horizontal, this))
    , labels_(new QWidget(this))
    , lowLabel_(new QLabel(labels_))
    , titleLabel_(new QLabel(labels_))
    , highLabel_(new QLabel(labels_))
    , scale_(*this)
{
    caption_->setAlignment(Qt::AlignCenter);
    caption_->hide();
    slider_->setTickPosition(QSlider::TicksBelow);
    titleLabel_->setAlignment(Qt::AlignCenter);
    highLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* labelRow = new QHBoxLayout(labels_);
    labelRow->setContentsMargins(0, 0, 0, 0);
    labelRow->addWidget(lowLabel_);
    labelRow->addWidget(titleLabel_, 1);
    labelRow->addWidget(highLabel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(caption_);
    layout->addWidget(slider_);
    layout->addWidget(labels_);

    // Puts move the handle with its signals blocked, so this is a user move.
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        value_ = position;
        raiseValueChanged();
    });
    applyRange();
}

bool KroSlider::Enabled() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void KroSlider::setEnabled(bool enabled)
{
    QWidget::setEnabled(enabled);
}

void KroSlider::setValue(double value)
{
    if (!std::isfinite(value))
        throw ondrel::ComponentError("KroSlider: invalid value");
    value_ = std::clamp(value, double(std::min(min_, max_)), double(std::max(min_, max_)));
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(static_cast<int>(std::nearbyint(value_)));
    }
    raiseValueChanged();
}

void KroSlider::setMax(int32_t max)
{
    max_ = max;
    applyRange();
}

void KroSlider::setMin(int32_t min)
{
    min_ = min;
    applyRange();
}

void KroSlider::setCaption(const std::string& caption)
{
    caption_->setText(QString::fromStdString(caption));
    caption_->setVisible(!caption.empty());
}

void KroSlider::setTickMarksVisible(bool visible)
{
    slider_->setTickPosition(visible ? QSlider::TicksBelow : QSlider::NoTicks);
}

void KroSlider::setScaleLabelsVisible(bool visible, const QString& title)
{
    titleLabel_->setText(title);
    labels_->setVisible(visible);
}

// A range change keeps the value inside it without reporting a move.
void KroSlider::applyRange()
{
    const int32_t low = std::min(min_, max_);
    const int32_t high = std::max(min_, max_);
    value_ = std::clamp(value_, double(low), double(high));
    const QSignalBlocker quiet(slider_);
    slider_->setRange(low, high);
    slider_->setValue(static_cast<int>(std::nearbyint(value_)));
    const auto tenth = static_cast<int>(
        std::clamp<int64_t>((int64_t{high} - low) / 10, 1, std::numeric_limits<int>::max()));
    slider_->setPageStep(tenth);
    slider_->setTickInterval(tenth);
    lowLabel_->setText(QString::number(low));
    highLabel_->setText(QString::number(high));
}

void KroSlider::raiseValueChanged()
{
    if (sink_ != nullptr)
        sink_->ValueChanged(value_);
}

} // namespace kro
