#include "support/recorded_prompts.h"
#include "support/test_components.h"
#include "kro/display/kro_graph.h"
#include "ondrel/graph/plot_list.h"
#include "ondrel/window/frm_main.h"
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

class PlotSetup : public ::testing::Test {
protected:
    testing::TestComponents components;
    testing::RecordedPrompts prompts;
    ManualClock clock;
    std::unique_ptr<FrmMain> form;

    void SetUp() override { form = std::make_unique<FrmMain>(components, prompts, clock); }

    IKroPlots& plots() { return form->KroGraph1().Plots(); }
    QTreeWidget& legend() { return *form->ListView1(); }

    // Selects lines 0 and 2 of port 0 and line 7 of port 2.
    void SelectDILines()
    {
        form->tables().nDIPortMask = {0x05, 0x00, 0x80, 0x00};
        form->state().nDIChanCount = 3;
    }
    std::vector<std::string> LegendNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < legend().topLevelItemCount(); ++i)
            names.push_back(legend().topLevelItem(i)->text(0).toStdString());
        return names;
    }
};

TEST_F(PlotSetup, AIPlotsFirstThenSelectedDILinesInPortAndBitOrder)
{
    SelectDILines();
    form->state().bAIEnabled = true;
    form->state().bDIEnabled = true;
    form->SetupPlots(false, true);

    ASSERT_EQ(plots().Count(), 4 + 3);
    EXPECT_EQ(plots().Item(0).Name(), "AI 0");
    EXPECT_EQ(plots().Item(3).Name(), "AI 3");
    EXPECT_EQ(plots().Item(4).Name(), "DI 0:0");
    EXPECT_EQ(plots().Item(5).Name(), "DI 0:2");
    EXPECT_EQ(plots().Item(6).Name(), "DI 2:7");
    EXPECT_EQ(plots().Item(6).Color(), 16777215u);
    EXPECT_EQ(LegendNames(), (std::vector<std::string>{"AI 0", "AI 1", "AI 2", "AI 3", "DI 0:0",
                                                       "DI 0:2", "DI 2:7"}));
    // Rebuilding the legend twice gives the same rows, not twice as many.
    form->UpdatePlotListView();
    EXPECT_EQ(legend().topLevelItemCount(), 7);
}

TEST_F(PlotSetup, WithAIOffTheLegendStartsAtTheFirstDIPlot)
{
    SelectDILines();
    form->state().bDIEnabled = true;
    form->SetupPlots(false, true);
    EXPECT_EQ(LegendNames(), (std::vector<std::string>{"DI 0:0", "DI 0:2", "DI 2:7"}));
}

TEST_F(PlotSetup, BufferedAIWithAIOnLeavesDIPlotsUnconfigured)
{
    SelectDILines();
    form->state().bSoftMode = false;
    form->state().bAIEnabled = true;
    form->SetupPlots(false, true);
    ASSERT_EQ(plots().Count(), 7);          // still added
    EXPECT_NE(plots().Item(4).Name(), "DI 0:0");  // but not configured
}

TEST_F(PlotSetup, WithoutRebuildPlotsAreReconfiguredNotRecreated)
{
    form->state().bAIEnabled = true;
    form->SetupPlots(false, true);
    const int count = plots().Count();
    form->tables().szAIChanName[1] = "Pressure";
    form->tables().nAIChanLineStyle[1] = 2;
    form->tables().nAIChanColor[1] = 0x00FF00;
    form->SetupPlots(false, false);
    EXPECT_EQ(plots().Count(), count);
    EXPECT_EQ(plots().Item(1).Name(), "Pressure");
    ASSERT_GE(legend().topLevelItemCount(), 2);
    EXPECT_EQ(legend().topLevelItem(1)->text(1), ". . . .");
    EXPECT_EQ(legend().topLevelItem(1)->foreground(1).color(), QColor(0, 255, 0));
}

TEST_F(PlotSetup, TemperatureAxisShowsOnlyWithAThermocouplePlot)
{
    form->state().bAIEnabled = true;
    form->SetupPlots(false, true);
    IKroAxis& temperature = form->KroGraph1().Axes().Item(3);
    EXPECT_FALSE(temperature.Element(0).Visible());

    form->tables().bAIChanIsThermo[2] = true;
    form->SetupPlots(false, true);
    EXPECT_TRUE(temperature.Element(0).Visible());
    EXPECT_TRUE(temperature.Element(1).Visible());

    form->tables().bAIChanIsThermo[2] = false;
    form->SetupPlots(false, false);
    EXPECT_FALSE(temperature.Element(1).Visible());
}

TEST_F(PlotSetup, DifferentialPairsMapPlotsToTheirEvenChannel)
{
    // Channels 0-1 form a pair: plot 0 shows physical 0, plot 1 physical 2.
    form->tables().nAIChanConnection[0] = 1;
    form->tables().nAIChanConnection[1] = 1;
    form->state().bAIEnabled = true;
    form->SetupPlots(false, true);
    EXPECT_EQ(plots().Item(0).Name(), "AI 0");
    EXPECT_EQ(plots().Item(1).Name(), "AI 2");
    EXPECT_EQ(plots().Item(2).Name(), "AI 3");
}

TEST_F(PlotSetup, ReplayModeBuildsPlotsFromTheRecordedTables)
{
    SessionState& s = form->state();
    s.bHistoryMode = true;
    s.bHisDI = true;
    s.nHisAIChanCount = 2;
    s.nHisDIChanCount = 1;
    ReplayTables& r = form->replay();
    r.HisAIPlotName = {"T1", "V1"};
    r.HisAIPlotColor = {0xFF, 0xFF00};
    r.HisAIPlotStyle = {0, 1};
    r.HisAIChanKind = {1, 0};
    r.HisDIPlotName = {"DI 0:0"};
    r.HisDIPlotColor = {0xFFFFFF};
    r.HisDIPlotStyle = {4};
    form->SetupPlots(true, true);
    ASSERT_EQ(plots().Count(), 3);
    EXPECT_EQ(plots().Item(0).Name(), "T1");
    EXPECT_EQ(plots().Item(2).LineStyle(), 4);
    EXPECT_TRUE(form->KroGraph1().Axes().Item(3).Element(0).Visible());
    // A recording with DI only lists from plot 0.
    s.bHisAI = false;
    s.nHisAIChanCount = 0;
    form->SetupPlots(true, true);
    EXPECT_EQ(LegendNames(), std::vector<std::string>{"DI 0:0"});
}

TEST(PlotListRows, LineStylesRepeatEverySixteenChannelsAndUnknownStylesHaveNoPicture)
{
    kro::KroGraph graph;
    for (int i = 0; i < 21; ++i) {
        IKroPlot& plot = graph.Plots().Add();
        plot.setName("AI " + std::to_string(i));
        plot.setLineStyle(i < 20 ? i / 16 : 7);
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

    in.aiChanCount = 25;   // more than the chart holds: an error, not a crash
    EXPECT_THROW(PlotListRows(graph.Plots(), in), std::exception);
}

} // namespace
} // namespace ondrel
