#pragma once
#include "ondrel/history/replay_view.h"
#include "ondrel/common/prompts.h"

namespace ondrel {

class CommandButtons;
class DevicePanel;
class HistoryPanel;
class PlotControl;
class RunControl;
class SignalPanel;

// The window's controls as replay switches them.
class HistoryView final : public IReplayView {
public:
    HistoryView(HistoryPanel& history, DevicePanel& device, SignalPanel& signal, CommandButtons& commands,
                PlotControl& plots, IPrompts& prompts)
        : history_(history), device_(device), signal_(signal), commands_(commands), plots_(plots), prompts_(prompts)
    {}
    // The run whose recording Save As keeps; set once the run control exists.
    void setRun(const RunControl* run) { run_ = run; }

    std::optional<std::string> ShowOpenProject() override;
    void EnableHisControls(bool value) override;
    void EnableModeSwitch(bool enable) override;
    void SetModeSwitchCaption(const std::string& caption) override;
    void EnableSetFrame(bool enable) override;
    void EnableStart(bool enable) override;
    void EnableSaveAs(bool enable) override;
    void EnableCmdFrame(bool enable) override;
    void EnableConvert(bool enable) override;
    void ShowPlaying(bool playing) override;
    void SetupPlots(bool historyMode) override;
    bool LastRunRecorded() const override;

private:
    HistoryPanel& history_;
    DevicePanel& device_;
    SignalPanel& signal_;
    CommandButtons& commands_;
    PlotControl& plots_;
    IPrompts& prompts_;
    const RunControl* run_ = nullptr;
    std::string lastFolder_;
};

} // namespace ondrel
