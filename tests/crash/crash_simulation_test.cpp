#include "crash/crash_states.h"
#include "crash/file_op_recorder.h"
#include "crash/power_loss_model.h"

#include "recording/file_content.h"
#include "recording/interrupted_runs.h"
#include "common/scratch_folder.h"
#include "support/sync_polling_thread.h"
#include "support/recorded_prompts.h"
#include "support/wait_for.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_signal.h"
#include "kro/devices/sim_thermo.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/interrupted_run.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/run_lock.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/common/working_folder.h"
#include "ondrel/settings/channel_tables.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <memory>

namespace ondrel {
namespace {

using namespace ondrel::testing;
namespace fs = std::filesystem;

using ProjectFiles = std::map<std::string, std::vector<std::byte>>;

// The files of a project in `folder` ("Project.onp", "AI.ond", "DI.ond"),
// those that are there.
ProjectFiles ProjectIn(const std::string& folder)
{
    ProjectFiles files;
    for (const char* name : {"Project.onp", "AI.ond", "DI.ond"})
        if (fs::is_regular_file(fs::symlink_status(folder + "/" + name)))
            files[name] = FileContent(folder + "/" + name);
    return files;
}

bool MarkedSaved(const std::string& workingFolder)
{
    const std::string lock = workingFolder + "/" + RunLock::kFileName;
    return fs::is_regular_file(lock) && fs::file_size(lock) > 0;
}

int totalStates = 0;

void Report(const char* scenario, int states)
{
    totalStates += states;
    std::cout << "crash states checked, " << scenario << ": " << states << " (all scenarios so far: " << totalStates
              << ")\n";
    ::testing::Test::RecordProperty("crash_states", states);
}

// A scratch tree recorded from its root ("live") and rebuilt after each
// simulated power loss ("crash").
class CrashSimulation : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::string root = scratch / "live";
    const std::string crash = scratch / "crash";
    const std::string work = root + "/work";

    void SetUp() override
    {
        fs::create_directory(root);
        fs::create_directory(work);
        fs::permissions(work, fs::perms::owner_all);
    }
    // Where `path` under the live root lies in the crash tree.
    std::string Crashed(const std::string& path) const { return crash + path.substr(root.size()); }
};

// A run of the simulated cards recording into a working folder of `parent`,
// as the program does it: the run control, a real chart, the timer control
// faked so that each tick is one call.
class CardRun {
public:
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio{kro::card::Di3Ports};
    kro::SimThermo thermo;
    kro::KroGraph graph;
    kro::KroLED led;
    kro::KroButton aiSwitch, diSwitch;
    AcquisitionSetup setup;
    TimeBaseState timeBase;
    RecordedPrompts prompts;
    ManualClock clock{5000};
    SyncPollingThread polling;
    struct Panel final : ICommandPanel {
        void EnableSetControls(bool) override {}
        void EnableAISaveBox(bool) override {}
        void EnableDISaveBox(bool) override {}
        void SetStartCaption(const std::string&) override {}
        void EnableSaveAs(bool) override {}
        void UpdatePlotListView() override {}
    } panel;
    std::unique_ptr<RecordingFiles> files;
    std::unique_ptr<RunControl> run;

