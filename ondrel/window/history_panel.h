#pragma once
#include "ondrel/components/slider.h"
#include <QGroupBox>

class QPushButton;

namespace ondrel {

class IComponentFactory;

// "History Playback": play speed and position sliders, the replay buttons and
// Convert.
class HistoryPanel final : public QGroupBox {
    Q_OBJECT
public:
    HistoryPanel(IComponentFactory& factory, QWidget* parent);

    IKroSlider& KroSliderV() const { return *speed_; }
    IKroSlider& KroSliderR() const { return *position_; }

    // The sliders' scales as a session starts: position 0..100 %, speed 1..2000000.
    void LoadDefaults();
    void EnableHisControls(bool value);

private:
    IKroSlider* speed_;
    IKroSlider* position_;
};

} // namespace ondrel
