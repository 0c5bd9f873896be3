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
    QPushButton* ChkPlay() const { return play_; }
    QPushButton* BtnAccelerate() const { return accelerate_; }
    QPushButton* BtnStop() const { return stop_; }
    QPushButton* BtnHisConvert() const { return convert_; }

    // The sliders' scales as a session starts: position 0..100 %, speed 1..2000000.
    void LoadDefaults();
    void EnableHisControls(bool value);
    // Play shows the pause symbol and is named "Pause" while a replay plays.
    void ShowPlaying(bool playing);

private:
    IKroSlider* speed_;
    IKroSlider* position_;
    QPushButton* play_;
    QPushButton* accelerate_;
    QPushButton* stop_;
    QPushButton* convert_;
};

} // namespace ondrel
