#pragma once
#include "ondrel/acquisition/run_control.h"

namespace ondrel {

class CommandButtons;
class DevicePanel;
class PlotControl;
class SignalPanel;

// The window's controls as a run switches them.
class RunView final : public ICommandPanel {
public:
    RunView(DevicePanel& device, SignalPanel& signal, CommandButtons& commands, PlotControl& plots)
        : device_(device), signal_(signal), commands_(commands), plots_(plots)
    {}

    void EnableSetControls(bool enable) override;
    void EnableAISaveBox(bool enable) override;
    void EnableDISaveBox(bool enable) override;
    void SetStartCaption(const std::string& caption) override;
    void EnableSaveAs(bool enable) override;
    void UpdatePlotListView() override;

private:
    DevicePanel& device_;
    SignalPanel& signal_;
    CommandButtons& commands_;
    PlotControl& plots_;
};

} // namespace ondrel
