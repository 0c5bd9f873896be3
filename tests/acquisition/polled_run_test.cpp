#include "acquisition/run_fixture.h"
#include "display/graph_points.h"
#include "support/watched_ai.h"
#include "ondrel/graph/plot_setup.h"
#include <cmath>

namespace ondrel {
namespace {

using PolledRun = testing::RunFixture;

const kro::KroPlot& PlotAt(kro::KroGraph& graph, int index)
{
    return dynamic_cast<const kro::KroPlot&>(graph.Plots().Item(index));
}

TEST_F(PolledRun, EachDILineIsLiftedByItsPortAndBit)
{
    SelectDILines(); // port 1, lines 2 and 5
    Flip(diSwitch, true);
    run.CkDISave2Disk_Click(true);
    run.BtnStart_Click();
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(polling.Tick());
    run.BtnStart_Click();

    // y = bit value + 1.5 × (8 × port + bit) + 3 × port.
    const auto recorded = Bytes(files.DIFileName());
    ASSERT_EQ(recorded.size(), 8u + 8u);
    const int firstDIPlot = ai.ChanCount();
    const std::vector<double> line2 = valuesOf(PlotAt(graph, firstDIPlot));
    const std::vector<double> line5 = valuesOf(PlotAt(graph, firstDIPlot + 1));
    ASSERT_EQ(line2.size(), 8u);
    ASSERT_EQ(line5.size(), 8u);
    for (size_t scan = 0; scan < 8; ++scan) {
        const auto byte = std::to_integer<unsigned>(recorded[8 + scan]);
        EXPECT_DOUBLE_EQ(line2[scan], ((byte >> 2) & 1u) + 18.0) << scan;
        EXPECT_DOUBLE_EQ(line5[scan], ((byte >> 5) & 1u) + 22.5) << scan;
    }
}

TEST_F(PolledRun, TheStripHoldsTenSecondsOfTicksPlusOne)
{
    Flip(aiSwitch, true);
    run.BtnStart_Click();
    EXPECT_EQ(graph.ChartLength(), 101); // 10 s at 100 ms
    run.BtnStart_Click();

    setup.nTimerInterval = 30;
    run.BtnStart_Click();
    EXPECT_EQ(graph.ChartLength(), 334); // round(333.3) + 1
    EXPECT_EQ(polling.intervals, (std::vector<int32_t>{100, 30}));
    run.BtnStart_Click();
}

TEST_F(PolledRun, ThermocouplesOfTheFortyEightFamilyReadOnTheirMappedChannel)
{
    // The "5348" reads a differential pair on twice the channel number; other
    // cards of the family on the channel itself.
    for (const auto& [card, expected] : {std::pair{kro::card::Thermo5348, 6}, std::pair{kro::card::Thermo9948, 3}}) {
        UseAICard(card);
        thermo.setDeviceNumber(card);
        ai.setChanStart(0);
        ai.setChanCount(4);
        setup.aiChannels[3].bAIChanIsThermo = true;
        graph.Plots().RemoveAll();
        for (int i = 0; i < 4; ++i)
            graph.Plots().Add();
        Flip(aiSwitch, true);
        run.BtnStart_Click();
        ASSERT_TRUE(polling.Tick());
        run.BtnStart_Click();
        EXPECT_EQ(thermo.ThermoChannel(), expected) << ai.DeviceName();
        EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    }
}

TEST_F(PolledRun, AMissingDeviceAtStartIsNamedUnderBtnStart)
{
    SelectDILines();
    Flip(diSwitch, true);
    // An earlier failure of the AI card must not be shown for the DI card's.
    EXPECT_THROW(ai.setDataReturnType(static_cast<SampleData>(3)), std::exception);
    ASSERT_FALSE(ai.ErrorMessage().empty());
    dio.SelectDeviceNumber(-1);
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], (testing::RecordedPrompts::Message{"No DI device is selected", "BtnStart"}));
    EXPECT_EQ(panel.calls.back(), "caption Start");
    ASSERT_TRUE(Description().end.has_value());
}

