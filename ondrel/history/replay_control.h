#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/components/led_readout.h"
#include "ondrel/components/slider.h"
#include "ondrel/components/timer_control.h"
#include "ondrel/graph/time_base_state.h"
#include "ondrel/history/ai_replay_reader.h"
#include "ondrel/history/di_replay_reader.h"
#include "ondrel/history/opened_recording.h"
#include "ondrel/history/play_speed.h"
#include "ondrel/history/replay_state.h"
#include "ondrel/history/replay_view.h"
#include "ondrel/common/clock.h"
#include "ondrel/common/prompts.h"
#include <string>

namespace ondrel {

class TimerDispatcher;

inline const std::string kHistoryTimer = "HistoryTimer";

// What the window hands to replay, all owned elsewhere.
struct ReplayParts {
    ReplayState& state;
    TimeBaseState& timeBase;
    IKroGraph& graph;
    IKroSlider& position; // KroSliderR, 0 .. 100 %
    IKroSlider& speed;    // KroSliderV, scans per second
    IKroLED& led;         // KroLED1, seconds per division
    IPrompts& prompts;
    IClock& clock;
    ITimerControl* timer = nullptr; // none when the timer control could not be created
};

// History mode: opening a saved project, timed replay on the chart, and the
// way back to acquisition. Listens to both sliders' ValueChanged itself.
class ReplayControl final : public IOpenedRecording {
public:
    ReplayControl(const ReplayParts& parts, IReplayView& view);
    ~ReplayControl() override;
    ReplayControl(const ReplayControl&) = delete;
    ReplayControl& operator=(const ReplayControl&) = delete;

    const ReplayState& state() const { return s_; }
    // Playing now (not paused, not stopped).
    bool IsPlaying() const { return ticking_; }

    // Opens a project chosen in the open dialog and enters history mode. A
    // description that cannot be replayed is refused before anything changes.
    void BtnHistory_Click();
    // Opens `projectFile` as the open dialog would have: from the command line
    // or a file dropped on the window.
    void OpenProject(const std::string& projectFile);
    // Back to acquisition mode: the data files close, the plots are rebuilt.
    void BtnModeSwitch_Click();

    void ChkPlay_Click(bool checked); // Play (checked) or Pause
    void BtnStop_Click();
    void BtnAccelerate_Click();
    // Stops a replay as the Stop button does; nothing unless in history mode.
    void StopIfPlaying();

    void KroSliderR_ValueChanged(double value); // jump
    // The scan replay draws next.
    int64_t PositionScan() const { return s_.nHisNextScan; }
    // Puts replay at `scan` by moving the position slider there, so the jump
    // is the one the operator's move of the slider makes.
    void JumpToScan(int64_t scan);
    // Counts the recordings opened, so a view of one can tell it was replaced.
    uint64_t Openings() const { return openings_; }
    void KroSliderV_ValueChanged(double value); // speed

    std::unique_ptr<RecordingReader> ReaderFor(bool ai, bool di) const override;
    bool HasAI() const override { return s_.bHisAI; }
    bool HasDI() const override { return s_.bHisDI; }
    void RewindAI() override;

    // The replay tick ("HistoryTimer").
    void RegisterTimerKeys(TimerDispatcher& timers);
    void HistoryTimerProc();

private:
    struct SliderSink final : IKroSliderEvents {
        SliderSink(ReplayControl& owner, void (ReplayControl::*handler)(double)) : owner(owner), handler(handler) {}
        void ValueChanged(double value) override { (owner.*handler)(value); }
        ReplayControl& owner;
        void (ReplayControl::*handler)(double);
    };

    void SetUpChartAndTimer();
    void PlayBranch();
    void PauseBranch();
    // Moves the position slider without it counting as the operator's jump.
    void ShowPosition(double percent);
    void SetTimerRunning(bool running);
    ITimerControl& Timer() const;

    ReplayState& s_;
    TimeBaseState& timeBase_;
    IKroGraph& graph_;
    IKroSlider& position_;
    IKroSlider& speed_;
    IKroLED& led_;
    IPrompts& prompts_;
    IClock& clock_;
    ITimerControl* timer_;
    IReplayView& view_;

    SliderSink positionSink_{*this, &ReplayControl::KroSliderR_ValueChanged};
    SliderSink speedSink_{*this, &ReplayControl::KroSliderV_ValueChanged};
    RecordingInfo opened_; // the recording as it was opened
    AIReplayReader ai_;
    DIReplayReader di_;
    PlayPace pace_;
    bool playChecked_ = false;
    bool ticking_ = false;
    uint64_t openings_ = 0;
};

} // namespace ondrel
