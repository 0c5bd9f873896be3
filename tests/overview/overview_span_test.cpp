#include "ondrel/overview/overview_span.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(OverviewSpan, ZoomKeepsTheAnchorInPlaceAndNeverPassesTheEndsOrTheFewestScans)
{
    OverviewSpan span(10000);
    EXPECT_EQ(span.First(), 0.0);
    EXPECT_EQ(span.End(), 10000.0);
    span.ZoomAt(2500.0, 4.0);
    EXPECT_DOUBLE_EQ(span.Length(), 2500.0);
    EXPECT_DOUBLE_EQ(span.First(), 2500.0 - 0.25 * 2500.0); // 2500 stays a quarter of the way in
    EXPECT_DOUBLE_EQ(span.Zoom(), 4.0);
    span.ZoomAt(9999.0, 1e9);
    EXPECT_DOUBLE_EQ(span.Length(), kFewestScansShown);
    EXPECT_LE(span.End(), 10000.0);
    span.ZoomAt(0.0, 1e-9);
    EXPECT_EQ(span.First(), 0.0);
    EXPECT_EQ(span.End(), 10000.0);
}

TEST(OverviewSpan, PanStopsAtTheEndsAndARangeIsShownInEitherOrder)
{
    OverviewSpan span(1000);
    span.Show(700.0, 300.0);
    EXPECT_DOUBLE_EQ(span.First(), 300.0);
    EXPECT_DOUBLE_EQ(span.End(), 700.0);
    span.PanBy(-1000.0);
    EXPECT_DOUBLE_EQ(span.First(), 0.0);
    EXPECT_DOUBLE_EQ(span.Length(), 400.0);
    span.PanBy(5000.0);
    EXPECT_DOUBLE_EQ(span.End(), 1000.0);
    span.Show(500.0, 501.0); // narrower than the fewest scans: widened about its middle
    EXPECT_DOUBLE_EQ(span.Length(), kFewestScansShown);
    EXPECT_DOUBLE_EQ(span.First(), 500.5 - kFewestScansShown / 2);
    span.Home();
    EXPECT_DOUBLE_EQ(span.Length(), 1000.0);
    OverviewSpan tiny(3); // shorter than the fewest scans: all of it
    tiny.ZoomAt(1.0, 100.0);
    EXPECT_DOUBLE_EQ(tiny.Length(), 3.0);
}

TEST(PlaceBeside, RightOfTheWindowElseLeftElseNarrowedElseBelowButAlwaysOnTheScreen)
{
    const ScreenRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(PlaceBeside({100, 50, 800, 600}, 900, 400, screen, 480), (ScreenRect{900, 50, 900, 400}));
    EXPECT_EQ(PlaceBeside({1000, 50, 800, 600}, 900, 400, screen, 480), (ScreenRect{100, 50, 900, 400}));
    // 420 pixels to the right, 500 to the left: narrowed to the left side.
    EXPECT_EQ(PlaceBeside({500, 900, 1000, 600}, 900, 400, screen, 480), (ScreenRect{0, 680, 500, 400}));
    // No side wide enough: below, when there is room.
    EXPECT_EQ(PlaceBeside({300, 0, 1300, 300}, 900, 400, screen, 480), (ScreenRect{300, 300, 900, 400}));
    // Nor below: over the window's right part.
    EXPECT_EQ(PlaceBeside({300, 0, 1300, 900}, 900, 400, screen, 480), (ScreenRect{700, 0, 900, 400}));
    EXPECT_EQ(PlaceBeside({0, 0, 800, 600}, 3000, 2000, screen, 480), (ScreenRect{800, 0, 1120, 1080}));
    // A second screen to the right: the window stays on the one given.
    EXPECT_EQ(PlaceBeside({2500, 100, 1300, 600}, 900, 400, {1920, 0, 1920, 1080}, 480),
              (ScreenRect{1920, 100, 580, 400}));
}

TEST(TimeAxis, TicksAreRoundStepsAndLabelsTellNeighboursApart)
{
    const std::vector<double> ticks = TimeTicks(0.0, 600.0, 10);
    ASSERT_EQ(ticks.size(), 7u);
    EXPECT_DOUBLE_EQ(ticks[1], 100.0);
    EXPECT_DOUBLE_EQ(TimeTicks(1.23, 1.27, 5).at(0), 1.23);
    EXPECT_TRUE(TimeTicks(5.0, 5.0, 10).empty());
    EXPECT_EQ(SecondsText(12.0, 2.0), "12 s");
    EXPECT_EQ(SecondsText(1.25, 0.05), "1.25 s");
    OverviewSpan span(60000);
    span.Show(10000, 20000);
    EXPECT_EQ(DescribeOverview(span, 15000.0, 0.001), "Replay position 15.00 s; showing 10.00 s to 20.00 s of 60.00 s");
}

} // namespace
} // namespace ondrel
