#include "graph/time_base_fixture.h"
#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/cursor_readout.h"
#include "ondrel/graph/graph_settings.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/common/channel_map.h"
#include "ondrel/settings/channel_tables.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

class NoLegend final : public IPlotLegend {
public:
    void ShowRows(const std::vector<PlotListRow>&) override {}
};

constexpr ColorRef kRed = 0x0000FF;

// The dialog's logic over the simulated cards and a real chart, AI on with
// four channels and two DI lines.
class GraphSettingsTest : public testing::TimeBaseFixture {
protected:
    NoLegend legend;
    PlotControl plots{graph, ai, setup, replay, legend};
    bool running = false;

    void SetUp() override
    {
        TimeBaseFixture::SetUp();
        InitChannelTables(setup, ai, dio, SetAIColors());
        ai.setChanStart(0);
        ai.setChanCount(4);
        setup.bAIEnabled = true;
        setup.nDIPortMask = {0x00, 0x12, 0x00, 0x00}; // lines 1:1 and 1:4
        setup.nDIChanCount = 2;
        plots.SetupPlots(false, true);
    }
    GraphSettings Loaded()
    {
        GraphSettings logic({graph, timeBase, setup, replay, plots.CurrentScanLayout(), prompts, running});
        logic.Form_Load();
        return logic;
    }
    std::vector<std::string> Messages()
    {
        std::vector<std::string> texts;
        for (const auto& m : prompts.messages)
            texts.push_back(m.text);
        return texts;
    }
};

TEST_F(GraphSettingsTest, LoadListsThePlotsAndTheAxes)
{
    GraphSettings logic = Loaded();
    ASSERT_EQ(logic.PlotNames().size(), 6u);
    EXPECT_EQ(logic.PlotColors()[0], graph.Plots().Item(0).Color());
    EXPECT_EQ(logic.X().min, "0");
    EXPECT_EQ(logic.X().max, "10");
    EXPECT_TRUE(logic.X().minEnabled);
    EXPECT_FALSE(logic.ShownColor().has_value());
}

TEST_F(GraphSettingsTest, WhileRunningTheXAxisIsASpanFromZero)
{
    graph.Axes().Item(kTimeAxis).SetRange(3.0, 13.0);
    running = true;
    GraphSettings logic = Loaded();
    EXPECT_EQ(logic.X().min, "0");
    EXPECT_EQ(logic.X().max, "10.000");
    EXPECT_FALSE(logic.X().minEnabled);
    logic.chkXAutoS_Click(false); // refilled as plain number text
    EXPECT_EQ(logic.X().max, "10");
    EXPECT_FALSE(logic.X().minEnabled);
    EXPECT_TRUE(logic.X().maxEnabled);
}

TEST_F(GraphSettingsTest, XAutoScaleIsTickedAsTheChartHasIt)
{
    IKroAxis& time = graph.Axes().Item(kTimeAxis);
    time.SetRange(2.0, 6.0);
    time.setAutoScale(true);
    GraphSettings logic = Loaded();
    EXPECT_TRUE(logic.X().autoScale);
    EXPECT_FALSE(logic.X().minEnabled);
    EXPECT_FALSE(logic.X().maxEnabled);
    EXPECT_EQ(logic.X().min, "2");
    EXPECT_EQ(logic.X().max, "6");

    // While running the ticked box shows the span from 0 as a plain number.
    running = true;
    GraphSettings live = Loaded();
    EXPECT_TRUE(live.X().autoScale);
    EXPECT_EQ(live.X().min, "0");
    EXPECT_EQ(live.X().max, "4");
    EXPECT_FALSE(live.X().maxEnabled);

    time.setAutoScale(false);
    running = false;
    EXPECT_FALSE(Loaded().X().autoScale);
}

TEST_F(GraphSettingsTest, WithoutASelectedPlotColourAndStyleChangeNothing)
{
    GraphSettings logic = Loaded();
    const auto colors = logic.PlotColors();
    const auto styles = logic.PlotLineStyles();
    prompts.colorAnswers.push_back(kRed);
    logic.BtnColor_Click();
    logic.CmbLineStyle_Click(2);
    EXPECT_EQ(logic.PlotColors(), colors);
    EXPECT_EQ(logic.PlotLineStyles(), styles);
    EXPECT_TRUE(prompts.colorChooserOpenedWith.empty());
}

