#include "acquisition/run_fixture.h"

namespace ondrel {
namespace {

using RunControlTest = testing::RunFixture;

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
    EXPECT_EQ(panel.calls,
              (std::vector<std::string>{"set on", "ai box off", "di box on", "caption Start", "save as off"}));

    // And the other way round: the DI switch off keeps its box disabled.
    Flip(diSwitch, false);
    Flip(aiSwitch, true);
    run.BtnStart_Click();
    panel.calls.clear();
    run.BtnStart_Click();
    EXPECT_EQ(panel.calls,
              (std::vector<std::string>{"set on", "ai box on", "di box off", "caption Start", "save as off"}));
}

TEST_F(RunControlTest, SaveAsIsOfferedAfterARunThatSavedOnlyDI)
{
    SelectDILines();
    Flip(diSwitch, true);
    run.CkDISave2Disk_Click(true);
    run.BtnStart_Click();
    ASSERT_TRUE(polling.Ticking());
    EXPECT_EQ(polling.intervals, std::vector<int32_t>{100});
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(polling.Tick());
    run.BtnStart_Click();

    EXPECT_FALSE(polling.Ticking());
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
    const ProjectDescription description = Description();
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
