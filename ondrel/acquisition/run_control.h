#pragma once
#include "ondrel/acquisition/acquisition_context.h"
#include "ondrel/acquisition/buffered_ai.h"
#include "ondrel/acquisition/soft_polling.h"
#include "ondrel/recording/project_description.h"
#include <atomic>
#include <optional>
#include <string>

namespace ondrel {

// The controls a run switches, as the run sees them.
class ICommandPanel {
public:
    virtual ~ICommandPanel() = default;
    // The device and signal frames with everything in them.
    virtual void EnableSetControls(bool enable) = 0;
    virtual void EnableAISaveBox(bool enable) = 0;
    virtual void EnableDISaveBox(bool enable) = 0;
    virtual void SetStartCaption(const std::string& caption) = 0;
    virtual void EnableSaveAs(bool enable) = 0;
    // Throws when the chart holds fewer plots than the legend should list.
    virtual void UpdatePlotListView() = 0;
};

// Fields 1-12 of the description of the run about to start, read from the
// set-up, the devices and the chart's plots.
RunDescription DescribeRun(const AcquisitionContext& c);

// Why a switch may not be turned on, or nothing when it may.
std::optional<std::string> AISwitchRefusal(const AcquisitionSetup& s, const IKroAI& ai);
std::optional<std::string> DISwitchRefusal(const AcquisitionSetup& s, const IKroDIO& dio);

// The switches, the save boxes, and Start and Stop of an acquisition in the
// order the recording relies on. Owns the run's status.
class RunControl {
public:
    RunControl(const AcquisitionParts& parts, ICommandPanel& panel);

    const RunStatus& status() const { return status_; }
    bool IsRunning() const { return status_.isSystemRunning; }

    // Start when idle, Stop when running.
    void BtnStart_Click();
    // Stops a running acquisition as the Stop button does; nothing when idle.
    void StopIfRunning();

    void KroButton1_SwitchChanged();
    void KroButton2_SwitchChanged();
    // A switch put by the settings rather than flipped by the operator: its
    // picture, its flag and its save box change together, without the operator's
    // checks. The legend is left to the caller, which rebuilds the plots next.
    void SetAISwitch(bool on);
    void SetDISwitch(bool on);
    void CkAISave2Disk_Click(bool checked);
    void CkDISave2Disk_Click(bool checked);
    // The set-up controls, and with them the save boxes of the switches that are on.
    void EnableSetCmdControls(bool enable);

    IKroAIEvents& aiEvents() { return buffered_; }
    BufferedAI& buffered() { return buffered_; }
    SoftPolling& polling() { return polling_; }

private:
    void Start();
    void Stop();
    void WriteProjectInfo();
    // Fields 13-14 for the scans counted so far, as at a Stop at `now`.
    RunEnd RunEndAt(uint32_t now) const;
    void KeepProgress();
    // Fields 13-14 for now when a second has passed since they were last
    // taken, or nothing.
    std::optional<RunEnd> ProgressDue();
    // Fields 13-14 kept current; a recording that cannot keep them stops.
    void WriteProgress(const RunEnd& progress);
    // A recording that cannot go on: the message, then Stop.
    void StopRecording(const std::string& message, const char* title);
    // A tick on the polling thread. A failure to read a device or to write
    // the recording stops the run; any other failing tick is reported once per
    // distinct message and the run goes on. What concerns the window is handed
    // to the program thread.
    void OnPollingThreadTick(uint64_t run);
    // From the polling thread: shows `message` on the program thread and, with
    // `stop`, stops the run `run` if it still runs. A message with `stop` says
    // the recording was cut short and is shown even after the run ended; one
    // without is dropped then.
    void HandOver(uint64_t run, std::string message, bool stop);
    // A message shown once per distinct text in a run.
    void ReportOnce(std::string& last, const std::string& message);
    // The legend after a switch flip; a failure is reported under `handler`.
    void RefreshLegend(const char* handler);

    RunStatus status_;
    AcquisitionContext c_;
    ICommandPanel& panel_;
    BufferedAI buffered_;
    HandedPolledChart handedChart_;
    SoftPolling polling_;
    std::string lastTickError_;
    std::string lastChartError_;
    uint32_t lastProgressTicks_ = 0;
    // Written by the polling thread, read at Stop once it has stopped.
    std::atomic<bool> pollingHalted_ = false; // a stop was handed over
    std::atomic<uint32_t> lastScanTicks_ = 0; // the clock at the last scan recorded
};

} // namespace ondrel
