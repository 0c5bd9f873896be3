#include "ondrel/acquisition/run_control.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/scan_interval.h"
#include <algorithm>

namespace ondrel {

namespace {

// How often a recording run rewrites fields 13-14 (milliseconds).
constexpr uint32_t kProgressPeriodMs = 1000;

} // namespace

RunControl::RunControl(const AcquisitionParts& parts, ICommandPanel& panel)
    : c_{parts, status_, [this] { StopIfRunning(); }, [this] { KeepProgress(); }}, panel_(panel), buffered_(c_),
      handedChart_(c_.graph, c_.pollingThread,
                   [this](const std::string& error) { ReportOnce(lastChartError_, error); }),
      polling_(c_, handedChart_)
{}

void RunControl::BtnStart_Click()
{
    if (status_.isSystemRunning)
        Stop();
    else
        Start();
}

void RunControl::StopIfRunning()
{
    if (status_.isSystemRunning)
        Stop();
}

void RunControl::KroButton1_SwitchChanged()
{
    const bool on = c_.aiSwitch.Value();
    if (on) {
        if (const auto refusal = AISwitchRefusal(c_.setup, c_.ai)) {
            c_.prompts.MsgBox(*refusal, "");
            c_.aiSwitch.setValue(false);
            c_.setup.bAIEnabled = false;
            return;
        }
    }
    c_.setup.bAIEnabled = on;
    panel_.EnableAISaveBox(on);
    RefreshLegend("KroButton1_SwitchChanged");
}

void RunControl::KroButton2_SwitchChanged()
{
    const bool on = c_.diSwitch.Value();
    if (on) {
        if (const auto refusal = DISwitchRefusal(c_.setup, c_.dio)) {
            c_.prompts.MsgBox(*refusal, "");
            c_.diSwitch.setValue(false);
            c_.setup.bDIEnabled = false;
            return;
        }
    }
    c_.setup.bDIEnabled = on;
    panel_.EnableDISaveBox(on);
    RefreshLegend("KroButton2_SwitchChanged");
}

void RunControl::SetAISwitch(bool on)
{
    c_.aiSwitch.setValue(on);
    c_.setup.bAIEnabled = on;
    panel_.EnableAISaveBox(on);
}

void RunControl::SetDISwitch(bool on)
{
    c_.diSwitch.setValue(on);
    c_.setup.bDIEnabled = on;
    panel_.EnableDISaveBox(on);
}

void RunControl::RefreshLegend(const char* handler)
{
    try {
        panel_.UpdatePlotListView();
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), handler);
    }
}

void RunControl::CkAISave2Disk_Click(bool checked) { c_.setup.bAISaveToDisk = checked; }

void RunControl::CkDISave2Disk_Click(bool checked) { c_.setup.bDISaveToDisk = checked; }

void RunControl::EnableSetCmdControls(bool enable)
{
    panel_.EnableSetControls(enable);
    if (enable) {
        panel_.EnableAISaveBox(c_.aiSwitch.Value());
        panel_.EnableDISaveBox(c_.diSwitch.Value());
    }
}

void RunControl::WriteProjectInfo()
{
    const RunDescription run = DescribeRun(c_);
    c_.Files().WriteProjectInfo(
        run, [this](std::string_view message) { c_.prompts.MsgBox(std::string(message), "WriteProjectInfo"); });
}

void RunControl::Start()
{
    const AcquisitionSetup& setup = c_.setup;
    RunStatus& s = status_;
    if (!setup.bAIEnabled && !setup.bDIEnabled) {
        c_.prompts.MsgBox("No Operation is enabled", "");
        return;
    }
    std::string failure;
    try {
        s.isSystemRunning = true;
        s.nSoftTickCount = 0;
        lastTickError_.clear();
        lastChartError_.clear();
        pollingHalted_ = false;
        ++s.runsStarted;
        handedChart_.NewRun();
        c_.graph.ClearData();
        panel_.SetStartCaption("Stop");
        EnableSetCmdControls(false);
        panel_.EnableSaveAs(false);
        WriteProjectInfo();
        // Counters restart before the first buffer or tick can arrive.
        s.nScanCount = 0;
        s.nStartTicks = c_.clock.TickCount();
        lastScanTicks_ = s.nStartTicks;
        lastProgressTicks_ = s.nStartTicks;
        s.bAIDataSaved = s.bFAIDataSaved = s.bDIDataSaved = false;
        if (setup.bSoftMode)
            polling_.SoftPoolStart([this, run = s.runsStarted] { OnPollingThreadTick(run); });
        else
            buffered_.FAIStart();
        return;
    } catch (const std::exception& error) {
        // The failing device's own message, or the file's: never one left over
        // from an earlier error. A start routine that found a device missing
        // has already stopped the run.
        failure = error.what();
    }
    c_.prompts.MsgBox(failure, "BtnStart");
    if (s.isSystemRunning && c_.files != nullptr) {
        // Whatever the start got through, the description gets its closing fields.
        try {
            c_.files->WriteRunEnd({static_cast<int32_t>(s.nScanCount), 0.0});
        } catch (const std::exception& error) {
            c_.prompts.MsgBox(error.what(), "BtnStart");
        }
    }
    s.isSystemRunning = false;
    EnableSetCmdControls(true);
    panel_.SetStartCaption("Start");
}

