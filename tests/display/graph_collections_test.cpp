#include "kro/display/kro_graph.h"
#include "ondrel/components/component_error.h"
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

using ::testing::HasSubstr;

std::string errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ondrel::ComponentError& error) {
        return error.what();
    }
    return {};
}

TEST(GraphCollections, StartsWithTimeAnalogAndDigitalAxes)
{
    kro::KroGraph graph;
    ASSERT_EQ(graph.Axes().Count(), 3);
    EXPECT_EQ(graph.Axes().Item(0).qcpAxis()->axisType(), QCPAxis::atBottom);
    EXPECT_EQ(graph.Axes().Item(1).qcpAxis()->axisType(), QCPAxis::atLeft);
    EXPECT_EQ(graph.Axes().Item(2).qcpAxis()->axisType(), QCPAxis::atRight);

    ondrel::IKroAxis& temperature = graph.Axes().Add();
    EXPECT_EQ(graph.Axes().Count(), 4);
    EXPECT_EQ(&graph.Axes().Item(3), &temperature);
}

TEST(GraphCollections, OutOfRangeItemsThrowWithADescription)
{
    kro::KroGraph graph;
    graph.Plots().Add();
    EXPECT_THAT(errorOf([&] { graph.Plots().Item(1); }), HasSubstr("index 1"));
    EXPECT_THAT(errorOf([&] { graph.Plots().Item(-1); }), HasSubstr("out of range"));
    EXPECT_THAT(errorOf([&] { graph.Axes().Item(3); }), HasSubstr("index 3"));
    EXPECT_THAT(errorOf([&] { graph.Axes().Item(0).Element(2); }), HasSubstr("element"));
}

TEST(GraphCollections, NewPlotsUseTheAnalogAxisAndCanMove)
{
    kro::KroGraph graph;
    kro::KroPlot& plot = graph.Plots().Add();
    EXPECT_EQ(plot.graph()->valueAxis(), graph.Axes().Item(1).qcpAxis());

    plot.setYAxis(graph.Axes().Item(2));
    EXPECT_EQ(plot.graph()->valueAxis(), graph.Axes().Item(2).qcpAxis());

    kro::KroGraph other;
    EXPECT_THROW(plot.setYAxis(other.Axes().Item(1)), ondrel::ComponentError);
    EXPECT_THROW(plot.setYAxis(graph.Axes().Item(0)), ondrel::ComponentError);
}

TEST(GraphCollections, RemoveAllDropsPlotsButKeepsAxes)
{
    kro::KroGraph graph;
    graph.Plots().Add().AddXY(1.0, 1.0);
    graph.Plots().Add();
    graph.Plots().RemoveAll();
    EXPECT_EQ(graph.Plots().Count(), 0);
    EXPECT_EQ(graph.customPlot()->graphCount(), 0);
    EXPECT_EQ(graph.Axes().Count(), 3);
    EXPECT_EQ(graph.Plots().Add().PointCount(), 0);
}

TEST(GraphAxis, MinimumThenMaximumGivesTheRangeAskedFor)
{
    kro::KroGraph graph;
    ondrel::IKroAxis& axis = graph.Axes().Item(0); // 0 .. 10
    axis.setMinimum(100.0);
    axis.setMaximum(110.0);
    EXPECT_EQ(axis.Minimum(), 100.0);
    EXPECT_EQ(axis.Maximum(), 110.0);

    axis.setMaximum(-50.0);
    axis.setMinimum(-60.0);
    EXPECT_EQ(axis.Minimum(), -60.0);
    EXPECT_EQ(axis.Maximum(), -50.0);
}

TEST(GraphAxis, SetRangeRejectsAnEmptyOrInvalidRange)
{
    kro::KroGraph graph;
    ondrel::IKroAxis& axis = graph.Axes().Item(0);
    EXPECT_THROW(axis.SetRange(5.0, 5.0), ondrel::ComponentError);
    EXPECT_THROW(axis.setMaximum(std::nan("")), ondrel::ComponentError);
    EXPECT_EQ(axis.Minimum(), 0.0);
    EXPECT_EQ(axis.Maximum(), 10.0);
}

TEST(GraphAxis, AutoScaleFitsTheDataOfItsVisiblePlots)
{
    kro::KroGraph graph;
    ondrel::IKroAxis& analog = graph.Axes().Item(1);
    kro::KroPlot& shown = graph.Plots().Add();
    kro::KroPlot& hidden = graph.Plots().Add();
    shown.AddXY(1.0, -2.0);
    shown.AddXY(2.0, 8.0);
    hidden.AddXY(1.5, 1000.0);
    hidden.setVisible(false);

    analog.setAutoScale(true);
    EXPECT_LT(analog.Minimum(), -2.0);
    EXPECT_GT(analog.Maximum(), 8.0);
    EXPECT_LT(analog.Maximum(), 100.0);

    analog.setAutoScale(false);
    analog.SetRange(0.0, 1.0);
    shown.AddXY(3.0, 50.0);
    EXPECT_EQ(analog.Maximum(), 1.0);
}

TEST(GraphAxis, ElementsShowAndHideTheAxis)
{
    kro::KroGraph graph;
    kro::KroAxis& temperature = graph.Axes().Add();
    temperature.setTitle("Temperature Data");
    for (int e = 0; e < 2; ++e) {
        temperature.Element(e).setVisible(false);
        temperature.Element(e).setSecondary(0.0);
    }
    EXPECT_FALSE(temperature.qcpAxis()->visible());

    temperature.Element(1).setVisible(true);
    EXPECT_TRUE(temperature.qcpAxis()->visible());
    EXPECT_EQ(temperature.qcpAxis()->label(), "Temperature Data");
    EXPECT_TRUE(temperature.Element(1).Visible());
    EXPECT_FALSE(temperature.Element(0).Visible());
}

} // namespace
