#pragma once
#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/acquisition/buffered_ai.h"
#include "ondrel/acquisition/soft_polling.h"
#include "ondrel/recording/project_description.h"
#include <optional>
#include <string>

namespace ondrel {

// The controls a Start or Stop switches, as the run sees them.
class ICommandPanel {
public:
    virtual ~ICommandPanel() = default;
    virtual void EnableSetCmdControls(bool enable) = 0;
    virtual void SetStartCaption(const std::string& caption) = 0;
    virtual void EnableSaveAs(bool enable) = 0;
};

// Fields 1-12 of the description of the run about to start, read from the
// session, the devices and the chart's plots.
RunDescription DescribeRun(const AcquisitionContext& c);

// Why a switch may not be turned on, or nothing when it may.
std::optional<std::string> AISwitchRefusal(const SessionState& s, const IKroAI& ai);
std::optional<std::string> DISwitchRefusal(const SessionState& s, const IKroDIO& dio);

// Start and Stop of an acquisition, in the order the recording relies on.
class RunControl {
public:
    RunControl(AcquisitionContext& context, ICommandPanel& panel)
        : c_(context), panel_(panel), buffered_(context), polling_(context)
    {
    }

    // Start when idle, Stop when running.
    void BtnStart_Click();
    // A tick of the "SoftPoolTimer" entry; a failing tick is reported, once per
    // distinct message in a run, and the run goes on.
    void OnSoftPoolTick();

    BufferedAI& buffered() { return buffered_; }
    SoftPolling& polling() { return polling_; }

private:
    void Start();
    void Stop();
    void WriteProjectInfo();

    AcquisitionContext& c_;
    ICommandPanel& panel_;
    BufferedAI buffered_;
    SoftPolling polling_;
    std::string lastTickError_;
};

} // namespace ondrel
