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
//
// Only what fits is drawn: the handle and groove always; the tick marks, the
// caption and the scale labels (low end, title, high end) each only when the
// widget has the room for them, in that order, and the labels only when they
// fit side by side (the title goes first). The caption and the Scale's element
// flags say what is wanted; the size decides what is shown.
//
// Keyboard: the slider takes the focus; arrows, PageUp / PageDown and Home /
// End move it as a user move. Accessibility: role Slider with the value
// interface (a value set through it is a user move; refused while disabled)
// and increase / decrease actions that move it by a page (a tenth of the
// range). Its accessible name is the widget's accessibleName, or else the
// caption.
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
    QString caption() const;
    QSlider* slider() const { return slider_; }
    void setTickMarksVisible(bool visible);
    void setScaleLabelsVisible(bool visible, const QString& title);

    // What the current size lets the slider draw.
    bool showsTickMarks() const;
    bool showsCaption() const;
    bool showsScaleLabels() const;
    bool showsScaleTitle() const;

    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyRange();
    void arrange();
    int grooveHeight(bool withTicks) const;
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
    bool ticksWanted_ = true;
    bool labelsWanted_ = true;
    bool ticksShown_ = true;
    bool captionShown_ = false;
    bool labelsShown_ = true;
    bool titleShown_ = false;
};

} // namespace kro