    // Start-up: the working folder and its files, the defaults.
    explicit CardRun(const std::string& parent)
    {
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        ConfigureChartAxes(graph);
        files = std::make_unique<RecordingFiles>(CreateWorkingFolder(std::vector<std::string>{parent}));
        files->OpenAtStartUp();
        run = std::make_unique<RunControl>(AcquisitionParts{setup, timeBase, ai, dio, thermo, graph, led, aiSwitch,
                                                            diSwitch, prompts, clock, polling, files.get()},
                                           panel);
        ai.setEvents(&run->aiEvents());
    }
    ~CardRun()
    {
        run->StopIfRunning();
        ai.setEvents(nullptr);
        // No shut-down: the program dies with its folder on the disk.
    }
    void Switch(kro::KroButton& which, bool on)
    {
        which.setValue(on);
        if (&which == &aiSwitch)
            run->KroButton1_SwitchChanged();
        else
            run->KroButton2_SwitchChanged();
    }
    void Plots(int count)
    {
        graph.Plots().RemoveAll();
        for (int i = 0; i < count; ++i)
            graph.Plots().Add();
    }
    std::vector<kro::SimRange> Ranges()
    {
        std::vector<kro::SimRange> ranges;
        for (int32_t ch = 0; ch < ai.MaxChanCount(); ++ch) {
            kro::SimRange r;
            ai.GetChannelRange(ch, r.low, r.high, r.code);
            ranges.push_back(r);
        }
        return ranges;
    }
};

float FloatAt(const std::vector<std::byte>& bytes, size_t index)
{
    float value;
    std::memcpy(&value, bytes.data() + index * 4, 4);
    return value;
}

// What a recording run left and what recovery must make of it after a power
// loss at any step: offered whenever fields 13-14 promised scans, and then
// only whole scans, each as the run recorded it.
struct RecordedRun {
    std::string folder; // the working folder
    std::string aiFile; // the AI data in it
    RunDescription description;
    std::vector<std::byte> ai, di; // the files as the run left them
    size_t aiScanBytes = 0, diScanBytes = 0;
    std::vector<Promise> promises;
};

void CheckRecovered(const RecordedRun& recorded, size_t opsDone, const std::string& crashedWork,
                    const std::string& crashedFolder, const std::string& saveInto)
{
    int32_t promised = 0;
    for (const Promise& promise : recorded.promises)
        if (opsDone >= promise.opsDone)
            promised = std::max(promised, promise.scans);
    std::vector<InterruptedRun> runs = FindInterruptedRuns(std::vector<std::string>{crashedWork});
    ASSERT_LE(runs.size(), 1u);
    if (promised > 0) {
        ASSERT_EQ(runs.size(), 1u) << promised << " scans were promised";
        EXPECT_GE(runs[0].wholeScans, promised);
    }
    if (runs.empty())
        return;
    EXPECT_EQ(runs[0].folder, crashedFolder);
    SaveInterruptedRun(runs[0], saveInto);
    const ProjectDescription saved = ParseProjectDescription(FileContent(saveInto + "/Project.onp"));
    EXPECT_EQ(saved.run, recorded.description);
    ASSERT_TRUE(saved.end.has_value());
    const auto scans = static_cast<size_t>(saved.end->scanCount);
    EXPECT_EQ(saved.end->scanCount, runs[0].wholeScans);
    EXPECT_TRUE(std::isfinite(saved.end->scanInterval) && saved.end->scanInterval > 0.0);
    if (recorded.aiScanBytes > 0) {
        const auto ai = FileContent(saveInto + "/AI.ond");
        ASSERT_EQ(ai.size(), scans * recorded.aiScanBytes);
        ASSERT_LE(ai.size(), recorded.ai.size());
        EXPECT_TRUE(std::equal(ai.begin(), ai.end(), recorded.ai.begin())) << "AI data differ";
    }
    if (recorded.diScanBytes > 0) {
        const auto di = FileContent(saveInto + "/DI.ond");
        ASSERT_EQ(di.size(), 8 + scans * recorded.diScanBytes);
        ASSERT_LE(di.size(), recorded.di.size());
        EXPECT_TRUE(std::equal(di.begin(), di.end(), recorded.di.begin())) << "DI data differ";
    }
}

TEST_F(CrashSimulation, APolledRecordingIsRecoverableWholeAfterAPowerLossAtEveryStep)
{
    PowerLossModel model(root);
    RecordedRun recorded;
    std::vector<FileOp> ops;
    {
        FileOpRecorder recorder(root);
        CardRun card(work);
        card.ai.setChanCount(2);
        card.setup.nDIPortMask = {0x00, 0x24, 0x00, 0x00}; // port 1, lines 2 and 5
        card.setup.nDIPortStart = 1;
        card.setup.nDIPortCount = 1;
        card.setup.nDIChanCount = 2;
        card.Plots(4);
        card.Switch(card.aiSwitch, true);
        card.Switch(card.diSwitch, true);
        card.run->CkAISave2Disk_Click(true);
        card.run->CkDISave2Disk_Click(true);
        card.run->BtnStart_Click();
        ASSERT_TRUE(card.run->IsRunning());
        for (int tick = 0; tick < 10; ++tick) {
            card.clock.Advance(250); // fields 13-14 kept every fourth tick
            card.polling.Tick();
        }
        card.run->BtnStart_Click();
        ASSERT_TRUE(card.prompts.messages.empty()) << card.prompts.messages.front().text;
        ops = recorder.Ops();

        recorded.folder = card.files->Folder();
        recorded.aiFile = card.files->AIFileName();
        recorded.description = ParseProjectDescription(FileContent(card.files->ProjectFileName())).run;
        recorded.ai = FileContent(card.files->AIFileName());
        recorded.di = FileContent(card.files->DIFileName());
        recorded.aiScanBytes = 2 * 4;
        recorded.diScanBytes = 1;
        recorded.promises = ScanCountPromises(ops, card.files->ProjectFileName());

        // The run recorded the cards' signals.
        ASSERT_EQ(recorded.ai.size(), 10u * 8);
        ASSERT_EQ(recorded.di.size(), 8u + 10);
        const auto ranges = card.Ranges();
        for (size_t k = 0; k < 20; ++k)
            ASSERT_EQ(FloatAt(recorded.ai, k),
                      static_cast<float>(kro::SimSignal::runSample(*card.ai.card(), card.ai.ChanStart(), 2, ranges,
                                                                   static_cast<int64_t>(k))
                                             .value))
                << "sample " << k;
        for (size_t scan = 0; scan < 10; ++scan)
            ASSERT_EQ(std::to_integer<uint8_t>(recorded.di[8 + scan]),
                      kro::SimSignal::diPort(1, static_cast<int64_t>(scan)));
    }
    ASSERT_EQ(recorded.promises.size(), 3u); // after 4 and 8 ticks, and at Stop
    EXPECT_EQ(recorded.promises.back().scans, 10);

    const int states = CheckEveryCrashState(model, ops, crash, [&](size_t done) {
        CheckRecovered(recorded, done, Crashed(work), Crashed(recorded.folder), scratch / "rescued");
        fs::remove_all(scratch / "rescued");
    });
    Report("polled recording", states);
}

TEST_F(CrashSimulation, ABufferedRecordingIsRecoverableWholeAfterAPowerLossAtEveryStep)
{
    PowerLossModel model(root);
    RecordedRun recorded;
    std::vector<FileOp> ops;
    {
        FileOpRecorder recorder(root);
        CardRun card(work);
        const double rate = 4000.0; // a half every half second: no overrun on a loaded machine
        const int32_t channels = 2;
        card.ai.setChanCount(channels);
        card.ai.setSampleRate(rate);
        card.setup.bSoftMode = false;
        card.setup.bFAICyclic = true;
        card.setup.nAISampleCnt = 4096;
        card.Plots(channels);
        card.Switch(card.aiSwitch, true);
        card.run->CkAISave2Disk_Click(true);
        card.run->BtnStart_Click();
        ASSERT_TRUE(card.run->IsRunning()) << card.prompts.messages.back().text;
        // Each look a little later on the program's clock, so fields 13-14 are
        // kept now and then as the halves arrive.
        ASSERT_TRUE(waitFor(
            [&] {
                card.clock.Advance(100);
                return card.run->status().nScanCount >= 4 * 4096 / channels / 2 || !card.run->IsRunning();
            },
            30000));
        card.run->BtnStart_Click();
        ASSERT_TRUE(card.prompts.messages.empty()) << card.prompts.messages.front().text;
        ops = recorder.Ops();

        recorded.folder = card.files->Folder();
        recorded.description = ParseProjectDescription(FileContent(card.files->ProjectFileName())).run;
        recorded.ai = FileContent(card.files->FAIFileName());
        recorded.aiScanBytes = channels * 4;
        recorded.promises = ScanCountPromises(ops, card.files->ProjectFileName());

        const auto ranges = card.Ranges();
        const int64_t period = kro::SimSignal::bufferedPeriod(rate, channels);
        ASSERT_GT(recorded.ai.size(), 0u);
        for (size_t k = 0; k < recorded.ai.size() / 4; ++k)
            ASSERT_EQ(FloatAt(recorded.ai, k),
                      static_cast<float>(kro::SimSignal::runSample(*card.ai.card(), 0, channels, ranges,
                                                                   static_cast<int64_t>(k), period)
                                             .value))
                << "sample " << k;
    }
    ASSERT_FALSE(recorded.promises.empty());
    EXPECT_EQ(static_cast<size_t>(recorded.promises.back().scans) * recorded.aiScanBytes, recorded.ai.size());

    const int states = CheckEveryCrashState(model, ops, crash, [&](size_t done) {
        CheckRecovered(recorded, done, Crashed(work), Crashed(recorded.folder), scratch / "rescued");
        fs::remove_all(scratch / "rescued");
    });
    Report("buffered recording", states);
}

// A working folder after a polled run of `scans` scans whose values start at
// `from`, left open as the program keeps it.
std::unique_ptr<RecordingFiles> FinishedRun(const std::string& parent, int scans, int from)
{
    auto files = std::make_unique<RecordingFiles>(CreateWorkingFolder(std::vector<std::string>{parent}));
    files->OpenAtStartUp();
    files->WriteProjectInfo(PolledAIAndDIRun(), {});
    files->WriteDIHeader(0, 1);
    RecordScans(*files, from, from + scans);
    files->WriteRunEnd({scans, 0.1});
    files->CloseProjectFile();
    return files;
}

SavedRun RunOf(const RecordingFiles& files)
{
    return {files.ProjectFileName(), files.AIFileName(), files.FAIFileName(), files.DIFileName(), true, false, true};
}

// Save As into `target` after a power loss at every step: the folder holds
// the project it held before or the new one, whole; once Save As returned, or
// once the working folder says its run is saved, the new one.
void SaveAsAfterEveryPowerLoss(const std::string& root, const std::string& crash, const std::string& target,
                               const char* scenario)
{
    const std::string work = root + "/work";
    auto files = FinishedRun(work, 6, 100);
    const ProjectFiles before = ProjectIn(target);
    PowerLossModel model(root);
    std::vector<FileOp> ops;
    {
        FileOpRecorder recorder(root);
        SaveRunAs(RunOf(*files), target);
        ops = recorder.Ops();
    }
    const ProjectFiles after = ProjectIn(target);
    ASSERT_EQ(after.size(), 3u);
    ASSERT_NE(after, before);
    const auto crashed = [&](const std::string& path) { return crash + path.substr(root.size()); };

    const int states = CheckEveryCrashState(model, ops, crash, [&](size_t done) {
        const ProjectFiles now = ProjectIn(crashed(target));
        EXPECT_TRUE(now == before || now == after) << "a mix of the two projects, " << now.size() << " files";
        if (done == ops.size()) {
            EXPECT_EQ(now, after) << "Save As returned";
        }
        if (MarkedSaved(crashed(files->Folder()))) {
            EXPECT_EQ(now, after) << "the run is marked saved";
        }
    });
    Report(scenario, states);
    files->Shutdown();
}

TEST_F(CrashSimulation, SaveAsIntoAnEmptyFolderLeavesNothingOrTheWholeProject)
{
    const std::string target = root + "/empty";
    fs::create_directory(target);
    SaveAsAfterEveryPowerLoss(root, crash, target, "Save As into an empty folder");
}

TEST_F(CrashSimulation, SaveAsOverAProjectLeavesTheOldOneOrTheNewOneWhole)
{
    const std::string target = root + "/project";
    {
        auto earlier = FinishedRun(work, 3, 0);
        SaveRunAs(RunOf(*earlier), target);
        earlier->Shutdown();
    }
    ASSERT_EQ(ProjectIn(target).size(), 3u);
    SaveAsAfterEveryPowerLoss(root, crash, target, "Save As over a project");
}

TEST_F(CrashSimulation, ARecoveryLetsTheRunGoOnlyOnceItsProjectIsWhole)
{
    const std::string folder = LeaveInterruptedRun(work, 7);
    const std::string target = root + "/rescued";
    PowerLossModel model(root);
    std::vector<FileOp> ops;
    {
        FileOpRecorder recorder(root);
        std::vector<InterruptedRun> runs = FindInterruptedRuns(std::vector<std::string>{work});
        ASSERT_EQ(runs.size(), 1u);
        SaveInterruptedRun(runs[0], target);
        DiscardInterruptedRun(runs[0]);
        ops = recorder.Ops();
    }
    const ProjectFiles saved = ProjectIn(target);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_FALSE(fs::exists(folder));

    const int states = CheckEveryCrashState(model, ops, crash, [&](size_t done) {
        const ProjectFiles now = ProjectIn(Crashed(target));
        EXPECT_TRUE(now.empty() || now == saved) << "a part of the project, " << now.size() << " files";
        if (done == ops.size() || MarkedSaved(Crashed(folder))) {
            EXPECT_EQ(now, saved);
        }
        const std::vector<InterruptedRun> runs = FindInterruptedRuns(std::vector<std::string>{Crashed(work)});
        if (runs.empty()) {
            EXPECT_EQ(now, saved) << "the run was let go before its project was whole";
        } else {
            EXPECT_EQ(runs[0].wholeScans, 7);
        }
    });
    Report("recovery", states);
}

} // namespace
} // namespace ondrel
