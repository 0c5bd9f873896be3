#include "kro/display/kro_graph.h"
#include "ondrel/graph/cursor_readout.h"
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

// A chart 600 pixels wide, 0 .. 10 s, with its measuring cursors shown.
class Cursors : public ::testing::Test {
protected:
    Cursors()
    {
        graph.Axes().Item(0).SetRange(0.0, 10.0);
        graph.Axes().Item(1).setAutoScale(false);
        graph.Axes().Item(1).SetRange(-2.0, 2.0);
        graph.resize(600, 300);
        graph.show();
        graph.cursors().setShown(true);
    }
    QImage Shown()
    {
        graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
        return graph.customPlot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QCPItemText& Readout()
    {
        for (int i = 0; i < graph.customPlot()->itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(graph.customPlot()->item(i)))
                return *text;
        throw std::logic_error("no read-out");
    }
    // The screen column where cursor `cursor`'s colour shows in the middle row.
    int CursorColumn(const QImage& image, const QColor& color)
    {
        const QRect area = graph.customPlot()->axisRect()->rect();
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.center().y() - 6; y <= area.center().y() + 6; ++y)
                if (image.pixelColor(x, y) == color)
                    return x;
        return -1;
    }
    kro::KroGraph graph;
};

TEST_F(Cursors, TheReadOutHidesTheTracesUnderIt)
{
    // A red level through the middle of the read-out's box.
    graph.cursors().setText(QStringLiteral("t(A) = 1 s   t(B) = 2 s\nAI 0: A = 1   B = 2   B-A = 1"));
    Shown();
    const QRect box = QRectF(Readout().topLeft->pixelPosition(), Readout().bottomRight->pixelPosition()).toRect();
    ondrel::IKroPlot& plot = graph.Plots().Add();
    plot.setColor(0x0000FF);
    for (int i = 0; i <= 100; ++i)
        plot.AddXY(i * 0.1, graph.customPlot()->yAxis->pixelToCoord(box.center().y()));
    const QImage image = Shown();
    // Inside the border only the box's black and the text's white and greys.
    int coloured = 0;
    for (int y = box.top() + 2; y < box.bottom() - 1; ++y)
        for (int x = box.left() + 2; x < box.right() - 1; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            coloured += pixel.red() != pixel.green() || pixel.green() != pixel.blue();
        }
    EXPECT_EQ(coloured, 0);
    // The trace itself is drawn on both sides of the box.
    EXPECT_EQ(image.pixelColor(box.right() + 10, box.center().y()), Qt::red);
}

TEST_F(Cursors, CursorsKeepTheirPlaceInTheDataWhenTheAxisMoves)
{
    const QColor yellow(255, 220, 0), cyan(0, 220, 255);
    graph.cursors().setX(0, 3.0);
    graph.cursors().setX(1, 6.0);
    QCPAxis* time = graph.customPlot()->xAxis;
    EXPECT_EQ(CursorColumn(Shown(), yellow), std::lround(time->coordToPixel(3.0)));

    // Moved by the program, then scrolled by a strip chart's data.
    graph.Axes().Item(0).SetRange(2.0, 7.0);
    QImage image = Shown();
    EXPECT_EQ(CursorColumn(image, yellow), std::lround(time->coordToPixel(3.0)));
    EXPECT_EQ(CursorColumn(image, cyan), std::lround(time->coordToPixel(6.0)));
    graph.setChartLength(50);
    graph.Plots().Add();
    for (int i = 0; i <= 55; ++i)
        graph.Plots().Item(0).AddXY(i * 0.1, 0.0);
    image = Shown();
    EXPECT_DOUBLE_EQ(time->range().upper, 5.5);
    EXPECT_EQ(CursorColumn(image, yellow), std::lround(time->coordToPixel(3.0)));
    EXPECT_EQ(graph.cursors().x(0), 3.0);
    EXPECT_EQ(graph.cursors().x(1), 6.0);
}

TEST_F(Cursors, ADigitalLineReadsItsLevelNeverAFraction)
{
    // DI line 2 of port 1, drawn 18 up its axis: low until 2 s, then high.
    ondrel::IKroPlot& line = graph.Plots().Add();
    line.setName("DI 1:2");
    line.setYAxis(graph.Axes().Item(2));
    for (int s = 0; s <= 4; ++s)
        line.AddXY(s, s < 2 ? 18.0 : 19.0);
    EXPECT_EQ(graph.plotAxis(0), 2);
    EXPECT_EQ(graph.heldValueAt(0, 1.5), 18.0); // the low level, held until the sample at 2 s
    EXPECT_EQ(graph.heldValueAt(0, 2.0), 19.0);
    EXPECT_EQ(graph.heldValueAt(0, 4.0), 19.0);
    EXPECT_FALSE(graph.heldValueAt(0, 4.5).has_value());
    EXPECT_FALSE(graph.heldValueAt(0, -0.5).has_value());

    const std::string text = ondrel::CursorReadout(
        1.5, 2.5,
        {{"DI 1:2", graph.heldValueAt(0, 1.5), graph.heldValueAt(0, 2.5), true}, {"DI 0:0", 0.0, std::nullopt, true}});
    EXPECT_NE(text.find("DI 1:2: A = 0   B = 1   B-A = 1"), std::string::npos) << text;
    EXPECT_NE(text.find("DI 0:0: A = 0   B = -   B-A = -"), std::string::npos) << text;
}

} // namespace
