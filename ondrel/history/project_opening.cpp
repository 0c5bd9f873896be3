// Opening a saved project for replay and leaving history mode again.
#include "ondrel/history/replay_control.h"

#include "ondrel/graph/chart_length.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/history/data_file_path.h"
#include "ondrel/history/project_index.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <algorithm>
#include <limits>

namespace ondrel {

namespace {

std::vector<ReplayPlot> ToReplayPlots(const std::vector<PlotRecord>& records)
{
    std::vector<ReplayPlot> plots;
    plots.reserve(records.size());
    for (const PlotRecord& record : records)
        plots.push_back({static_cast<uint32_t>(record.color), record.lineStyle, record.name});
    return plots;
}

// Copies a checked description into the replay fields and tables. A section
// whose flag is off leaves its counts at 0.
void ApplyProjectInfo(const ProjectDescription& description, ReplayState& state)
{
    const RunDescription& run = description.run;
    state.bHisAI = run.aiRecorded;
    state.bHisDI = run.diRecorded;
    state.bHisAISoft = run.softRecorded;
    state.bHisAIAnalog = run.floatSamples;
    state.nHisAIChanCount = run.aiRecorded ? run.aiChanCount : 0;
    state.nHisDIChanCount = run.diRecorded ? run.diChanCount : 0;

    state.aiPlots = run.ai ? ToReplayPlots(run.ai->plots) : std::vector<ReplayPlot>{};
    state.HisAIChanKind = run.ai ? run.ai->channelKinds : std::vector<uint8_t>{};
    state.nHisAIMaxChanNum = static_cast<int32_t>(state.HisAIChanKind.size());
    state.diPlots = run.di ? ToReplayPlots(run.di->plots) : std::vector<ReplayPlot>{};
    state.HisDIPortMask = run.di ? run.di->portMasks : std::vector<uint8_t>{};
    state.nHisDIMaxPortCount = static_cast<int32_t>(state.HisDIPortMask.size());

    state.nHisScanCount = description.end ? description.end->scanCount : 0;
    state.dHisScanInterval = description.end ? description.end->scanInterval : 0.0;
    state.szHisAIFile = description.paths ? description.paths->aiFilePath : std::string{};
    state.szHisDIFile = description.paths ? description.paths->diFilePath : std::string{};
}

// A data file that cannot be opened is reported and replay goes on without
// it; a missing one is never created. Both files' failures are titled
// "ReadHisAIFile", as the program has always titled them. An AI file that
// cannot be opened says "CreateFile Fails "; any other failure (a refused file,
// a DI file that cannot be opened, a header that makes no sense) says what is
// wrong and names the file.
template <typename Open>
void OpenDataFile(IPrompts& prompts, bool aiFile, Open&& open)
{
    try {
        open();
    } catch (const FileError& error) {
        prompts.MsgBox(aiFile && error.errorNumber() != 0 ? "CreateFile Fails " : error.what(), "ReadHisAIFile");
    }
}

} // namespace

void ReplayControl::BtnHistory_Click()
{
    const std::optional<std::string> chosen = view_.ShowOpenProject();
    if (!chosen || !FileExists(*chosen))
        return;
    OpenProject(*chosen);
}

void ReplayControl::OpenProject(const std::string& projectFile)
{
    ProjectDescription description;
    try {
        description = ReadProjectInfo(projectFile);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnHistory");
        return;
    }
    ReplayState loaded;
    ApplyProjectInfo(description, loaded);

    AIReplayReader ai;
    DIReplayReader di;
    if (loaded.bHisAI)
        OpenDataFile(prompts_, true, [&] {
            ai.Open(RecordedDataFile(projectFile, loaded.szHisAIFile, kAIDataFileName), loaded.nHisAIChanCount,
                    loaded.bHisAIAnalog);
        });
    if (loaded.bHisDI)
        OpenDataFile(prompts_, false,
                     [&] { di.Open(RecordedDataFile(projectFile, loaded.szHisDIFile, kDIDataFileName)); });

    // Everything read; from here on the window changes.
    if (ticking_)
        SetTimerRunning(false);
    ai_ = std::move(ai);
    di_ = std::move(di);
    opened_ = RecordingInfoOf(projectFile, description);
    ReplayState& s = s_;
    s = std::move(loaded);
    s.szHisProjectFile = projectFile;
    s.nHisDIPortStart = di_.IsOpen() ? di_.PortStart() : 0;
    s.nHisDIPortCount = di_.IsOpen() ? di_.PortCount() : 0;
    int64_t scans = std::numeric_limits<int64_t>::max();
    if (s.bHisAI)
        scans = std::min(scans, ai_.ScanCount());
    if (s.bHisDI)
        scans = std::min(scans, di_.ScanCount());
    s.nHisDataScanCount = s.bHisAI || s.bHisDI ? scans : 0;
    s.bHisFileExist = true;
    s.bHistoryMode = true;
    ++openings_;
    playChecked_ = false;

    view_.EnableModeSwitch(true);
    view_.SetModeSwitchCaption("Acquisition");
    view_.EnableHisControls(true);
    view_.EnableSetFrame(false);
    view_.EnableStart(false);
    view_.EnableSaveAs(false);
    view_.ShowPlaying(false);
    view_.SetupPlots(true);
    try {
        SetUpChartAndTimer();
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnHistory");
    }
}

std::unique_ptr<RecordingReader> ReplayControl::ReaderFor(bool ai, bool di) const
{
    return std::make_unique<RecordingReader>(opened_, ai ? &ai_.Scans() : nullptr, di ? &di_.Scans() : nullptr);
}

void ReplayControl::SetUpChartAndTimer()
{
    if (di_.IsOpen()) {
        // DI lines sit 15 units apart per port, 1.5 per bit.
        IKroAxis& diAxis = graph_.Axes().Item(kDIAxis);
        diAxis.setAutoScale(false);
        diAxis.SetRange(15.0 * s_.nHisDIPortStart - 1, 15.0 * s_.nHisDIPortStart + 30.0 * s_.nHisDIPortCount - 1);
    }
    graph_.ClearData();
    IKroAxis& time = graph_.Axes().Item(kTimeAxis);
    time.setMinimum(0.0);
    time.setMaximum(10.0);
    timeBase_.dDIVValue = 1.0;
    graph_.setChartLength(ReplayOpenChartLength(s_.dHisScanInterval));

    ITimerControl& timer = Timer();
    if (!timer.exist(kHistoryTimer)) {
        timer.Add(kHistoryTimer, 100, false);
    } else {
        timer.setEnabled(kHistoryTimer, false);
        timer.setInterval(kHistoryTimer, 100);
    }
    s_.isHisPlaying = false;
    s_.isHisPlayPaused = false;

    // Both puts go through the sliders' handlers: the first positions the
    // files at the first scan, the second sets real-time speed.
    position_.setValue(0.0);
    speed_.setValue(1.0 / s_.dHisScanInterval);

    timeBase_.isNumEditEventFired = true;
    led_.setValue(1.0);
    timeBase_.isNumEditEventFired = false;
}

void ReplayControl::BtnModeSwitch_Click()
{
    if (!s_.bHistoryMode)
        return;
    s_.bHistoryMode = false;
    view_.EnableHisControls(false);
    view_.EnableSetFrame(true);
    view_.EnableStart(true);
    view_.SetModeSwitchCaption("History Mode");
    view_.EnableModeSwitch(false);
    view_.EnableCmdFrame(true);
    view_.EnableSaveAs(view_.LastRunRecorded());
    ai_.Close();
    di_.Close();
    try {
        if (timer_ != nullptr && timer_->exist(kHistoryTimer))
            SetTimerRunning(false);
    } catch (const std::exception& error) {
        prompts_.MsgBox(error.what(), "BtnModeSwitch");
    }
    ticking_ = false;
    s_.isHisPlaying = false;
    view_.SetupPlots(false);
}

} // namespace ondrel
