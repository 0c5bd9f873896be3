#include "history/replay_fixture.h"

namespace ondrel::testing {
namespace {

class ReplayControlTest : public ReplayTest {
protected:
    // 1000 scans at 0.01 s of two AI channels and two DI ports (port 0 shows
    // line 0); the DI byte of port 0 is 1 only at scan 500.
    void OpenAIAndDI(int32_t storedScans = 1000)
    {
        IndexSpec spec;
        spec.scanCount = storedScans;
        spec.di = true;
        spec.diChans = 1;
        spec.portMasks = {0x01, 0x00};
        std::vector<uint8_t> di(2000, 0);
        di[1000] = 0x01;
        Open(Save(folder / "p", spec, AIData(1000, 2), DIData(0, 2, di)));
        ASSERT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    }
};

TEST_F(ReplayControlTest, RealTimeDrawsOneScanEveryTenMillisecondsAndMovesATenthOfAPercent)
{
    OpenAIAndDI();
    EXPECT_DOUBLE_EQ(speed.Value(), 100.0);
    EXPECT_EQ(state.nHisPlayStep, 1);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 10);
    Play();
    EXPECT_TRUE(timer.entries.at(kHistoryTimer).enabled);
    EXPECT_FALSE(view.State("mode switch") || view.State("cmd frame") || view.State("convert"));
    Tick();
    EXPECT_NEAR(position.Value(), 0.1, 1e-9);
    Tick();
    EXPECT_NEAR(position.Value(), 0.2, 1e-9);
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{0.0, 1.0}));
    EXPECT_EQ(valuesOf(PlotAt(1)), (std::vector<double>{0.1f, 1.1f}));
    EXPECT_EQ(keysOf(PlotAt(1)), (std::vector<double>{0.0, 0.01}));
    EXPECT_EQ(valuesOf(PlotAt(2)), (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(state.nHisFAIReadPos, 2 * 2 * 4);
}

TEST_F(ReplayControlTest, EverySpeedPlaysAtTheRateSet)
{
    OpenAIAndDI();
    Play();
    // Spec'd rule between 10 and 1000 scans/s: one scan at 1000 / speed ms.
    speed.setValue(15);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 67);
    EXPECT_EQ(state.nHisPlayStep, 1);
    // Slower: one scan per tick at a longer period, never a step of 0.
    speed.setValue(7);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 143);
    EXPECT_EQ(state.nHisPlayStep, 1);
    speed.setValue(5);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 200);
    const int64_t before = state.nHisNextScan;
    Tick();
    EXPECT_EQ(state.nHisNextScan, before + 1);
    // Faster: a 1 ms tick with several scans, not capped at 1000 scans/s.
    speed.setValue(2000);
    EXPECT_EQ(timer.entries.at(kHistoryTimer).interval, 1);
    EXPECT_EQ(state.nHisPlayStep, 2);
    Tick();
    EXPECT_EQ(state.nHisNextScan, before + 3);
    // Ticks the timer merged while the thread was busy are made up.
    clock.Advance(9);
    Tick();
    EXPECT_EQ(state.nHisNextScan, before + 23);
    // Double speed from the button.
    replay.BtnAccelerate_Click();
    EXPECT_DOUBLE_EQ(speed.Value(), 4000.0);
    EXPECT_EQ(state.nHisPlayStep, 4);
    // 15 scans/s over 200 ticks of 67 ms: 201 scans, not 200.
    speed.setValue(15);
    const int64_t at15 = state.nHisNextScan;
    for (int i = 0; i < 200; ++i)
        Tick();
    EXPECT_EQ(state.nHisNextScan - at15, 201);
}

TEST_F(ReplayControlTest, AJumpToHalfWayLandsOnScan500InBothFiles)
{
    OpenAIAndDI();
    Play();
    Tick();
    position.setValue(50.0); // the operator drags the slider
    EXPECT_EQ(state.nHisFAIReadPos, 500 * 2 * 4);
    EXPECT_EQ(PlotAt(0).PointCount(), 0);
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{500.0}));
    EXPECT_EQ(keysOf(PlotAt(0)), (std::vector<double>{500 * 0.01}));
    // DI byte 8 + 500 x 2 holds the only set line.
    EXPECT_EQ(valuesOf(PlotAt(2)), (std::vector<double>{1.0}));
    EXPECT_EQ(keysOf(PlotAt(2)), (std::vector<double>{500 * 0.01}));
    EXPECT_NEAR(position.Value(), 50.1, 1e-9);
}

