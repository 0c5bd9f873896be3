#include "kro/display/column_graph.h"
#include "kro/display/kro_graph.h"
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

// A chart 600 pixels wide with one white plot on the analog axis -2 .. 2.
class ChartFixture : public ::testing::Test {
protected:
    ChartFixture()
    {
        graph.Plots().Add().setColor(0xFFFFFF);
        graph.Axes().Item(1).setAutoScale(false);
        graph.Axes().Item(1).SetRange(-2.0, 2.0);
        graph.Axes().Item(0).SetRange(0.0, 10.0);
        graph.resize(600, 300);
        graph.show();
        graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
    }
    kro::ColumnGraph& column() { return *static_cast<kro::ColumnGraph*>(graph.customPlot()->graph(0)); }
    QImage Frame()
    {
        graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
        return graph.customPlot()->toPixmap().toImage();
    }
    // Whether the plot's white shows on the pixel an aliased line through
    // (`time`, `value`) lights: the one the point falls in.
    bool LitAt(const QImage& image, double value, double time = 5.0)
    {
        QCPAxisRect* rect = graph.customPlot()->axisRect();
        const int y = static_cast<int>(std::floor(rect->axis(QCPAxis::atLeft)->coordToPixel(value)));
        const int x = static_cast<int>(std::floor(rect->axis(QCPAxis::atBottom)->coordToPixel(time)));
        return image.pixelColor(x, y) == Qt::white;
    }
    kro::KroGraph graph;
};

TEST_F(ChartFixture, DenseTraceStillShowsEveryPeakAndFollowsTheStreamWithoutRebuilding)
{
    // +1 and -1 alternating, 20,000 points across some 550 columns, with a
    // spike and a dip inside columns near x = 5 (never a column's first point).
    graph.setChartLength(20000);
    for (int i = 0; i < 20000; ++i) {
        const double y = i == 10011 ? 1.75 : i == 10021 ? -1.5 : (i % 2 ? 1.0 : -1.0);
        graph.Plots().Item(0).AddXY(i * 0.0005, y);
    }
    const QImage image = Frame();
    EXPECT_TRUE(LitAt(image, 1.0));
    EXPECT_TRUE(LitAt(image, -1.0));
    EXPECT_TRUE(LitAt(image, 1.75));
    EXPECT_TRUE(LitAt(image, -1.5));
    EXPECT_FALSE(LitAt(image, -1.9));
    const int rebuilds = column().rebuilds();

    // The strip scrolls on: the oldest points go, the columns are only brought up to date.
    for (int i = 20000; i < 20500; ++i)
        graph.Plots().Item(0).AddXY(i * 0.0005, 0.0);
    Frame();
    EXPECT_EQ(column().rebuilds(), rebuilds);
    EXPECT_EQ(graph.Plots().Item(0).PointCount(), 20000);

    // A point inserted out of order cannot be explained by appending: built afresh.
    graph.Plots().Item(0).AddXY(6.00025, -1.9);
    Frame();
    EXPECT_EQ(column().rebuilds(), rebuilds + 1);
}

TEST_F(ChartFixture, DenseLevelsAndRampsDrawWhereTheirPointsAre)
{
    // A digital line: -0.9 for the first half, +0.9 for the second, 20,000
    // points; and a ramp from -1.5 to 1.5 on a second plot.
    graph.Plots().Add().setColor(0xFFFFFF);
    graph.setChartLength(20000);
    for (int i = 0; i < 20000; ++i) {
        const double x = i * 0.0005;
        graph.Plots().Item(0).AddXY(x, x < 5.0 ? -0.9 : 0.9);
        graph.Plots().Item(1).AddXY(x, -1.5 + 0.3 * x);
    }
    const QImage image = Frame();
    EXPECT_TRUE(LitAt(image, -0.9, 0.5));
    EXPECT_TRUE(LitAt(image, -0.9, 4.5));
    EXPECT_TRUE(LitAt(image, 0.9, 5.5));
    EXPECT_TRUE(LitAt(image, 0.9, 9.5));
    // The step, on the segment from the last low point to the first high one.
    EXPECT_TRUE(LitAt(image, 0.3, 4.9999));
    EXPECT_FALSE(LitAt(image, 0.9, 2.5));
    EXPECT_FALSE(LitAt(image, -0.9, 7.5));
    EXPECT_TRUE(LitAt(image, -0.75, 2.5)); // the ramp
    EXPECT_TRUE(LitAt(image, 0.75, 7.5));
    EXPECT_FALSE(LitAt(image, 0.75, 2.5));
}

