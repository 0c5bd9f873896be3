// Timed replay of an opened project: Play, Pause, Stop, speed and position.
#include "ondrel/history/replay_control.h"

#include "ondrel/components/component_error.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/common/rounding.h"
#include "ondrel/common/timer_dispatcher.h"

#include <algorithm>

namespace ondrel {

ReplayControl::ReplayControl(const ReplayParts& parts, IReplayView& view)
    : s_(parts.state), timeBase_(parts.timeBase), graph_(parts.graph), position_(parts.position), speed_(parts.speed),
      led_(parts.led), prompts_(parts.prompts), clock_(parts.clock), timer_(parts.timer), view_(view)
{
    position_.setEvents(&positionSink_);
    speed_.setEvents(&speedSink_);
}

ReplayControl::~ReplayControl()
{
    position_.setEvents(nullptr);
    speed_.setEvents(nullptr);
}

void ReplayControl::RegisterTimerKeys(TimerDispatcher& timers)
{
    timers.Register(kHistoryTimer, [this] { HistoryTimerProc(); });
}

ITimerControl& ReplayControl::Timer() const
{
    if (timer_ == nullptr)
        throw ComponentError("The timer control is not available");
    return *timer_;
}

void ReplayControl::SetTimerRunning(bool running)
{
    ticking_ = running;
    Timer().setEnabled(kHistoryTimer, running);
}

void ReplayControl::ShowPosition(double percent)
{
    position_.setEnabled(false);
    position_.setValue(percent);
    position_.setEnabled(true);
}

void ReplayControl::HistoryTimerProc()
{
    if (!ticking_ || !s_.bHistoryMode)
        return;
    try {
        const int64_t scans = pace_.ScansDue(clock_.TickCount(), s_.dHisPlaySpeed, s_.nHisPlayInterval);
        if (scans == 0)
            return;
        const double interval = s_.dHisScanInterval;
        ReplayStep step{0, !s_.bHisAI && !s_.bHisDI};
        if (s_.bHisAI)
            step = ai_.Play(graph_, scans, interval);
        if (s_.bHisDI) {
            const ReplayStep di = di_.Play(graph_, scans, interval, s_.nHisAIChanCount, s_.HisDIPortMask);
            step = {std::max(step.scans, di.scans), step.end || di.end};
        }
        s_.nHisNextScan += step.scans;
        if (!step.end)
            s_.nHisFAIReadPos = s_.nHisNextScan * s_.nHisAIChanCount * 4;
        if (step.scans > 0 && s_.nHisDataScanCount > 0)
            ShowPosition(std::min(100.0, 100.0 * static_cast<double>(s_.nHisNextScan)
                                             / static_cast<double>(s_.nHisDataScanCount)));
        if (step.end)
            BtnStop_Click();
    } catch (const std::exception& error) {
        // A replay that cannot read or draw stops rather than failing every tick.
        prompts_.MsgBox(error.what(), "HistoryTimerProc");
        BtnStop_Click();
    }
}

void ReplayControl::KroSliderR_ValueChanged(double value)
{
    if (!position_.Enabled() || !s_.bHistoryMode)
        return;
    try {
        const int64_t scan =
            std::max<int64_t>(0, RoundToInt64(value / 100.0 * static_cast<double>(s_.nHisDataScanCount)));
        const double startX = static_cast<double>(scan) * s_.dHisScanInterval;
        s_.nHisNextScan = scan;
        if (s_.bHisAI) {
            s_.nHisFAIReadPos = ai_.SeekScan(scan);
            for (int32_t i = 0; i < s_.nHisAIChanCount; ++i) {
                IKroPlot& plot = graph_.Plots().Item(i);
                plot.ClearPlotData();
                plot.setStartX(startX);
            }
        }
        if (s_.bHisDI) {
            di_.SeekScan(scan);
            for (int32_t j = 0; j < s_.nHisDIChanCount; ++j) {
                IKroPlot& plot = graph_.Plots().Item(s_.nHisAIChanCount + j);
                plot.ClearPlotData();
                plot.setStartX(startX);
            }
        }
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "KroSliderR");
    }
}

void ReplayControl::JumpToScan(int64_t scan)
{
    if (!s_.bHistoryMode || s_.nHisDataScanCount <= 0)
        return;
    const double count = static_cast<double>(s_.nHisDataScanCount);
    try {
        position_.setValue(100.0 * std::clamp(static_cast<double>(scan), 0.0, count) / count);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "KroSliderR");
    }
}

void ReplayControl::KroSliderV_ValueChanged(double value)
{
    if (!speed_.Enabled())
        return;
    const PlaySpeed speed = PlaySpeedFor(value);
    s_.dHisPlaySpeed = std::max(value, 1.0);
    s_.nHisPlayStep = speed.step;
    s_.nHisPlayInterval = speed.intervalMs;
    try {
        Timer().setInterval(kHistoryTimer, speed.intervalMs);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "KroSliderV");
    }
}

void ReplayControl::BtnAccelerate_Click()
{
    try {
        speed_.setValue(speed_.Value() * 2);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnAccelerate");
    }
}

void ReplayControl::ChkPlay_Click(bool checked)
{
    if (!s_.bHistoryMode)
        return;
    try {
        if (checked)
            PlayBranch();
        else
            PauseBranch();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "ChkPlay");
    }
    view_.EnableConvert(false);
}

void ReplayControl::PauseBranch()
{
    playChecked_ = false;
    view_.ShowPlaying(false);
    SetTimerRunning(false);
    s_.isHisPlayPaused = true;
    view_.EnableModeSwitch(true);
}

void ReplayControl::PlayBranch()
{
    playChecked_ = true;
    view_.ShowPlaying(true);
    if (!s_.isHisPlayPaused) {
        // A fresh start: the jump handler rewinds both files and empties the
        // plots; the time axis keeps its span and starts at 0.
        position_.setValue(0.0);
        IKroAxis& time = graph_.Axes().Item(kTimeAxis);
        const double span = time.Maximum() - time.Minimum();
        time.SetRange(0.0, span);
    }
    view_.EnableModeSwitch(false);
    view_.EnableCmdFrame(false);
    pace_.Start(clock_.TickCount());
    SetTimerRunning(true);
    s_.isHisPlaying = true;
}

void ReplayControl::BtnStop_Click()
{
    try {
        if (timer_ != nullptr && timer_->exist(kHistoryTimer))
            SetTimerRunning(false);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnStop");
    }
    ticking_ = false;
    if (playChecked_)
        ChkPlay_Click(false);
    s_.isHisPlaying = false;
    s_.isHisPlayPaused = false;
    // The files stay where they are; the next Play rewinds them.
    ShowPosition(0.1);
    view_.EnableModeSwitch(true);
    view_.EnableConvert(true);
    view_.EnableCmdFrame(true);
}

void ReplayControl::RewindAI() { s_.nHisFAIReadPos = ai_.SeekScan(0); }

void ReplayControl::StopIfPlaying()
{
    if (s_.bHistoryMode)
        BtnStop_Click();
}

} // namespace ondrel
