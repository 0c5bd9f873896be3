#include "kro/display/kro_slider.h"
#include "kro/display/accessibility.h"
#include "kro/display/focus_frame.h"
#include "ondrel/components/component_error.h"
#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kro {
namespace {

// Room QSlider adds for tick marks below the groove (its TickSpace).
constexpr int kTickSpace = 5;
constexpr int kLabelSpacing = 4;

} // namespace

KroSlider::KroSlider(QWidget* parent)
    : QWidget(withAccessibility(parent)), caption_(new QLabel(this)), slider_(new QSlider(Qt::Horizontal, this)),
      labels_(new QWidget(this)), lowLabel_(new QLabel(labels_)), titleLabel_(new QLabel(labels_)),
      highLabel_(new QLabel(labels_)), scale_(*this)
{
    setFocusPolicy(Qt::StrongFocus);
    // The slider is one stop for the keyboard; its handle takes no focus of its own.
    slider_->setFocusPolicy(Qt::NoFocus);
    caption_->setAlignment(Qt::AlignCenter);
    caption_->hide();
    slider_->setTickPosition(QSlider::TicksBelow);
    titleLabel_->setAlignment(Qt::AlignCenter);
    highLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* labelRow = new QHBoxLayout(labels_);
    labelRow->setContentsMargins(0, 0, 0, 0);
    labelRow->setSpacing(kLabelSpacing);
    labelRow->addWidget(lowLabel_);
    labelRow->addWidget(titleLabel_, 1);
    labelRow->addWidget(highLabel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(caption_);
    layout->addWidget(slider_);
    layout->addWidget(labels_);
    new FocusFrame(*this);

    // Puts move the handle with its signals blocked, so this is a user move:
    // by the mouse, the keyboard or the accessibility interface alike.
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        value_ = position;
        raiseValueChanged();
    });
    applyRange();
}

bool KroSlider::Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }

void KroSlider::setEnabled(bool enabled) { QWidget::setEnabled(enabled); }

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
    arrange();
}

QString KroSlider::caption() const { return caption_->text(); }

void KroSlider::setTickMarksVisible(bool visible)
{
    ticksWanted_ = visible;
    arrange();
}

void KroSlider::setScaleLabelsVisible(bool visible, const QString& title)
{
    titleLabel_->setText(title);
    labelsWanted_ = visible;
    arrange();
}

bool KroSlider::showsTickMarks() const { return ticksShown_; }

bool KroSlider::showsCaption() const { return captionShown_; }

bool KroSlider::showsScaleLabels() const { return labelsShown_; }

bool KroSlider::showsScaleTitle() const { return titleShown_; }

QSize KroSlider::minimumSizeHint() const { return QSize(slider_->minimumSizeHint().width(), grooveHeight(false)); }

// The keys of a horizontal slider, each a user move of the handle.
void KroSlider::keyPressEvent(QKeyEvent* event)
{
    QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        action = QAbstractSlider::SliderSingleStepAdd;
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        action = QAbstractSlider::SliderSingleStepSub;
        break;
    case Qt::Key_PageUp:
        action = QAbstractSlider::SliderPageStepAdd;
        break;
    case Qt::Key_PageDown:
        action = QAbstractSlider::SliderPageStepSub;
        break;
    case Qt::Key_Home:
        action = QAbstractSlider::SliderToMinimum;
        break;
    case Qt::Key_End:
        action = QAbstractSlider::SliderToMaximum;
        break;
    default:
        break;
    }
    if (action == QAbstractSlider::SliderNoAction) {
        QWidget::keyPressEvent(event);
        return;
    }
    slider_->triggerAction(action);
    event->accept();
}

void KroSlider::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void KroSlider::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        arrange();
}

// Height of the groove and handle, with or without the tick marks below.
int KroSlider::grooveHeight(bool withTicks) const
{
    QStyleOptionSlider option;
    option.initFrom(slider_);
    option.orientation = Qt::Horizontal;
    option.tickPosition = withTicks ? QSlider::TicksBelow : QSlider::NoTicks;
    int thickness = slider_->style()->pixelMetric(QStyle::PM_SliderThickness, &option, slider_);
    if (withTicks)
        thickness += kTickSpace;
    const QSize contents(slider_->style()->pixelMetric(QStyle::PM_SliderLength, &option, slider_), thickness);
    return slider_->style()->sizeFromContents(QStyle::CT_Slider, &option, contents, slider_).height();
}

// Decides what the size has room for. The groove and handle always show; then
// the tick marks, the caption above and the scale labels below, each only if
// it fits whole in the height left, and the labels only if they fit side by
// side in the width (the title is dropped first).
void KroSlider::arrange()
{
    const int w = width();
    int room = height();

    ticksShown_ = ticksWanted_ && grooveHeight(true) <= room;
    slider_->setTickPosition(ticksShown_ ? QSlider::TicksBelow : QSlider::NoTicks);
    room -= grooveHeight(ticksShown_);

    const QSize captionSize = caption_->sizeHint();
    captionShown_ = !caption_->text().isEmpty() && captionSize.height() <= room && captionSize.width() <= w;
    if (captionShown_)
        room -= captionSize.height();

    const int lowWidth = lowLabel_->sizeHint().width();
    const int highWidth = highLabel_->sizeHint().width();
    const int rowHeight = std::max(lowLabel_->sizeHint().height(), highLabel_->sizeHint().height());
    labelsShown_ = labelsWanted_ && rowHeight <= room && lowWidth + kLabelSpacing + highWidth <= w;
    titleShown_ = labelsShown_ && !titleLabel_->text().isEmpty()
                  && lowWidth + highWidth + titleLabel_->sizeHint().width() + 2 * kLabelSpacing <= w;

    caption_->setVisible(captionShown_);
    titleLabel_->setVisible(titleShown_);
    labels_->setVisible(labelsShown_);
}

// A range change keeps the value inside it without reporting a move.
void KroSlider::applyRange()
{
    const int32_t low = std::min(min_, max_);
    const int32_t high = std::max(min_, max_);
    value_ = std::clamp(value_, double(low), double(high));
    {
        const QSignalBlocker quiet(slider_);
        slider_->setRange(low, high);
        slider_->setValue(static_cast<int>(std::nearbyint(value_)));
        const auto tenth =
            static_cast<int>(std::clamp<int64_t>((int64_t{high} - low) / 10, 1, std::numeric_limits<int>::max()));
        slider_->setPageStep(tenth);
        slider_->setTickInterval(tenth);
    }
    lowLabel_->setText(QString::number(low));
    highLabel_->setText(QString::number(high));
    arrange();
}

void KroSlider::raiseValueChanged()
{
    QAccessibleValueChangeEvent event(this, value_);
    QAccessible::updateAccessibility(&event);
    if (sink_ != nullptr)
        sink_->ValueChanged(value_);
}

} // namespace kro