TEST_F(PolledRun, TheDIAxisStartsAtTheFirstPortPolled)
{
    setup.nDIPortMask = {0x00, 0x24, 0x01, 0x00};
    setup.nDIPortStart = 1;
    setup.nDIPortCount = 2;
    setup.nDIChanCount = 3;
    Flip(diSwitch, true);
    run.BtnStart_Click();
    ASSERT_TRUE(run.IsRunning());
    // 15 units a port: from 15 x 1 - 1 to 15 x 1 + 30 x 2 - 1.
    const IKroAxis& di = graph.Axes().Item(kDIAxis);
    EXPECT_FALSE(di.AutoScale());
    EXPECT_EQ(di.Minimum(), 14.0);
    EXPECT_EQ(di.Maximum(), 74.0);
    run.BtnStart_Click();
}

TEST_F(PolledRun, AFailingPortReadStopsTheRunWithTheCardsMessage)
{
    SelectDILines();
    Flip(diSwitch, true);
    run.CkDISave2Disk_Click(true);
    run.BtnStart_Click();
    ASSERT_TRUE(polling.Tick());
    ASSERT_TRUE(polling.Tick());
    dio.SelectDeviceNumber(-1); // the card goes away mid-run
    ASSERT_TRUE(polling.Tick());

    EXPECT_FALSE(run.IsRunning());
    EXPECT_FALSE(polling.Ticking());
    ASSERT_FALSE(dio.ErrorMessage().empty());
    EXPECT_EQ(prompts.messages,
              (std::vector<testing::RecordedPrompts::Message>{{dio.ErrorMessage(), "SoftPoolTimerProc"}}));
    EXPECT_EQ(panel.calls.back(), "save as on");
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, 2);
    EXPECT_EQ(FileSize(files.DIFileName()), 8u + 2u);
}

// A polled run over a card whose scan reads the test counts.
class WatchedPolledRun : public testing::RunFixture {
protected:
    testing::WatchedAI watched{ai};
    RunControl watchedRun{AcquisitionParts{setup, timeBase, watched, dio, thermo, graph, led, aiSwitch, diSwitch,
                                           prompts, clock, polling, &files},
                          panel};

    void TearDown() override
    {
        watchedRun.StopIfRunning();
        RunFixture::TearDown();
    }
    // Three ticks over channels 0 to 3 of `card`, those in `thermos` thermocouples.
    void RunThreeTicks(int32_t card, std::initializer_list<int> thermos)
    {
        UseAICard(card);
        thermo.setDeviceNumber(card);
        ai.setChanStart(0);
        ai.setChanCount(4);
        for (int ch : thermos)
            setup.aiChannels[static_cast<size_t>(ch)].bAIChanIsThermo = true;
        graph.Plots().RemoveAll();
        for (int i = 0; i < 4; ++i)
            graph.Plots().Add();
        aiSwitch.setValue(true);
        watchedRun.KroButton1_SwitchChanged();
        watchedRun.BtnStart_Click();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(polling.Tick());
        watchedRun.BtnStart_Click();
        EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
        EXPECT_EQ(graph.Plots().Item(3).PointCount(), 3);
    }
};

TEST_F(WatchedPolledRun, AScanOfThermocouplesOnlyOnTheFortyEightFamilyReadsNoScan)
{
    RunThreeTicks(kro::card::Thermo9948, {0, 1, 2, 3});
    EXPECT_EQ(watched.readScans, 0);
}

TEST_F(WatchedPolledRun, AnyVoltageChannelOrAnotherFamilyReadsTheScan)
{
    RunThreeTicks(kro::card::Thermo9948, {0, 1, 2});
    EXPECT_EQ(watched.readScans, 3);
    watched.readScans = 0;
    RunThreeTicks(kro::card::Thermo5340, {0, 1, 2, 3});
    EXPECT_EQ(watched.readScans, 3);
}

} // namespace
} // namespace ondrel
