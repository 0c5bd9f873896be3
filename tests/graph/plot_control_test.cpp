#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/display/kro_graph.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/settings/channel_tables.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

// Legend rows as the plot control hands them over.
class RecordedLegend final : public IPlotLegend {
public:
    void ShowRows(const std::vector<PlotListRow>& shown) override { rows = shown; }
    std::vector<PlotListRow> rows;
};

// The plot control on the simulated 16-channel card and a real chart, with
// the set-up a session starts with.
class PlotSetup : public ::testing::Test {
protected:
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio{kro::card::Di3Ports};
    kro::KroGraph graph;
    AcquisitionSetup setup;
    ReplayChart replay;
    testing::RecordedPrompts prompts;
    RecordedLegend legend;
    PlotControl control{graph, ai, setup, replay, legend};

    void SetUp() override
    {
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        ConfigureChartAxes(graph);
    }

    IKroPlots& plots() { return graph.Plots(); }

    // Selects lines 0 and 2 of port 0 and line 7 of port 2.
    void SelectDILines()
    {
        setup.nDIPortMask = {0x05, 0x00, 0x80, 0x00};
        setup.nDIChanCount = 3;
    }
    std::vector<std::string> LegendNames()
    {
        std::vector<std::string> names;
        for (const PlotListRow& row : legend.rows)
            names.push_back(row.name);
        return names;
    }
};

TEST_F(PlotSetup, AIPlotsFirstThenSelectedDILinesInPortAndBitOrder)
{
    SelectDILines();
    setup.bAIEnabled = true;
    setup.bDIEnabled = true;
    control.SetupPlots(false, true);

    ASSERT_EQ(plots().Count(), 4 + 3);
    EXPECT_EQ(plots().Item(0).Name(), "AI 0");
    EXPECT_EQ(plots().Item(3).Name(), "AI 3");
    EXPECT_EQ(plots().Item(4).Name(), "DI 0:0");
    EXPECT_EQ(plots().Item(5).Name(), "DI 0:2");
    EXPECT_EQ(plots().Item(6).Name(), "DI 2:7");
    EXPECT_EQ(plots().Item(6).Color(), 16777215u);
    EXPECT_EQ(LegendNames(), (std::vector<std::string>{"AI 0", "AI 1", "AI 2", "AI 3", "DI 0:0", "DI 0:2", "DI 2:7"}));
    // Rebuilding the legend twice gives the same rows, not twice as many.
    control.UpdatePlotListView();
    EXPECT_EQ(legend.rows.size(), 7u);
}

TEST_F(PlotSetup, WithAIOffTheLegendStartsAtTheFirstDIPlot)
{
    SelectDILines();
    setup.bDIEnabled = true;
    control.SetupPlots(false, true);
    EXPECT_EQ(LegendNames(), (std::vector<std::string>{"DI 0:0", "DI 0:2", "DI 2:7"}));
}

TEST_F(PlotSetup, BufferedAIWithAIOnLeavesDIPlotsUnconfigured)
{
    SelectDILines();
    setup.bSoftMode = false;
    setup.bAIEnabled = true;
    control.SetupPlots(false, true);
    ASSERT_EQ(plots().Count(), 7);               // still added
    EXPECT_NE(plots().Item(4).Name(), "DI 0:0"); // but not configured
}

TEST_F(PlotSetup, WithoutRebuildPlotsAreReconfiguredNotRecreated)
{
    setup.bAIEnabled = true;
    control.SetupPlots(false, true);
    const int count = plots().Count();
    setup.aiChannels[1].szAIChanName = "Pressure";
    setup.aiChannels[1].nAIChanLineStyle = 2;
    setup.aiChannels[1].nAIChanColor = 0x00FF00;
    control.SetupPlots(false, false);
    EXPECT_EQ(plots().Count(), count);
    EXPECT_EQ(plots().Item(1).Name(), "Pressure");
    ASSERT_GE(legend.rows.size(), 2u);
    EXPECT_EQ(legend.rows[1].linePicture, ". . . .");
    EXPECT_EQ(legend.rows[1].color, 0x00FF00u);
}

TEST_F(PlotSetup, TemperatureAxisShowsOnlyWithAThermocouplePlot)
{
    setup.bAIEnabled = true;
    control.SetupPlots(false, true);
    IKroAxis& temperature = graph.Axes().Item(3);
    EXPECT_FALSE(temperature.Element(0).Visible());

    setup.aiChannels[2].bAIChanIsThermo = true;
    control.SetupPlots(false, true);
    EXPECT_TRUE(temperature.Element(0).Visible());
    EXPECT_TRUE(temperature.Element(1).Visible());

    setup.aiChannels[2].bAIChanIsThermo = false;
    control.SetupPlots(false, false);
    EXPECT_FALSE(temperature.Element(1).Visible());
}

TEST_F(PlotSetup, DifferentialPairsMapPlotsToTheirEvenChannel)
{
    // Channels 0-1 form a pair: plot 0 shows physical 0, plot 1 physical 2.
    setup.aiChannels[0].nAIChanConnection = 1;
    setup.aiChannels[1].nAIChanConnection = 1;
    setup.bAIEnabled = true;
    control.SetupPlots(false, true);
    EXPECT_EQ(plots().Item(0).Name(), "AI 0");
    EXPECT_EQ(plots().Item(1).Name(), "AI 2");
    EXPECT_EQ(plots().Item(2).Name(), "AI 3");
}

TEST_F(PlotSetup, ReplayModeBuildsPlotsFromTheRecordedTables)
{
    ReplayChart& s = replay;
    s.bHistoryMode = true;
    s.bHisDI = true;
    s.nHisAIChanCount = 2;
    s.nHisDIChanCount = 1;
    s.aiPlots = {{0xFF, 0, "T1"}, {0xFF00, 1, "V1"}};
    s.HisAIChanKind = {1, 0};
    s.diPlots = {{0xFFFFFF, 4, "DI 0:0"}};
    control.SetupPlots(true, true);
    ASSERT_EQ(plots().Count(), 3);
    EXPECT_EQ(plots().Item(0).Name(), "T1");
    EXPECT_EQ(plots().Item(2).LineStyle(), LineDash::DashDotDot);
    EXPECT_TRUE(graph.Axes().Item(3).Element(0).Visible());
    // A recording with DI only lists from plot 0.
    s.bHisAI = false;
    s.nHisAIChanCount = 0;
    control.SetupPlots(true, true);
    EXPECT_EQ(LegendNames(), std::vector<std::string>{"DI 0:0"});
}

TEST(PlotListRows, LineStylesRepeatEverySixteenChannelsAndUnknownStylesHaveNoPicture)
{
    kro::KroGraph graph;
    for (int i = 0; i < 21; ++i) {
        IKroPlot& plot = graph.Plots().Add();
        plot.setName("AI " + std::to_string(i));
        plot.setLineStyle(static_cast<LineDash>(i < 20 ? i / 16 : 7));
        plot.setColor(static_cast<ColorRef>(i % 16 + 1));
    }
    PlotListInputs in;
    in.aiEnabled = true;
    in.aiChanCount = 21;
    const auto rows = PlotListRows(graph.Plots(), in);
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[0].linePicture, "-------");
    EXPECT_EQ(rows[16].linePicture, "- - - -");
    EXPECT_EQ(rows[16].color, rows[0].color);
    EXPECT_FALSE(rows[20].linePicture.has_value());

    in.aiChanCount = 25; // more than the chart holds: an error, not a crash
    EXPECT_THROW(PlotListRows(graph.Plots(), in), std::exception);
}

} // namespace
} // namespace ondrel
