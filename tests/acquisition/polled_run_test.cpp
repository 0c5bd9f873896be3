#include "acquisition/run_fixture.h"
#include "display/graph_points.h"
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
    EXPECT_THROW(ai.setDataReturnType(3), std::exception);
    ASSERT_FALSE(ai.ErrorMessage().empty());
    dio.SelectDeviceNumber(-1);
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], (testing::RecordedPrompts::Message{"No DI device is selected", "BtnStart"}));
    EXPECT_EQ(panel.calls.back(), "caption Start");
    ASSERT_TRUE(Description().end.has_value());
}

} // namespace
} // namespace ondrel