TEST_F(GraphSettingsTest, ChooserOpensOnThePlotsColourAndCancelKeepsIt)
{
    GraphSettings logic = Loaded();
    logic.lstPlots_Click(1);
    const ColorRef before = logic.PlotColors()[1];
    EXPECT_EQ(logic.ShownColor(), before);
    logic.BtnColor_Click(); // no answer: cancelled
    EXPECT_EQ(prompts.colorChooserOpenedWith, std::vector<uint32_t>{before});
    EXPECT_EQ(logic.PlotColors()[1], before);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(GraphSettingsTest, RangeChecksOnLosingFocus)
{
    GraphSettings logic = Loaded();
    logic.X().min = "5";
    logic.X().max = "3";
    logic.LostFocus(AxisBox::XMax);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalide X axis range"});
    EXPECT_EQ(logic.X().max, "15");

    logic.X().max = "3";
    logic.LostFocus(AxisBox::XMin);
    EXPECT_EQ(logic.X().min, "-7");

    prompts.messages.clear();
    logic.X().min = "5";
    logic.X().max = "5";
    logic.LostFocus(AxisBox::XMax);
    EXPECT_TRUE(prompts.messages.empty());

    logic.Y().min = "abc";
    logic.LostFocus(AxisBox::YMin);
    logic.Y().min = "4";
    logic.Y().max = "1";
    logic.LostFocus(AxisBox::YMax);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Please input a valid number", "Invalide Y axis range"}));
    EXPECT_EQ(logic.Y().max, "14");
}

TEST_F(GraphSettingsTest, OkSetsTheAxesTheTimeBaseAndTheLiveTables)
{
    ai.setChanStart(4);
    plots.SetupPlots(false, true);
    GraphSettings logic = Loaded();
    logic.lstPlots_Click(0);
    prompts.colorAnswers.push_back(kRed);
    logic.BtnColor_Click();
    logic.CmbLineStyle_Click(1);
    logic.lstPlots_Click(5); // the second DI line: port 1, bit 4
    logic.CmbLineStyle_Click(3);
    logic.X().min = "2";
    logic.X().max = "6";
    logic.chkYAutoS_Click(false);
    logic.Y().min = "-1";
    logic.Y().max = "1";
    ASSERT_TRUE(logic.BtnApply_Click());

    EXPECT_DOUBLE_EQ(led.Value(), 0.4);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Minimum(), 2.0);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 6.0);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kAIAxis).Minimum(), -1.0);
    EXPECT_FALSE(graph.Axes().Item(kAIAxis).AutoScale());

    int32_t logical = LogicalChannel(ai.DeviceName(), ai.MaxChanCount(), setup.AIConnections(), 4);
    const int32_t channel = PhysicalChannel(ai.DeviceName(), ai.MaxChanCount(), setup.AIConnections(), logical);
    EXPECT_EQ(setup.AIChannel(channel).nAIChanColor, kRed);
    EXPECT_EQ(setup.AIChannel(channel).nAIChanLineStyle, 1);
    EXPECT_EQ(setup.DILine(12).nDIChanLineStyle, 3);
    // The chart itself changes only when the window rebuilds the plots.
    EXPECT_NE(graph.Plots().Item(0).Color(), kRed);
}

TEST_F(GraphSettingsTest, OkInHistoryModeWritesTheReplayPlots)
{
    replay.bHistoryMode = true;
    replay.bHisAI = replay.bHisDI = true;
    replay.nHisAIChanCount = 1;
    replay.nHisDIChanCount = 1;
    replay.aiPlots.resize(1);
    replay.diPlots.resize(1);
    replay.dHisScanInterval = 0.01;
    plots.SetupPlots(true, true);
    const auto before = setup.aiChannels;
    GraphSettings logic = Loaded();
    logic.lstPlots_Click(1);
    prompts.colorAnswers.push_back(kRed);
    logic.BtnColor_Click();
    logic.CmbLineStyle_Click(4);
    ASSERT_TRUE(logic.BtnApply_Click());
    EXPECT_EQ(replay.diPlots[0].color, kRed);
    EXPECT_EQ(replay.diPlots[0].style, 4);
    EXPECT_EQ(setup.aiChannels.size(), before.size());
    EXPECT_EQ(setup.aiChannels[0].nAIChanColor, before[0].nAIChanColor);
}

TEST_F(GraphSettingsTest, ApplyErrorKeepsTheDialogAndTheStepsDone)
{
    GraphSettings logic = Loaded();
    logic.X().min = "1";
    logic.X().max = "9";
    logic.chkYAutoS_Click(false);
    logic.Y().min = "oops";
    EXPECT_FALSE(logic.BtnApply_Click());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Graph Set Apply Error"});
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Minimum(), 1.0); // step 1 stays done
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 9.0);
}

TEST(CursorReadoutText, TimesDifferenceRateAndValues)
{
    const std::string text = CursorReadout(1.0, 1.25, {{"AI 0", 2.0, 3.5}, {"AI 1", std::nullopt, 1.0}});
    EXPECT_EQ(text, "t(A) = 1 s   t(B) = 1.25 s\n"
                    "\u0394t = 0.25 s   1/\u0394t = 4 Hz\n"
                    "AI 0: A = 2   B = 3.5   B-A = 1.5\n"
                    "AI 1: A = -   B = 1   B-A = -");
    EXPECT_NE(CursorReadout(2.0, 2.0, {}).find("1/\u0394t = -"), std::string::npos);
}

} // namespace
} // namespace ondrel
