#include "kro/display/kro_graph.h"
#include "support/wait_for.h"
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

class Redraw : public ::testing::Test {
protected:
    Redraw()
    {
        for (int i = 0; i < 4; ++i)
            graph.Plots().Add();
        graph.resize(600, 300);
        graph.show();
        QObject::connect(graph.customPlot(), &QCustomPlot::afterReplot, graph.customPlot(), [this] { ++replots; });
        settle();
        replots = 0;
    }

    // Lets every queued frame run; a chart that never stops redrawing fails.
    void settle()
    {
        const auto period = kro::KroGraph::kFramePeriod.count();
        QElapsedTimer total;
        total.start();
        int seen = -1;
        while (seen != replots) {
            ASSERT_LT(total.elapsed(), 5000) << "the chart keeps redrawing";
            seen = replots;
            QElapsedTimer quiet;
            quiet.start();
            waitFor([&] { return quiet.elapsed() > 3 * period; }, 1000);
        }
    }

    kro::KroGraph graph;
    int replots = 0;
};

TEST_F(Redraw, ManyAppendsBetweenFramesGiveOneReplot)
{
    graph.setChartLength(500);
    for (int i = 0; i < 5000; ++i) {
        const float y[] = {1.0f, 2.0f, 3.0f, 4.0f};
        graph.PlotXY(static_cast<float>(i) * 0.01f, y);
    }
    EXPECT_EQ(replots, 0); // nothing is drawn inside the data calls
    ASSERT_TRUE(waitFor([&] { return replots > 0; }));
    settle();
    EXPECT_EQ(replots, 1);
}

TEST_F(Redraw, AStreamIsDrawnAtMostOncePerFrame)
{
    QElapsedTimer clock;
    clock.start();
    int batches = 0;
    while (clock.elapsed() < 10 * kro::KroGraph::kFramePeriod.count()) {
        graph.Plots().Item(0).AddXY(batches, 1.0);
        ++batches;
        QCoreApplication::processEvents();
    }
    settle();
    // Frames are paced by the period, however many batches arrived.
    EXPECT_GE(replots, 1);
    EXPECT_LE(replots, clock.elapsed() / kro::KroGraph::kFramePeriod.count() + 2);
    EXPECT_LT(replots, batches);
}

TEST_F(Redraw, AFrameBringsAutoScaledAxesUpToDate)
{
    ondrel::IKroAxis& analog = graph.Axes().Item(1);
    analog.setAutoScale(true);
    graph.Plots().Item(0).AddXY(1.0, 40.0);
    graph.Plots().Item(0).AddXY(2.0, 60.0);
    ASSERT_TRUE(waitFor([&] { return replots > 0; }));
    const QCPRange shown = graph.Axes().Item(1).qcpAxis()->range();
    EXPECT_LT(shown.lower, 40.0);
    EXPECT_GT(shown.upper, 60.0);
}

} // namespace
