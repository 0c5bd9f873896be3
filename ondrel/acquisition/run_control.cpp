#include "ondrel/acquisition/run_control.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/scan_interval.h"

namespace ondrel {

void RunControl::BtnStart_Click()
{
    if (c_.state.isSystemRunning)
        Stop();
    else
        Start();
}

void RunControl::WriteProjectInfo()
{
    const RunDescription run = DescribeRun(c_);
    c_.Files().WriteProjectInfo(run, [this](std::string_view message) {
        c_.prompts.MsgBox(std::string(message), "WriteProjectInfo");
    });
}

void RunControl::Start()
{
    SessionState& s = c_.state;
    if (!s.bAIEnabled && !s.bDIEnabled) {
        c_.prompts.MsgBox("No Operation is enabled", "");
        return;
    }
    std::string failure;
    try {
        s.isSystemRunning = true;
        s.nSoftTickCount = 0;
        lastTickError_.clear();
        c_.graph.ClearData();
        panel_.SetStartCaption("Stop");
        panel_.EnableSetCmdControls(false);
        panel_.EnableSaveAs(false);
        WriteProjectInfo();
        // Counters restart before the first buffer or tick can arrive.
        s.nScanCount = 0;
        s.nStartTicks = c_.clock.TickCount();
        s.bAIDataSaved = s.bFAIDataSaved = s.bDIDataSaved = false;
        const bool ok = s.bSoftMode ? polling_.SoftPoolStart() : buffered_.FAIStart();
        if (ok)
            return;
        // A start routine that found a device missing has already stopped the run.
        failure = c_.ai.ErrorMessage();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (!failure.empty())
        c_.prompts.MsgBox(failure, "BtnStart");
    if (s.isSystemRunning && c_.files != nullptr) {
        // Whatever the start got through, the description gets its closing fields.
        try {
            c_.files->WriteRunEnd({s.nScanCount, 0.0});
        } catch (const std::exception& error) {
            c_.prompts.MsgBox(error.what(), "BtnStart");
        }
    }
    s.isSystemRunning = false;
    panel_.EnableSetCmdControls(true);
    panel_.SetStartCaption("Start");
}

void RunControl::Stop()
{
    SessionState& s = c_.state;
    const uint32_t now = c_.clock.TickCount();
    const uint32_t elapsed = s.nScanCount >= 1 ? ElapsedMs(s.nStartTicks, now) : 0;
    try {
        if (s.bSoftMode) {
            ITimerControl& timer = c_.Timer();
            if (timer.exist(kSoftPoolTimer))
                timer.setEnabled(kSoftPoolTimer, false);
        } else {
            c_.ai.StopFAI(0);
            if (s.bAISaveToDisk && c_.files != nullptr)
                c_.files->CloseFAI();
        }
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), "BtnStart");
    }
    // The description is completed whatever stopping the device did.
    try {
        const double interval =
            ScanInterval(s.nScanCount, s.bSoftMode, c_.ai.DeviceNumber() >= 0 ? c_.ai.ChanCount() : 0,
                         c_.ai.DeviceNumber() >= 0 ? c_.ai.SampleRate() : 0.0, elapsed);
        c_.Files().WriteRunEnd({s.nScanCount, interval});
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), "BtnStart");
    }
    s.isSystemRunning = false;
    panel_.EnableSetCmdControls(true);
    panel_.SetStartCaption("Start");
    panel_.EnableSaveAs(s.bAIDataSaved || s.bFAIDataSaved || s.bDIDataSaved);
}

void RunControl::OnSoftPoolTick()
{
    if (!c_.state.isSystemRunning || !c_.state.bSoftMode)
        return;
    try {
        polling_.SoftPoolTimerPorc();
    } catch (const std::exception& error) {
        // At a 1 ms tick the same failure would otherwise bury the operator in
        // message boxes; each distinct one is shown once per run.
        if (error.what() != lastTickError_) {
            lastTickError_ = error.what();
            c_.prompts.MsgBox(lastTickError_, "SoftPoolTimerProc");
        }
    }
}

} // namespace ondrel