TEST_F(ChartFixture, DenseLevelsStayJoinedAcrossColumnEdgesAndGapsAndKeepTheirDashes)
{
    // Four points per pixel column. Plot 0 steps from -0.9 to 0.9 on a column
    // edge at 5 s; plot 1 holds -0.9 until 2 s and 0.9 from 4 s, nothing between.
    graph.Plots().Add().setColor(0xFFFFFF);
    graph.Plots().Add().setColor(0xFFFFFF);
    graph.Plots().Item(2).setLineStyle(ondrel::LineDash::Dash);
    const int columns = graph.customPlot()->axisRect()->width();
    const int points = 4 * columns;
    graph.setChartLength(points);
    for (int i = 0; i < points; ++i) {
        const double x = 10.0 * i / points;
        graph.Plots().Item(0).AddXY(x, i < points / 2 ? -0.9 : 0.9);
        if (x < 2.0 || x >= 4.0)
            graph.Plots().Item(1).AddXY(x, x < 2.0 ? -0.9 : 0.9);
        graph.Plots().Item(2).AddXY(x, 1.5);
    }
    const QImage image = Frame();
    EXPECT_TRUE(LitAt(image, 0.0, 4.9999)); // the step, just before its first high point
    EXPECT_TRUE(LitAt(image, 0.0, 3.0));    // the line across the gap
    EXPECT_FALSE(LitAt(image, 0.0, 7.0));
    // The dashed level shows its gaps along its row.
    QCPAxis* time = graph.customPlot()->xAxis;
    const int row = static_cast<int>(std::lround(graph.customPlot()->yAxis->coordToPixel(1.5)));
    int dark = 0;
    for (int x = static_cast<int>(time->coordToPixel(6.0)); x < time->coordToPixel(9.0); ++x)
        dark += image.pixelColor(x, row) != Qt::white && image.pixelColor(x, row - 1) != Qt::white
                && image.pixelColor(x, row + 1) != Qt::white;
    EXPECT_GT(dark, 10);
}

TEST_F(ChartFixture, TheChartsOwnFrameShowsDenseTracesInsideThePlotAreaOnly)
{
    // Two busy lines: one within the range -2 .. 2, and from 5 s one swinging
    // -5 .. 5, past the range.
    graph.Plots().Add().setColor(0x0000FF); // red
    graph.setChartLength(20000);
    for (int i = 0; i < 20000; ++i) {
        graph.Plots().Item(0).AddXY(i * 0.0005, i % 2 ? 1.0 : -1.0);
        if (i >= 10000)
            graph.Plots().Item(1).AddXY(i * 0.0005, i % 2 ? 5.0 : -5.0);
    }
    graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
    const QImage shown = graph.customPlot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(LitAt(shown, 1.0, 2.5));
    EXPECT_TRUE(LitAt(shown, -1.0, 2.5));
    EXPECT_TRUE(LitAt(shown, 0.0, 2.5));
    const QRect area = graph.customPlot()->axisRect()->rect();
    const int x = static_cast<int>(graph.customPlot()->xAxis->coordToPixel(7.5));
    EXPECT_EQ(shown.pixelColor(x, area.top() + 3), Qt::red);
    EXPECT_EQ(shown.pixelColor(x, area.bottom() - 3), Qt::red);
    for (int y : {area.top() - 3, area.bottom() + 3})
        EXPECT_NE(shown.pixelColor(x, y), Qt::red) << y;
}

