#include "kro/display/slider_scale.h"
#include "kro/display/kro_slider.h"
#include "ondrel/components/component_error.h"
#include <cmath>
#include <limits>

namespace kro {
namespace {

// Slider ends are whole numbers; halves go to the even neighbour.
int32_t toEnd(double value)
{
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<int32_t>::min()
        || rounded > std::numeric_limits<int32_t>::max())
        throw ondrel::ComponentError("Scale: invalid range value");
    return static_cast<int32_t>(rounded);
}

} // namespace

SliderScale::SliderScale(KroSlider& slider) : slider_(slider), ticks_([this] { apply(); }), labels_([this] { apply(); })
{}

double SliderScale::Maximum() const { return slider_.Max(); }

void SliderScale::setMaximum(double value) { slider_.setMax(toEnd(value)); }

double SliderScale::Minimum() const { return slider_.Min(); }

void SliderScale::setMinimum(double value) { slider_.setMin(toEnd(value)); }

void SliderScale::setTitle(const std::string& title)
{
    title_ = title;
    apply();
}

ondrel::IKroAxisElement& SliderScale::Element(int index)
{
    if (index == 0)
        return ticks_;
    if (index == 1)
        return labels_;
    throw ondrel::ComponentError("Invalid axis element index " + std::to_string(index) + " (0 or 1)");
}

void SliderScale::SetRange(double minimum, double maximum)
{
    const int32_t low = toEnd(minimum);
    const int32_t high = toEnd(maximum);
    slider_.setMin(low);
    slider_.setMax(high);
}

void SliderScale::apply()
{
    slider_.setTickMarksVisible(ticks_.Visible());
    slider_.setScaleLabelsVisible(labels_.Visible(), QString::fromStdString(title_));
}

} // namespace kro
