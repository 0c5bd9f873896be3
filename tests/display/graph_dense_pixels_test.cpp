#include "kro/display/kro_graph.h"
#include <gtest/gtest.h>
#include <qcustomplot.h>
#include <vector>

namespace {

// A chart 600 pixels wide, 0 .. 10 s on -2 .. 2, whose pixel columns each
// hold a whole number of points: the frame the chart draws must match, pixel
// for pixel, what QCustomPlot's own graph draws for the same points.
class DensePixels : public ::testing::Test {
protected:
    DensePixels()
    {
        graph.Axes().Item(1).setAutoScale(false);
        graph.Axes().Item(1).SetRange(-2.0, 2.0);
        graph.Axes().Item(0).SetRange(0.0, 10.0);
        graph.resize(600, 300);
        graph.show();
        Shown();
    }
    QCustomPlot& plot() { return *graph.customPlot(); }
    int columns() { return plot().axisRect()->width(); }
    // The value whose pixel row is `row` (fractions included).
    double atRow(double row) { return plot().yAxis->pixelToCoord(row); }
    ondrel::IKroPlot& AddPlot(int32_t points)
    {
        graph.setChartLength(points);
        ondrel::IKroPlot& added = graph.Plots().Add();
        added.setColor(0xFFFFFF);
        return added;
    }
    // The frame as the window shows it: drawn into the chart's paint buffer.
    QImage Shown()
    {
        plot().replot(QCustomPlot::rpImmediateRefresh);
        return plot().grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The same frame with each plot drawn by a plain QCPGraph through every point.
    QImage DrawnByQCustomPlot()
    {
        std::vector<QCPGraph*> charts, own;
        for (int i = 0; i < plot().graphCount(); ++i)
            charts.push_back(plot().graph(i));
        for (QCPGraph* chart : charts) {
            auto* copy = new QCPGraph(chart->keyAxis(), chart->valueAxis());
            copy->setAdaptiveSampling(false);
            copy->setPen(chart->pen());
            copy->data()->set(*chart->data());
            chart->setVisible(false);
            own.push_back(copy);
        }
        const QImage image = Shown();
        for (QCPGraph* copy : own)
            plot().removePlottable(copy);
        for (QCPGraph* chart : charts)
            chart->setVisible(true);
        return image;
    }
    kro::KroGraph graph;
};

// Pixels where two frames differ, the first few named.
::testing::AssertionResult SamePixels(const QImage& chart, const QImage& expected)
{
    int differences = 0;
    QString first;
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x)
            if (chart.pixel(x, y) != expected.pixel(x, y) && ++differences <= 4)
                first += QStringLiteral(" (%1, %2)").arg(x).arg(y);
    if (differences == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " pixels differ, at" << first.toStdString();
}

TEST_F(DensePixels, LevelsStepsAndEdgesLightThePixelsQCustomPlotLights)
{
    // Four points a column. A level, a step down at 5 s (a column's edge) and
    // a line that changes level every second column, at rows with no
    // fraction, with one below a half and with one above.
    for (double fraction : {0.0, 0.3, 0.6}) {
        SCOPED_TRACE(fraction);
        graph.Plots().RemoveAll();
        const int points = 4 * columns();
        ondrel::IKroPlot& level = AddPlot(points);
        ondrel::IKroPlot& step = AddPlot(points);
        ondrel::IKroPlot& edges = AddPlot(points);
        for (int i = 0; i < points; ++i) {
            const double x = 10.0 * i / points;
            level.AddXY(x, atRow(40 + fraction));
            step.AddXY(x, atRow(i < points / 2 ? 70 + fraction : 150 + fraction));
            if (fraction > 0.5) // Qt starts an upward edge a row lower below a half
                edges.AddXY(x, atRow((i / 8) % 2 ? 100 + fraction : 180 + fraction));
        }
        EXPECT_TRUE(SamePixels(Shown(), DrawnByQCustomPlot()));
    }
}

TEST_F(DensePixels, ATraceKeepsItsPixelsWhenItBecomesDense)
{
    // The same level and step at one point a column (drawn point by point)
    // and at two (drawn as columns).
    QImage sparse;
    for (int perColumn : {1, 2}) {
        graph.Plots().RemoveAll();
        const int points = perColumn * columns();
        ondrel::IKroPlot& level = AddPlot(points);
        ondrel::IKroPlot& step = AddPlot(points);
        for (int i = 0; i < points; ++i) {
            const double x = 10.0 * i / points;
            level.AddXY(x, atRow(40.3));
            step.AddXY(x, atRow(i < points / 2 ? 70.3 : 150.3));
        }
        if (perColumn == 1)
            sparse = Shown();
        else
            EXPECT_TRUE(SamePixels(Shown(), sparse));
    }
}

TEST_F(DensePixels, ClearedAndRefilledWithTheSameTimesShowsTheNewValues)
{
    const int points = 4 * columns();
    ondrel::IKroPlot& line = AddPlot(points);
    for (int i = 0; i < points; ++i)
        line.AddXY(10.0 * i / points, atRow(60));
    Shown();
    graph.ClearData();
    for (int i = 0; i < points; ++i)
        line.AddXY(10.0 * i / points, atRow(120));
    EXPECT_TRUE(SamePixels(Shown(), DrawnByQCustomPlot()));
}

} // namespace