void RunControl::Stop()
{
    const AcquisitionSetup& setup = c_.setup;
    RunStatus& s = status_;
    try {
        if (setup.bSoftMode) {
            c_.pollingThread.Stop();
        } else {
            // The card's last buffers are recorded and counted before the
            // file closes and the description gets its end.
            buffered_.FAIStop();
            if (setup.bAISaveToDisk && c_.files != nullptr)
                c_.files->CloseFAI();
        }
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), "BtnStart");
    }
    // Read once no tick runs any more. A polled recording that halted early
    // ends at its last scan, not when the operator dismissed the message that
    // said so: its interval is that of the scans recorded.
    const uint32_t now = setup.bSoftMode && pollingHalted_ ? lastScanTicks_.load() : c_.clock.TickCount();
    // The description is completed whatever stopping the device did.
    try {
        c_.Files().WriteRunEnd(RunEndAt(now));
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), "BtnStart");
    }
    s.isSystemRunning = false;
    EnableSetCmdControls(true);
    panel_.SetStartCaption("Start");
    panel_.EnableSaveAs(s.Recorded());
}

void RunControl::OnPollingThreadTick(uint64_t run)
{
    // After a failure the ticks until the program thread stops the run
    // record nothing: the recording ends whole where the failure was.
    if (pollingHalted_)
        return;
    try {
        polling_.SoftPoolTimerPorc();
    } catch (const RecordingFiles::WriteError& error) {
        HandOver(run, error.what(), true);
        return;
    } catch (const SoftPolling::ReadFailure& error) {
        HandOver(run, error.what(), true);
        return;
    } catch (const std::exception& error) {
        // Compared here as well, so that a failure at every tick is handed
        // over once rather than a thousand times a second.
        if (error.what() != lastTickError_) {
            lastTickError_ = error.what();
            HandOver(run, lastTickError_, false);
        }
        return;
    }
    lastScanTicks_ = c_.clock.TickCount();
    if (status_.nScanCount >= kMaxScanCount) {
        HandOver(run, kRecordingFull, true);
    } else if (const auto progress = ProgressDue()) {
        // Syncing the data can take the disk tens of milliseconds: it is done
        // on the program thread, which only shows the chart meanwhile. The
        // count covers scans written before it was handed over, so the sync
        // there takes them in. After Stop the final count stands.
        c_.pollingThread.Post([this, run, progress = *progress] {
            if (run == status_.runsStarted && status_.isSystemRunning)
                WriteProgress(progress);
        });
    }
}

void RunControl::HandOver(uint64_t run, std::string message, bool stop)
{
    if (stop)
        pollingHalted_ = true;
    c_.pollingThread.Post([this, run, message = std::move(message), stop] {
        const bool current = run == status_.runsStarted && status_.isSystemRunning;
        // A failure that cut the recording short is shown even when the
        // operator stopped the run before the message arrived.
        if (!current && !stop)
            return;
        c_.prompts.MsgBox(message, "SoftPoolTimerProc");
        if (stop && current)
            StopIfRunning();
    });
}

// At a 1 ms tick the same failure would otherwise bury the operator in
// message boxes; each distinct one is shown once per run.
void RunControl::ReportOnce(std::string& last, const std::string& message)
{
    if (message == last)
        return;
    last = message;
    c_.prompts.MsgBox(message, "SoftPoolTimerProc");
}

RunEnd RunControl::RunEndAt(uint32_t now) const
{
    const RunStatus& s = status_;
    const uint32_t elapsed = s.nScanCount >= 1 ? ElapsedMs(s.nStartTicks, now) : 0;
    const bool device = c_.ai.DeviceNumber() >= 0;
    const int64_t scans = std::min(s.nScanCount.load(), kMaxScanCount);
    return {static_cast<int32_t>(scans), ScanInterval(scans, c_.setup.bSoftMode, device ? c_.ai.ChanCount() : 0,
                                                      device ? c_.ai.SampleRate() : 0.0, elapsed)};
}

void RunControl::KeepProgress()
{
    if (!status_.isSystemRunning)
        return;
    if (const auto progress = ProgressDue())
        WriteProgress(*progress);
}

std::optional<RunEnd> RunControl::ProgressDue()
{
    const RunStatus& s = status_;
    if (c_.files == nullptr || !(s.bAIDataSaved || s.bFAIDataSaved || s.bDIDataSaved))
        return std::nullopt;
    const uint32_t now = c_.clock.TickCount();
    if (ElapsedMs(lastProgressTicks_, now) < kProgressPeriodMs)
        return std::nullopt;
    lastProgressTicks_ = now;
    return RunEndAt(now);
}

void RunControl::WriteProgress(const RunEnd& progress)
{
    try {
        c_.files->WriteProgress(progress);
    } catch (const std::exception& error) {
        StopRecording(error.what(), c_.setup.bSoftMode ? "SoftPoolTimerProc" : "BufferChange");
    }
}

void RunControl::StopRecording(const std::string& message, const char* title)
{
    c_.prompts.MsgBox(message, title);
    StopIfRunning();
}

} // namespace ondrel
