#include "kro/display/color_ref.h"
#include "kro/display/kro_graph.h"
#include "kro/display/line_style.h"
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

TEST(ColorRef, OrdinaryReferencesHoldRedInTheLowestByte)
{
    const QPalette palette;
    EXPECT_EQ(kro::colorFromRef(0x0000FF, palette), QColor(255, 0, 0));
    EXPECT_EQ(kro::colorFromRef(0xFF8080, palette), QColor(128, 128, 255));
    EXPECT_EQ(kro::colorFromRef(0x008080, palette), QColor(128, 128, 0));
    // Bits above the blue byte (other than the system flag) are not colour.
    EXPECT_EQ(kro::colorFromRef(0x0100FF00, palette), QColor(0, 255, 0));
}

TEST(ColorRef, SystemColoursComeFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Light, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(7, 8, 9));
    EXPECT_EQ(kro::colorFromRef(0x80000016, palette), QColor(1, 2, 3)); // 3-D light edge
    EXPECT_EQ(kro::colorFromRef(0x8000000D, palette), QColor(4, 5, 6)); // highlight
    EXPECT_EQ(kro::colorFromRef(0x80000063, palette), QColor(7, 8, 9)); // unknown number
}

TEST(LineStyle, CodesMapToQtPenStyles)
{
    using ondrel::LineDash;
    EXPECT_EQ(kro::penStyleOf(LineDash::Solid), Qt::SolidLine);
    EXPECT_EQ(kro::penStyleOf(LineDash::Dash), Qt::DashLine);
    EXPECT_EQ(kro::penStyleOf(LineDash::Dot), Qt::DotLine);
    EXPECT_EQ(kro::penStyleOf(LineDash::DashDot), Qt::DashDotLine);
    EXPECT_EQ(kro::penStyleOf(LineDash::DashDotDot), Qt::DashDotDotLine);
    EXPECT_EQ(kro::penStyleOf(static_cast<LineDash>(9)), Qt::SolidLine);
}

TEST(PlotPen, FollowsColourAndStyleAndKeepsUnknownCodes)
{
    kro::KroGraph graph;
    kro::KroPlot& plot = graph.Plots().Add();
    plot.setColor(0x00FFFF);
    plot.setLineStyle(ondrel::LineDash::DashDot);
    EXPECT_EQ(plot.graph()->pen().color(), QColor(255, 255, 0));
    EXPECT_EQ(plot.graph()->pen().style(), Qt::DashDotLine);

    plot.setColor(0x80000016);
    EXPECT_EQ(plot.Color(), 0x80000016u);
    EXPECT_EQ(plot.graph()->pen().color(), QGuiApplication::palette().color(QPalette::Light));

    // The legend shows no picture for a code outside 0..4, so it must read back.
    plot.setLineStyle(static_cast<ondrel::LineDash>(7));
    EXPECT_EQ(ondrel::Code(plot.LineStyle()), 7);
    EXPECT_EQ(plot.graph()->pen().style(), Qt::SolidLine);
}

} // namespace