TEST_F(ChartFixture, AutoScaleFitsTheDenseTraceInTheTimeWindowOnly)
{
    graph.Plots().Item(0).AddXY(-3.0, -50.0); // before the window 0 .. 10
    for (int i = 0; i < 20000; ++i) {
        const double y = i == 10011 ? 1.75 : i == 10021 ? -1.5 : (i % 2 ? 1.0 : -1.0);
        graph.Plots().Item(0).AddXY(i * 0.0005, y);
    }
    graph.Plots().Item(0).AddXY(12.0, 60.0); // after it
    ondrel::IKroAxis& analog = graph.Axes().Item(1);
    analog.setAutoScale(true);
    Frame();
    // The extremes shown, -1.5 and 1.75, with a margin of 5 % of their span.
    EXPECT_NEAR(analog.Minimum(), -1.5 - 0.05 * 3.25, 1e-9);
    EXPECT_NEAR(analog.Maximum(), 1.75 + 0.05 * 3.25, 1e-9);
}

TEST_F(ChartFixture, TheCopiedFrameShowsWhatAFrameBlendedOverTheBackgroundShows)
{
    for (int i = 0; i <= 100; ++i)
        graph.Plots().Item(0).AddXY(i * 0.1, std::sin(i * 0.1));
    Frame();
    const QImage copied = graph.customPlot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // A window with a see-through background takes QCustomPlot's own way.
    graph.window()->setAttribute(Qt::WA_TranslucentBackground);
    const QImage blended = graph.customPlot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(copied == blended);
}

TEST_F(ChartFixture, CursorsReadKnownSignalsAndMoveByMouseAndKeyboard)
{
    for (int i = 0; i <= 10; ++i)
        graph.Plots().Item(0).AddXY(i, 0.2 * i); // y = x / 5
    EXPECT_DOUBLE_EQ(*graph.valueAt(0, 2.5), 0.5);
    EXPECT_DOUBLE_EQ(*graph.valueAt(0, 7.0), 1.4);
    EXPECT_FALSE(graph.valueAt(0, 10.5).has_value());
    EXPECT_FALSE(graph.valueAt(0, -0.1).has_value());
    EXPECT_FALSE(graph.valueAt(1, 1.0).has_value());

    kro::ChartCursors& cursors = graph.cursors();
    int readouts = 0;
    graph.setCursorReadout([&] {
        ++readouts;
        return QString("read-out");
    });
    cursors.setShown(true);
    EXPECT_NEAR(cursors.x(0), 10.0 / 3.0, 1e-9);
    EXPECT_NEAR(cursors.x(1), 20.0 / 3.0, 1e-9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return readouts > 0; }));
    EXPECT_EQ(cursors.text(), "read-out");

    // Dragging A with the left button, in a zoom mode, moves A and zooms nothing.
    graph.setMouseMode(ondrel::MouseAction::ZoomX);
    QCPAxis* time = graph.customPlot()->xAxis;
    QWidget* surface = graph.customPlot();
    const int y = graph.customPlot()->axisRect()->rect().center().y();
    QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(static_cast<int>(time->coordToPixel(cursors.x(0))), y));
    QMouseEvent move(QEvent::MouseMove, QPointF(time->coordToPixel(2.0), y), surface->mapToGlobal(QPointF(0, 0)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(static_cast<int>(time->coordToPixel(2.0)), y));
    EXPECT_NEAR(cursors.x(0), 2.0, 0.02);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(0).Minimum(), 0.0);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(0).Maximum(), 10.0);

    const double b = cursors.x(1);
    QTest::keyClick(&graph, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_GT(cursors.x(1), b);
    cursors.setShown(false);
    QTest::keyClick(&graph, Qt::Key_Right, Qt::ControlModifier); // hidden cursors take no keys
    EXPECT_FALSE(cursors.shown());
}

TEST_F(ChartFixture, PictureIsWrittenAsPngOrPdf)
{
    QTemporaryDir dir;
    EXPECT_TRUE(graph.savePicture(dir.filePath("chart.png")));
    EXPECT_TRUE(graph.savePicture(dir.filePath("chart.PDF")));
    EXPECT_FALSE(QImage(dir.filePath("chart.png")).isNull());
    QFile pdf(dir.filePath("chart.PDF"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_FALSE(graph.savePicture(dir.filePath("missing/folder/chart.png")));
}

} // namespace