TEST_F(ReplayControlTest, PauseResumesWhereItWasStopRewindsOnTheNextPlay)
{
    OpenAIAndDI();
    Play();
    Tick();
    Tick();
    replay.ChkPlay_Click(false);
    EXPECT_FALSE(timer.entries.at(kHistoryTimer).enabled);
    EXPECT_TRUE(state.isHisPlayPaused);
    EXPECT_TRUE(view.State("mode switch"));
    EXPECT_FALSE(view.State("convert"));
    Tick(); // a tick still queued when paused draws nothing
    Play();
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{0.0, 1.0, 2.0}));

    replay.BtnStop_Click();
    EXPECT_DOUBLE_EQ(position.Value(), 0.1);
    EXPECT_FALSE(state.isHisPlaying || state.isHisPlayPaused || view.State("playing"));
    EXPECT_TRUE(view.State("mode switch") && view.State("convert") && view.State("cmd frame"));
    EXPECT_FALSE(timer.entries.at(kHistoryTimer).enabled);
    // A fresh start: from scan 0, the time axis starting at 0 with its span.
    graph.Axes().Item(kTimeAxis).SetRange(3.0, 8.0);
    Play();
    EXPECT_EQ(graph.Axes().Item(kTimeAxis).Minimum(), 0.0);
    EXPECT_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 5.0);
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{0.0}));
}

TEST_F(ReplayControlTest, TheEndOfTheDataStopsAfterTheSliderReached100)
{
    OpenAIAndDI(2000); // the description claims twice the scans the files hold
    Play();
    position.setValue(50.0);
    EXPECT_EQ(state.nHisNextScan, 500); // half of the data, not of the stated count
    for (int i = 0; i < 500; ++i)
        Tick();
    EXPECT_DOUBLE_EQ(position.Value(), 100.0);
    EXPECT_TRUE(replay.IsPlaying());
    Tick();
    EXPECT_FALSE(replay.IsPlaying());
    EXPECT_DOUBLE_EQ(position.Value(), 0.1);
    EXPECT_TRUE(view.State("convert"));
}

TEST_F(ReplayControlTest, MoreDataThanStatedIsAllReplayed)
{
    IndexSpec spec;
    spec.aiChans = 1;
    spec.scanCount = 2;
    Open(Save(folder / "p", spec, AIData(4, 1), {}));
    Play();
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_DOUBLE_EQ(position.Value(), 100.0);
}

TEST_F(ReplayControlTest, ARecordingWithNoScansEndsAtTheFirstTick)
{
    IndexSpec spec;
    spec.scanCount = 0;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    Open(Save(folder / "p", spec, {}, DIData(0, 1, {})));
    Play();
    Tick();
    EXPECT_FALSE(replay.IsPlaying());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_DOUBLE_EQ(position.Value(), 0.1);
}

TEST_F(ReplayControlTest, DILinesSitByPortAndBitAndAMaskOf0ShowsNothing)
{
    IndexSpec spec;
    spec.aiChans = 1;
    spec.di = true;
    spec.diChans = 4;
    spec.portMasks = {0x00, 0x05, 0x00, 0x82}; // port 2 shows nothing
    Open(Save(folder / "p", spec, AIData(1, 1), DIData(1, 3, {0x04, 0xFF, 0x80})));
    Play();
    Tick();
    // v + 15 x port + 1.5 x bit, plots after the AI plot in port and bit order.
    EXPECT_EQ(valuesOf(PlotAt(1)), (std::vector<double>{0 + 15.0}));        // port 1 bit 0
    EXPECT_EQ(valuesOf(PlotAt(2)), (std::vector<double>{1 + 15.0 + 3.0}));  // port 1 bit 2
    EXPECT_EQ(valuesOf(PlotAt(3)), (std::vector<double>{0 + 45.0 + 1.5}));  // port 3 bit 1
    EXPECT_EQ(valuesOf(PlotAt(4)), (std::vector<double>{1 + 45.0 + 10.5})); // port 3 bit 7
}

TEST_F(ReplayControlTest, ADIFileEndingHalfWayIntoAScanDrawsItAndStopsOneTickLater)
{
    IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 2;
    spec.portMasks = {0x01, 0x01};
    spec.scanInterval = 0.0005;                                           // 2000 scans/s: two scans per 1 ms tick
    Open(Save(folder / "p", spec, {}, DIData(0, 2, {0x01, 0x01, 0x01}))); // 1.5 scans
    Play();
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{1.0, 1.0}));
    EXPECT_EQ(valuesOf(PlotAt(1)), (std::vector<double>{16.0, 15.0})); // the missing port reads 0
    EXPECT_TRUE(replay.IsPlaying());
    Tick();
    EXPECT_FALSE(replay.IsPlaying());
}

TEST_F(ReplayControlTest, BufferedCountsAreDrawnAsCounts)
{
    IndexSpec spec;
    spec.soft = false;
    spec.floats = false;
    spec.aiChans = 2;
    spec.scanCount = 2;
    Open(Save(folder / "p", spec, ExpectedBytes().i32(7).i32(-3).i32(8).i32(-4).bytes(), {}));
    Play();
    Tick();
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{7, 8}));
    EXPECT_EQ(valuesOf(PlotAt(1)), (std::vector<double>{-3, -4}));
}

TEST_F(ReplayControlTest, ASliderDisabledByTheProgramDoesNotJump)
{
    OpenAIAndDI();
    Play();
    Tick();
    position.setEnabled(false);
    position.setValue(50.0);
    position.setEnabled(true);
    EXPECT_EQ(state.nHisNextScan, 1);
    EXPECT_EQ(PlotAt(0).PointCount(), 1);
}

} // namespace
} // namespace ondrel::testing
