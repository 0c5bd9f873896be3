#include "session/scratch_folder.h"
#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/acquisition/run_control.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/session/timer_dispatcher.h"
#include "ondrel/settings/channel_tables.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>

namespace ondrel {
namespace {

// The timer control as the run drives it: entries by key, ticks fired by hand.
class FakeTimer final : public ITimerControl {
public:
    struct Entry {
        int32_t interval = 0;
        bool enabled = false;
    };
    bool exist(const std::string& key) override { return entries.contains(key); }
    void Add(const std::string& key, int32_t interval, bool enabled) override { entries[key] = {interval, enabled}; }
    void setEnabled(const std::string& key, bool enabled) override { entries.at(key).enabled = enabled; }
    void setInterval(const std::string& key, int32_t interval) override { entries.at(key).interval = interval; }
    void setHandler(Handler h) override { handler = std::move(h); }

    std::map<std::string, Entry> entries;
    Handler handler;
};

// What the run switched on the window, in order.
class RecordedPanel final : public ICommandPanel {
public:
    void EnableSetControls(bool enable) override { calls.push_back(enable ? "set on" : "set off"); }
    void EnableAISaveBox(bool enable) override { calls.push_back(enable ? "ai box on" : "ai box off"); }
    void EnableDISaveBox(bool enable) override { calls.push_back(enable ? "di box on" : "di box off"); }
    void SetStartCaption(const std::string& caption) override { calls.push_back("caption " + caption); }
    void EnableSaveAs(bool enable) override { calls.push_back(enable ? "save as on" : "save as off"); }
    void UpdatePlotListView() override { calls.push_back("legend"); }

    std::vector<std::string> calls;
};

class RunControlTest : public ::testing::Test {
protected:
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio{kro::card::Di3Ports};
    kro::SimThermo thermo;
    kro::KroGraph graph;
    kro::KroLED led;
    kro::KroButton aiSwitch, diSwitch;
    AcquisitionSetup setup;
    TimeBaseState timeBase;
    testing::RecordedPrompts prompts;
    ManualClock clock{5000};
    ScratchFolder folder;
    RecordingFiles files{folder.path()};
    FakeTimer timer;
    RecordedPanel panel;
    RunControl run{AcquisitionParts{setup, timeBase, ai, dio, thermo, graph, led, aiSwitch, diSwitch, prompts, clock,
                                    &files, &timer},
                   panel};

    void SetUp() override
    {
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        ConfigureChartAxes(graph);
        files.OpenAtStartUp();
    }
    void TearDown() override { files.Shutdown(); }

    void Flip(kro::KroButton& which, bool on)
    {
        which.setValue(on);
        if (&which == &aiSwitch)
            run.KroButton1_SwitchChanged();
        else
            run.KroButton2_SwitchChanged();
    }
    // Port 1, lines 2 and 5, polled.
    void SelectDILines()
    {
        setup.nDIPortMask = {0x00, 0x24, 0x00, 0x00};
        setup.nDIPortStart = 1;
        setup.nDIPortCount = 1;
        setup.nDIChanCount = 2;
        graph.Plots().RemoveAll();
        for (int i = 0; i < ai.ChanCount() + setup.nDIChanCount; ++i)
            graph.Plots().Add();
    }
    size_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }
};

TEST_F(RunControlTest, ASwitchTakenEnablesItsSaveBoxAndRefreshesTheLegend)
{
    Flip(aiSwitch, true);
    EXPECT_TRUE(setup.bAIEnabled);
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"ai box on", "legend"}));

    // No DI port chosen: refused, the switch goes back, nothing else changes.
    panel.calls.clear();
    Flip(diSwitch, true);
    EXPECT_FALSE(diSwitch.Value());
    EXPECT_FALSE(setup.bDIEnabled);
    EXPECT_TRUE(panel.calls.empty());
    EXPECT_EQ(prompts.messages.back().text, "No DI Port is selected");
}

TEST_F(RunControlTest, SaveBoxesComeBackWithTheSwitchesThatAreOn)
{
    SelectDILines();
    Flip(diSwitch, true);
    run.CkDISave2Disk_Click(true);
    panel.calls.clear();

    run.BtnStart_Click();
    ASSERT_TRUE(run.IsRunning());
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"caption Stop", "set off", "save as off"}));

    panel.calls.clear();
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    // The AI switch is off: its box stays disabled even though the frame comes back.
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"set on", "ai box off", "di box on", "caption Start",
                                                     "save as off"}));
}

TEST_F(RunControlTest, SaveAsIsOfferedAfterARunThatSavedOnlyDI)
{
    SelectDILines();
    Flip(diSwitch, true);
    run.CkDISave2Disk_Click(true);
    run.BtnStart_Click();
    ASSERT_TRUE(timer.entries.at(kSoftPoolTimer).enabled);
    EXPECT_EQ(timer.entries.at(kSoftPoolTimer).interval, 100);
    for (int i = 0; i < 3; ++i)
        run.OnSoftPoolTick();
    run.BtnStart_Click();

    EXPECT_FALSE(timer.entries.at(kSoftPoolTimer).enabled);
    EXPECT_EQ(panel.calls.back(), "save as on");
    EXPECT_EQ(run.status().nScanCount, 3);
    EXPECT_TRUE(run.status().bDIDataSaved);
    EXPECT_FALSE(run.status().bAIDataSaved);
    // The DI header (first port, port count) and one byte per port and scan.
    EXPECT_EQ(FileSize(files.DIFileName()), 8u + 3u);
    EXPECT_EQ(FileSize(files.AIFileName()), 0u);
}

TEST_F(RunControlTest, ADeviceMissingAtStartStopsTheRunItself)
{
    Flip(aiSwitch, true);
    ai.SelectDeviceNumber(-1);
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    EXPECT_EQ(panel.calls.back(), "caption Start");
    // The description still gets its closing fields.
    std::ifstream in(files.ProjectFileName(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> raw(bytes.size());
    std::transform(bytes.begin(), bytes.end(), raw.begin(), [](char c) { return std::byte(c); });
    const ProjectDescription description = ParseProjectDescription(raw);
    ASSERT_TRUE(description.end.has_value());
    EXPECT_EQ(description.end->scanCount, 0);
}

TEST(TimerDispatcher, RoutesEachKeyExactlyToItsFirstHandler)
{
    TimerDispatcher timers;
    std::vector<std::string> fired;
    timers.Register("SoftPoolTimer", [&] { fired.push_back("poll"); });
    timers.Register("HistoryTimer", [&] { fired.push_back("replay"); });
    timers.Register("SoftPoolTimer", [&] { fired.push_back("second"); });
    for (const char* key : {"SoftPoolTimer", "softpooltimer", "HistoryTimer", "", "SoftPoolTimer"})
        timers.TickwellCtl1_TimerEvent(key);
    EXPECT_EQ(fired, (std::vector<std::string>{"poll", "replay", "poll"}));
}

} // namespace
} // namespace ondrel
