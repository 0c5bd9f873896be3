#include "ondrel/window/form_layout.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

struct Laid {
    FormGeometry g = DesignGeometry();
    int height = 0, width = 0;
    ResizeOutcome outcome{};
    Laid(int h, int w, bool minimized = false) : height(h), width(w)
    {
        outcome = FormResize(g, height, width, minimized);
    }
};

TEST(FormLayout, MinimumSizeGivesTheDocumentedFigures)
{
    Laid at(kMinFormHeight, kMinFormWidth);
    ASSERT_EQ(at.outcome, ResizeOutcome::LaidOut);
    EXPECT_EQ(at.g["FrameSet"].top, 5120);
    EXPECT_EQ(at.g["FrameHis"].top, 4215);
    EXPECT_EQ(at.g["KroGraph1"].height, 4115);
    EXPECT_EQ(at.g["KroGraph1"].width, 9600);
    EXPECT_EQ(at.g["FrameListView"].left, 9650);
    EXPECT_EQ(at.g["BtnStart"].left, 9900);
    EXPECT_EQ(at.g["BtnStart"].top, 4315);
    // The command buttons form a column without gaps; Exit lines up with the frames' bottom.
    EXPECT_EQ(at.g["BtnModeSwitch"].top, at.g["BtnStart"].top + at.g["BtnStart"].height);
    EXPECT_EQ(at.g["BtnSaveAs"].top, at.g["BtnModeSwitch"].top + at.g["BtnModeSwitch"].height);
    EXPECT_EQ(at.g["BtnExit"].top + at.g["BtnExit"].height, at.g["FrameSet"].top + at.g["FrameSet"].height);
    EXPECT_EQ(at.g["KroSliderV"].left, -200);
    // The three replay buttons touch.
    EXPECT_EQ(at.g["BtnAccelerate"].left, at.g["ChkPlay"].left + at.g["ChkPlay"].width);
    EXPECT_EQ(at.g["BtnStop"].left, at.g["BtnAccelerate"].left + at.g["BtnAccelerate"].width);
}

TEST(FormLayout, TooSmallSnapsBothDimensionsAndMovesNothing)
{
    for (auto [h, w] : {std::pair{7000, 12000}, std::pair{8000, 11000}, std::pair{100, 100}}) {
        Laid at(h, w);
        EXPECT_EQ(at.outcome, ResizeOutcome::SnappedToMinimum);
        EXPECT_EQ(at.height, kMinFormHeight);
        EXPECT_EQ(at.width, kMinFormWidth);
        EXPECT_EQ(at.g, DesignGeometry());
    }
}

TEST(FormLayout, MinimizedWindowChangesNothing)
{
    Laid at(100, 100, true);
    EXPECT_EQ(at.outcome, ResizeOutcome::Ignored);
    EXPECT_EQ(at.height, 100);
    EXPECT_EQ(at.g, DesignGeometry());
}

TEST(FormLayout, ExtraWidthGoesToChartAndGaps)
{
    Laid narrow(kMinFormHeight, kMinFormWidth);
    Laid wide(kMinFormHeight, kMinFormWidth + 1000);
    auto delta = [&](const char* name, int TwipsRect::*field) { return wide.g[name].*field - narrow.g[name].*field; };
    EXPECT_EQ(delta("KroGraph1", &TwipsRect::width), 1000);
    EXPECT_EQ(delta("FrameHis", &TwipsRect::width), 1000);
    EXPECT_EQ(delta("FrameListView", &TwipsRect::left), 1000);
    EXPECT_EQ(delta("BtnStart", &TwipsRect::left), 1000);
    EXPECT_EQ(delta("BtnExit", &TwipsRect::left), 1000);
    // Gap g appears once before the position slider, twice before the replay
    // buttons and three times before Convert; each lower-row gap grows by 500.
    EXPECT_EQ(delta("KroSliderR", &TwipsRect::left), 250);
    EXPECT_EQ(delta("ChkPlay", &TwipsRect::left), 500);
    EXPECT_EQ(delta("BtnHisConvert", &TwipsRect::left), 750);
    EXPECT_EQ(delta("FrameGraph", &TwipsRect::left), 500);
    EXPECT_EQ(delta("FrameCmd", &TwipsRect::left), 1000);
}

TEST(FormLayout, TallerWindowMovesFramesDownAndGrowsChart)
{
    Laid base(kMinFormHeight, kMinFormWidth);
    Laid tall(kMinFormHeight + 600, kMinFormWidth);
    EXPECT_EQ(tall.g["FrameSet"].top - base.g["FrameSet"].top, 600);
    EXPECT_EQ(tall.g["KroGraph1"].height - base.g["KroGraph1"].height, 600);
    EXPECT_EQ(tall.g["ListView1"].height - base.g["ListView1"].height, 600);
    EXPECT_EQ(tall.g["Picture4"].top, tall.g["KroGraph1"].height - tall.g["Picture4"].height);
}

} // namespace
} // namespace ondrel

namespace ondrel {
namespace {

// The history frame's labels follow the position slider: "0%" three margins in,
// "50%" and "100%" half a slider further each, less 3 and 12 margins.
TEST(FormLayout, PercentLabelsFollowThePositionSlider)
{
    struct Case {
        int width, sliderLeft, zero, half, full, high;
    };
    // Gap = (FrameHis width − both sliders − three replay buttons − Convert − 2 M) / 4.
    for (const Case& c : {Case{kMinFormWidth, 3126, 3276, 4632, 5538, 2661}, // gap 194
                          Case{kMinFormWidth + 3000, 3876, 4026, 5382, 6288, 3000}}) {
        Laid at(kMinFormHeight, c.width);
        ASSERT_EQ(at.outcome, ResizeOutcome::LaidOut);
        EXPECT_EQ(at.g["KroSliderR"].left, c.sliderLeft) << c.width;
        EXPECT_EQ(at.g["Label1"].left, c.zero) << c.width;
        EXPECT_EQ(at.g["Label2"].left, c.half) << c.width;
        EXPECT_EQ(at.g["Label6"].left, c.full) << c.width;
        // "High" ends where "0%" begins when the window is too narrow for its place.
        EXPECT_EQ(at.g["Label14"].left, c.high) << c.width;
    }
    // A gap of 194.5 twips goes to 194, one of 195.5 to 196.
    EXPECT_EQ(Laid(kMinFormHeight, kMinFormWidth + 2).g["KroSliderR"].left, -200 + 3132 + 194);
    EXPECT_EQ(Laid(kMinFormHeight, kMinFormWidth + 6).g["KroSliderR"].left, -200 + 3132 + 196);
}

} // namespace
} // namespace ondrel
