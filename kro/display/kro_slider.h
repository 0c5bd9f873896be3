#pragma once
#include "kro/display/slider_scale.h"
#include "ondrel/components/slider.h"
#include <QWidget>

class QLabel;
class QSlider;

namespace kro {

// Horizontal slider with a caption and a labelled scale. Value is a Double
// between Min and Max; ValueChanged follows every user move and every put of
// Value (also a put of the same value, and also while Enabled is false).
class KroSlider final : public QWidget, public ondrel::IKroSlider {
    Q_OBJECT
public:
    explicit KroSlider(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    bool Enabled() const override;
    void setEnabled(bool enabled) override;

    void setEvents(ondrel::IKroSliderEvents* sink) override { sink_ = sink; }
    double Value() const override { return value_; }
    // Clamped to the range; throws ComponentError when not finite.
    void setValue(double value) override;
    void setMax(int32_t max) override;
    void setMin(int32_t min) override;
    void setCaption(const std::string& caption) override;
    SliderScale& Scale() override { return scale_; }

    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    QSlider* slider() const { return slider_; }
    void setTickMarksVisible(bool visible);
    void setScaleLabelsVisible(bool visible, const QString& title);

private:
    void applyRange();
    void raiseValueChanged();

    ondrel::IKroSliderEvents* sink_ = nullptr;
    QLabel* caption_;
    QSlider* slider_;
    QWidget* labels_;
    QLabel* lowLabel_;
    QLabel* titleLabel_;
    QLabel* highLabel_;
    SliderScale scale_;
    double value_ = 0.0;
    int32_t min_ = 0;
    int32_t max_ = 100;
};

} // namespace kro
