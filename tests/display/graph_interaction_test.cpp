#include "kro/display/kro_graph.h"
#include "support/wait_for.h"
#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <qcustomplot.h>
#include <vector>

namespace {

struct EventLog : ondrel::IKroGraphEvents {
    void RangeChanged(double xMin, double xMax, double, double) override { ranges.push_back({xMin, xMax}); }
    void MouseButton(int16_t& button, int32_t shift, float& x, float& y) override
    {
        buttons.push_back({button, shift, x, y});
    }
    struct Press {
        int16_t button;
        int32_t shift;
        float x;
        float y;
    };
    std::vector<std::pair<double, double>> ranges;
    std::vector<Press> buttons;
};

class ChartMouse : public ::testing::Test {
protected:
    ChartMouse()
    {
        graph.setEvents(&log);
        graph.resize(800, 400);
        graph.show();
        graph.customPlot()->replot(); // lays out the axis rectangle
        centre = QPointF(graph.customPlot()->axisRect()->rect().center());
        time().SetRange(0.0, 10.0);
        analog().setAutoScale(false);
        analog().SetRange(0.0, 10.0);
    }

    ondrel::IKroAxis& time() { return graph.Axes().Item(0); }
    ondrel::IKroAxis& analog() { return graph.Axes().Item(1); }

    void wheel(int steps, QPointF at)
    {
        QWheelEvent event(at, graph.customPlot()->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(graph.customPlot(), &event);
    }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, at, graph.customPlot()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(graph.customPlot(), &event);
    }

    void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    EventLog log;
    kro::KroGraph graph;
    QPointF centre;
};

TEST_F(ChartMouse, XZoomNarrowsOnlyTheTimeAxisAndReportsIt)
{
    graph.setMouseMode(ondrel::MouseAction::ZoomX);
    wheel(2, centre);
    EXPECT_LT(time().Maximum() - time().Minimum(), 10.0);
    EXPECT_GT(time().Minimum(), 0.0);
    EXPECT_EQ(analog().Minimum(), 0.0);
    EXPECT_EQ(analog().Maximum(), 10.0);

    ASSERT_TRUE(waitFor([&] { return !log.ranges.empty(); }));
    EXPECT_EQ(log.ranges.size(), 1u);
    EXPECT_EQ(log.ranges.back().first, time().Minimum());
    EXPECT_EQ(log.ranges.back().second, time().Maximum());
}

TEST_F(ChartMouse, RectangleZoomInXYModeSetsBothRanges)
{
    graph.setMouseMode(ondrel::MouseAction::ZoomXY);
    const QRectF area = graph.customPlot()->axisRect()->rect();
    drag(area.topLeft() + QPointF(area.width() * 0.25, area.height() * 0.25),
         area.topLeft() + QPointF(area.width() * 0.75, area.height() * 0.75));
    EXPECT_NEAR(time().Minimum(), 2.5, 0.1);
    EXPECT_NEAR(time().Maximum(), 7.5, 0.1);
    EXPECT_NEAR(analog().Minimum(), 2.5, 0.1);
    EXPECT_NEAR(analog().Maximum(), 7.5, 0.1);
}

TEST_F(ChartMouse, XPanMovesTheTimeWindowKeepingItsSpan)
{
    graph.setMouseMode(ondrel::MouseAction::PanX);
    drag(centre, centre - QPointF(graph.customPlot()->axisRect()->width() / 10.0, 40));
    EXPECT_NEAR(time().Minimum(), 1.0, 0.05);
    EXPECT_NEAR(time().Maximum() - time().Minimum(), 10.0, 1e-9);
    EXPECT_EQ(analog().Minimum(), 0.0);
}

TEST_F(ChartMouse, UserYZoomSwitchesAutoScaleOff)
{
    analog().setAutoScale(true);
    graph.setMouseMode(ondrel::MouseAction::ZoomY);
    wheel(1, centre);
    EXPECT_FALSE(analog().AutoScale());
    EXPECT_EQ(time().Minimum(), 0.0);
}

TEST_F(ChartMouse, ModeZeroAndProgramMovesLeaveNoRangeReport)
{
    graph.setMouseMode(ondrel::MouseAction::None);
    wheel(2, centre);
    drag(centre, centre + QPointF(100, 0));
    time().SetRange(1.0, 2.0);
    graph.setChartLength(10);
    graph.Plots().Add().AddXY(5.0, 1.0); // scrolls the strip chart
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(time().Maximum(), 5.0);
    EXPECT_TRUE(log.ranges.empty());
}

TEST_F(ChartMouse, MouseButtonsAreReportedWithPositionAndShiftState)
{
    mouse(QEvent::MouseButtonPress, QPointF(50, 60), Qt::RightButton, Qt::RightButton,
          Qt::ShiftModifier | Qt::ControlModifier);
    mouse(QEvent::MouseButtonRelease, QPointF(50, 60), Qt::RightButton, Qt::NoButton);
    ASSERT_EQ(log.buttons.size(), 1u);
    EXPECT_EQ(log.buttons[0].button, 2);
    EXPECT_EQ(log.buttons[0].shift, 3);
    EXPECT_EQ(log.buttons[0].x, 50.0f);
    EXPECT_EQ(log.buttons[0].y, 60.0f);
}

TEST_F(ChartMouse, DisabledChartIgnoresTheMouse)
{
    graph.setMouseMode(ondrel::MouseAction::ZoomX);
    graph.setEnabled(false);
    EXPECT_FALSE(graph.Enabled());
    wheel(2, centre);
    EXPECT_EQ(time().Maximum(), 10.0);

    graph.setEnabled(true);
    QWidget parent;
    graph.setParent(&parent);
    parent.setEnabled(false);
    EXPECT_TRUE(graph.Enabled()); // the control's own flag, not its container's
    graph.setParent(nullptr);
}

} // namespace
