#include "kro/display/kro_axis.h"
#include "kro/display/oscilloscope_style.h"
#include "ondrel/components/component_error.h"
#include <cmath>
#include <qcustomplot.h>

namespace kro {
namespace {

void requireFinite(double value)
{
    if (!std::isfinite(value))
        throw ondrel::ComponentError("Invalid axis value");
}

} // namespace

void KroAxisElement::setVisible(bool visible)
{
    visible_ = visible;
    changed_();
}

KroAxis::KroAxis(ChartHost& host, QCPAxis* axis, bool autoScale)
    : host_(host), axis_(axis), autoScale_(autoScale), line_([this] { applyElements(); }),
      labels_([this] { applyElements(); })
{}

double KroAxis::Maximum() const
{
    if (autoScale_)
        host_.settleAutoScale();
    return axis_->range().upper;
}

double KroAxis::Minimum() const
{
    if (autoScale_)
        host_.settleAutoScale();
    return axis_->range().lower;
}

// Minimum and Maximum are put one after the other; an intermediate state with
// the minimum above the maximum keeps the span instead of swapping the ends.
void KroAxis::setMaximum(double value)
{
    requireFinite(value);
    const QCPRange range = axis_->range();
    const double lower = value > range.lower ? range.lower : value - range.size();
    host_.setAxisRange(axis_, lower, value);
}

void KroAxis::setMinimum(double value)
{
    requireFinite(value);
    const QCPRange range = axis_->range();
    const double upper = value < range.upper ? range.upper : value + range.size();
    host_.setAxisRange(axis_, value, upper);
}

void KroAxis::SetRange(double minimum, double maximum)
{
    requireFinite(minimum);
    requireFinite(maximum);
    if (minimum == maximum)
        throw ondrel::ComponentError("Invalid axis range: the minimum equals the maximum");
    host_.setAxisRange(axis_, std::min(minimum, maximum), std::max(minimum, maximum));
}

void KroAxis::setTitle(const std::string& title)
{
    title_ = title;
    applyElements();
}

ondrel::IKroAxisElement& KroAxis::Element(int index)
{
    if (index == 0)
        return line_;
    if (index == 1)
        return labels_;
    throw ondrel::ComponentError("Invalid axis element index " + std::to_string(index) + " (0 or 1)");
}

void KroAxis::setAutoScale(bool on)
{
    autoScale_ = on;
    host_.requestRedraw();
}

void KroAxis::applyElements()
{
    styleAxisLine(*axis_, line_.Visible());
    axis_->setTickLabels(labels_.Visible());
    axis_->setLabel(labels_.Visible() ? QString::fromStdString(title_) : QString());
    axis_->setVisible(line_.Visible() || labels_.Visible());
    host_.requestRedraw();
}

} // namespace kro
