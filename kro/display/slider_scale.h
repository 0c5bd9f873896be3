#pragma once
#include "kro/display/kro_axis.h"
#include "ondrel/components/graph.h"

namespace kro {

class KroSlider;

// The slider's scale in the chart's axis terms: its range is the slider's
// Min and Max, element 0 the tick marks, element 1 the labels with the title.
class SliderScale final : public ondrel::IKroAxis {
public:
    explicit SliderScale(KroSlider& slider);

    double Maximum() const override;
    void setMaximum(double value) override;
    double Minimum() const override;
    void setMinimum(double value) override;
    std::string Title() const override { return title_; }
    void setTitle(const std::string& title) override;
    ondrel::IKroAxisElement& Element(int index) override;
    // A slider has nothing to fit; the flag is only kept.
    bool AutoScale() const override { return autoScale_; }
    void setAutoScale(bool on) override { autoScale_ = on; }
    void SetRange(double minimum, double maximum) override;

private:
    void apply();

    KroSlider& slider_;
    std::string title_;
    bool autoScale_ = false;
    KroAxisElement ticks_;
    KroAxisElement labels_;
};

} // namespace kro
