#include "graph_points.h"
#include "kro/display/kro_graph.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

using Keys = std::vector<double>;

class StripChart : public ::testing::Test {
protected:
    StripChart()
    {
        for (int i = 0; i < 2; ++i)
            graph.Plots().Add();
        graph.Axes().Item(0).SetRange(0.0, 10.0);
    }

    kro::KroPlot& plot(int i) { return graph.Plots().Item(i); }
    ondrel::IKroAxis& time() { return graph.Axes().Item(0); }

    void plotXY(float x, float y0, float y1)
    {
        const float y[] = {y0, y1};
        graph.PlotXY(x, y);
    }

    kro::KroGraph graph;
};

TEST_F(StripChart, PlotXYAppendsOnePointPerGivenPlot)
{
    plotXY(0.5f, 1.0f, 2.0f);
    const float onlyFirst[] = {3.0f};
    graph.PlotXY(0.75f, onlyFirst);
    EXPECT_EQ(keysOf(plot(0)), (Keys{0.5, 0.75}));
    EXPECT_EQ(valuesOf(plot(0)), (Keys{1.0, 3.0}));
    EXPECT_EQ(keysOf(plot(1)), (Keys{0.5}));
}

TEST_F(StripChart, BoundKeepsTheNewestPointsAndScrollsWithTheSameSpan)
{
    graph.setChartLength(101);
    for (int i = 0; i <= 150; ++i)
        plotXY(static_cast<float>(i) * 0.1f, 0.0f, 1.0f);

    EXPECT_EQ(plot(0).PointCount(), 101);
    EXPECT_FLOAT_EQ(static_cast<float>(keysOf(plot(0)).front()), 5.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(time().Maximum()), 15.0f);
    EXPECT_NEAR(time().Maximum() - time().Minimum(), 10.0, 1e-9);
}

TEST_F(StripChart, RestartingBehindTheWindowBringsTheWindowBack)
{
    graph.setChartLength(100);
    for (int i = 0; i <= 30; ++i)
        plot(0).AddPoint(0.0, 1.0);
    ASSERT_EQ(time().Maximum(), 30.0);

    plot(0).ClearPlotData();
    plot(0).setStartX(2.0);
    plot(0).AddPoint(0.0, 1.0);
    EXPECT_EQ(time().Minimum(), -8.0);
    EXPECT_EQ(time().Maximum(), 2.0);
}

TEST_F(StripChart, WithoutABoundNothingIsDroppedAndTheAxisStays)
{
    for (int i = 0; i <= 150; ++i)
        plotXY(static_cast<float>(i) * 0.1f, 0.0f, 1.0f);
    EXPECT_EQ(plot(0).PointCount(), 151);
    EXPECT_EQ(time().Minimum(), 0.0);
    EXPECT_EQ(time().Maximum(), 10.0);
}

TEST_F(StripChart, ShorteningTheBoundTrimsHeldPoints)
{
    for (int i = 0; i < 10; ++i)
        plot(0).AddXY(i, i);
    graph.setChartLength(3);
    EXPECT_EQ(keysOf(plot(0)), (Keys{7, 8, 9}));
}

TEST_F(StripChart, BoundHoldsEvenWhenPointsShareAnX)
{
    graph.setChartLength(3);
    for (double x : {1.0, 2.0, 2.0, 2.0, 2.0})
        plot(0).AddXY(x, 0.0);
    EXPECT_EQ(plot(0).PointCount(), 3);
}

TEST_F(StripChart, AddPointStartsAtStartXAndSteps)
{
    plot(0).setStartX(2.0);
    plot(0).AddPoint(1.0, 0.5);
    plot(0).AddPoint(1.0, 0.5);
    plot(1).AddPoint(1.0, 0.25);
    EXPECT_EQ(keysOf(plot(0)), (Keys{2.0, 2.5}));
    EXPECT_EQ(keysOf(plot(1)), (Keys{0.0}));
}

TEST_F(StripChart, SetXStepPlacesScansAfterTheLastX)
{
    const std::vector<float> scans{1, 10, 2, 20, 3, 30};
    ondrel::PreparedData prepared;
    plot(1).setStartX(5.0);
    graph.PlotData(std::span<const float>(scans), prepared, 2, 3.0);
    graph.SetXStep(prepared, 0.5);
    EXPECT_EQ(keysOf(plot(0)), (Keys{0.0, 0.5, 1.0}));
    EXPECT_EQ(keysOf(plot(1)), (Keys{5.0, 5.5, 6.0}));
    EXPECT_EQ(valuesOf(plot(1)), (Keys{10, 20, 30}));

    graph.SetXStep(prepared, 0.5);
    EXPECT_EQ(keysOf(plot(0)), (Keys{0.0, 0.5, 1.0, 1.5, 2.0, 2.5}));
}

TEST_F(StripChart, SetXStepOfAHugeBufferKeepsTheTailAtItsTrueX)
{
    graph.setChartLength(4);
    std::vector<float> scans(2 * 100000);
    for (size_t i = 0; i < scans.size(); ++i)
        scans[i] = static_cast<float>(i / 2);
    ondrel::PreparedData prepared;
    graph.PlotData(std::span<const float>(scans), prepared, 2, 100000.0);
    EXPECT_EQ(prepared.values.size(), 8u);

    graph.SetXStep(prepared, 0.001);
    const Keys keys = keysOf(plot(0));
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_NEAR(keys.front(), 99.996, 1e-9);
    EXPECT_NEAR(keys.back(), 99.999, 1e-9);
    EXPECT_EQ(valuesOf(plot(0)).back(), 99999.0);
    EXPECT_NEAR(time().Maximum(), 99.999, 1e-9);

    // The next buffer continues one step after the last scan, kept or not.
    graph.SetXStep(prepared, 0.001);
    EXPECT_NEAR(keysOf(plot(0)).back(), 199.999, 1e-9);
}

TEST_F(StripChart, ClearDataEmptiesEveryPlotAndRestartsAtStartX)
{
    plot(0).setStartX(3.0);
    plot(0).setColor(0x0000FF);
    plot(0).AddPoint(1.0, 1.0);
    plot(0).AddPoint(1.0, 1.0);
    plot(1).AddXY(1.0, 1.0);
    graph.setChartLength(50);

    graph.ClearData();
    EXPECT_EQ(plot(0).PointCount(), 0);
    EXPECT_EQ(plot(1).PointCount(), 0);
    EXPECT_EQ(graph.Plots().Count(), 2);
    EXPECT_EQ(plot(0).Color(), 0x0000FFu);
    EXPECT_EQ(graph.ChartLength(), 50);

    plot(0).AddPoint(1.0, 1.0);
    EXPECT_EQ(keysOf(plot(0)), (Keys{3.0}));
}

TEST_F(StripChart, ClearPlotDataEmptiesOnlyThatPlot)
{
    plot(0).AddPoint(1.0, 1.0);
    plot(0).AddPoint(1.0, 1.0);
    plot(1).AddPoint(1.0, 1.0);
    plot(0).ClearPlotData();
    plot(0).setStartX(7.0);
    plot(0).AddPoint(1.0, 1.0);
    EXPECT_EQ(keysOf(plot(0)), (Keys{7.0}));
    EXPECT_EQ(plot(1).PointCount(), 1);
}

} // namespace
