#include "graph/time_base_fixture.h"
#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/chart_error.h"
#include "ondrel/graph/chart_length.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/graph/time_base.h"
#include "ondrel/settings/channel_tables.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(ChartLength, EachModeRoundsAsDefined)
{
    // One point per scan across ten divisions of buffered input.
    EXPECT_EQ(BufferedChartLength(10000.0, 4, 0.2), 5000);
    // 1000 / 30 = 33.33 becomes 33 polls per second before it is multiplied.
    EXPECT_EQ(PolledChartLength(30, 1.0), 331);
    EXPECT_EQ(PolledChartLength(100, 1.0), 101);
    EXPECT_EQ(ReplayChartLength(0.001, 0.5), 5000);
    // 1 / 0.003 = 333.3 scans per second, made 333 first: 333 × 5, no point added.
    EXPECT_EQ(ReplayChartLength(0.003, 0.5), 1665);
}

TEST(ChartLength, StartLengthsOfRunsAndRecordings)
{
    EXPECT_EQ(CyclicStartChartLength(25000.0, 4.0), 100000);
    EXPECT_EQ(PolledStartChartLength(100, 10.0), 101);
    EXPECT_EQ(ReplayOpenChartLength(0.01), 2000);
    // A description without a usable scan interval gives no negative length.
    EXPECT_GE(ReplayOpenChartLength(0.0), 0);
    EXPECT_GE(ReplayOpenChartLength(-1.0), 0);
}

class TimeBaseTest : public testing::TimeBaseFixture {
protected:
    double Spun(double from, bool up)
    {
        state.dDIVValue = from;
        timeBase.KroLED1_Spin(up);
        return state.dDIVValue;
    }
    IKroAxis& time() { return graph.Axes().Item(kTimeAxis); }
};

TEST_F(TimeBaseTest, SpinStepsByFiveBetweenFloorAndCeiling)
{
    EXPECT_DOUBLE_EQ(Spun(1.0, false), 0.2);
    EXPECT_DOUBLE_EQ(Spun(1.0, true), 5.0);
    EXPECT_DOUBLE_EQ(Spun(25.0, true), 100.0);
    EXPECT_DOUBLE_EQ(Spun(100.0, true), 100.0);
    EXPECT_DOUBLE_EQ(Spun(100.0, false), 20.0);
    EXPECT_DOUBLE_EQ(Spun(4e-6, false), 1e-6);
    EXPECT_DOUBLE_EQ(Spun(1e-6, false), 1e-6);
    EXPECT_DOUBLE_EQ(led.Value(), 1e-6);
    EXPECT_TRUE(led.Enabled());
    EXPECT_FALSE(state.isNumEditEventFired);
}

TEST_F(TimeBaseTest, SpinRecentresTenDivisionsAndIsIgnoredWhileTheProgramWrites)
{
    time().SetRange(2.0, 12.0);
    EXPECT_DOUBLE_EQ(Spun(1.0, false), 0.2);
    EXPECT_DOUBLE_EQ(time().Minimum(), 6.0);
    EXPECT_DOUBLE_EQ(time().Maximum(), 8.0);

    state.isNumEditEventFired = true;
    EXPECT_DOUBLE_EQ(Spun(0.2, false), 0.2);
    EXPECT_DOUBLE_EQ(time().Maximum() - time().Minimum(), 2.0);
}

TEST_F(TimeBaseTest, ChartLengthFollowsTheModeOfTheRun)
{
    setup.bSoftMode = false;
    ai.setChanStart(0);
    ai.setChanCount(4);
    ai.setSampleRate(10000.0);
    state.dDIVValue = 0.2;
    timeBase.AdjustXAxisAndChartLength(false);
    EXPECT_EQ(graph.ChartLength(), 5000);

    setup.bSoftMode = true;
    setup.nTimerInterval = 30;
    state.dDIVValue = 1.0;
    timeBase.AdjustXAxisAndChartLength(false);
    EXPECT_EQ(graph.ChartLength(), 331);

    replay.bHistoryMode = true;
    replay.dHisScanInterval = 0.001;
    state.dDIVValue = 0.5;
    timeBase.AdjustXAxisAndChartLength(false);
    EXPECT_EQ(graph.ChartLength(), 5000);
    // Without re-centring the axis stays where it was.
    EXPECT_DOUBLE_EQ(time().Minimum(), 0.0);
    EXPECT_DOUBLE_EQ(time().Maximum(), 10.0);
}

TEST_F(TimeBaseTest, OnlyZoomModesTakeTheTimeBaseFromTheAxis)
{
    graph.setMouseMode(MouseAction::PanXY);
    time().SetRange(0.0, 4.0);
    timeBase.KroGraph1_RangeChanged();
    EXPECT_DOUBLE_EQ(state.dDIVValue, 1.0);

    graph.setMouseMode(MouseAction::ZoomX);
    timeBase.KroGraph1_RangeChanged();
    EXPECT_DOUBLE_EQ(state.dDIVValue, 0.4);
    EXPECT_DOUBLE_EQ(led.Value(), 0.4);
    EXPECT_DOUBLE_EQ(time().Minimum(), 0.0); // the zoom's range stays
    EXPECT_DOUBLE_EQ(time().Maximum(), 4.0);
    EXPECT_EQ(graph.ChartLength(), PolledChartLength(setup.nTimerInterval, 0.4));
}

TEST_F(TimeBaseTest, FollowingTheAxisAndResetting)
{
    time().SetRange(2.0, 6.0);
    timeBase.FollowXAxis();
    EXPECT_DOUBLE_EQ(led.Value(), 0.4);
    EXPECT_DOUBLE_EQ(time().Minimum(), 2.0);
    EXPECT_DOUBLE_EQ(time().Maximum(), 6.0);

    ResetTimeBase(state, graph, led);
    EXPECT_DOUBLE_EQ(state.dDIVValue, 1.0);
    EXPECT_DOUBLE_EQ(led.Value(), 1.0);
    EXPECT_DOUBLE_EQ(time().Minimum(), 0.0);
    EXPECT_DOUBLE_EQ(time().Maximum(), 10.0);
}

TEST(ChartErrorTest, OutOfMemoryIsDroppedOthersAreShown)
{
    testing::RecordedPrompts prompts;
    KroGraph1_Error(prompts, "Out of memory!");
    KroGraph1_Error(prompts, "Out of memory");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], (testing::RecordedPrompts::Message{"Out of memory", "Graph Error Message"}));
}

} // namespace
} // namespace ondrel
