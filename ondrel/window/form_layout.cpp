#include "ondrel/window/form_layout.h"
#include <algorithm>
#include <cmath>

namespace ondrel {

namespace {

constexpr int kHighLabelLeft = 3000;

// Halves go to the even neighbour, as everywhere in the program.
int RoundEven(float value) { return static_cast<int>(std::nearbyint(value)); }

} // namespace

FormGeometry DesignGeometry()
{
    return {
        {"KroGraph1", {120, 120, 9012, 4212}},
        {"FrameHis", {0, 4560, 10815, 855}},
        {"KroSliderV", {480, 480, 3132, 252}},
        {"KroSliderR", {4200, 480, 3012, 252}},
        {"Label15", {480, 240, 495, 255}},
        {"Label16", {1440, 240, 975, 255}},
        {"Label14", {kHighLabelLeft, 240, 615, 255}},
        {"Label1", {4320, 240, 375, 255}},
        {"Label2", {5400, 240, 495, 255}},
        {"Label6", {6600, 240, 495, 255}},
        {"ChkPlay", {7560, 240, 495, 495}},
        {"BtnAccelerate", {8040, 240, 495, 495}},
        {"BtnStop", {8520, 240, 495, 495}},
        {"BtnHisConvert", {9480, 240, 1095, 495}},
        {"FrameSet", {0, 5760, 1935, 1425}},
        {"BtnSet", {240, 240, 1250, 375}},
        {"CkAISave2Disk", {240, 720, 1335, 375}},
        {"CkDISave2Disk", {240, 1080, 1335, 255}},
        {"FrameCmd", {2040, 5760, 2175, 1425}},
        {"KroButton1", {480, 360, 252, 612}},
        {"KroButton2", {960, 360, 252, 612}},
        {"Label7", {120, 360, 255, 255}},
        {"Label9", {120, 840, 255, 255}},
        {"Label18", {480, 1080, 255, 255}},
        {"Label17", {960, 1080, 255, 255}},
        {"BtnHistory", {1320, 600, 765, 375}},
        {"FrameGraph", {4320, 5760, 2895, 1425}},
        {"KroLED1", {240, 240, 1692, 492}},
        {"Label8", {2040, 360, 615, 255}},
        {"BtnGraphSet", {120, 960, 1125, 375}},
        {"BtnClearGraph", {1560, 960, 1125, 375}},
        {"FrameListView", {10920, 0, 1695, 4425}},
        {"Picture1", {0, 0, 1695, 175}},
        {"Label4", {0, 0, 840, 175}},
        {"Label5", {840, 0, 855, 175}},
        {"ListView1", {0, 175, 1695, 3785}},
        {"Picture4", {0, 3960, 1695, 495}},
        {"Label3", {0, 120, 1695, 255}},
        {"BtnStart", {11040, 4680, 1335, 375}},
        {"BtnModeSwitch", {11040, 5040, 1335, 375}},
        {"BtnSaveAs", {11040, 5400, 1332, 372}},
        {"BtnExit", {11160, 6840, 1250, 375}},
    };
}

ResizeOutcome FormResize(FormGeometry& g, int& height, int& width, bool minimized)
{
    if (minimized)
        return ResizeOutcome::Ignored;
    if (height < kMinFormHeight || width < kMinFormWidth) {
        height = kMinFormHeight;
        width = kMinFormWidth;
        return ResizeOutcome::SnappedToMinimum;
    }
    const int M = kLayoutMargin;

    // Vertical placement, bottom up.
    g["KroGraph1"].top = 0;
    g["FrameSet"].top = height - g["FrameSet"].height - 14 * M;
    g["FrameCmd"].top = g["FrameSet"].top;
    g["FrameGraph"].top = g["FrameSet"].top;
    g["FrameHis"].top = g["FrameSet"].top - g["FrameHis"].height - M;
    g["KroGraph1"].height = g["FrameHis"].top - 2 * M;
    g["FrameListView"].height = g["KroGraph1"].height - g["FrameListView"].top;
    g["Picture4"].top = g["KroGraph1"].height - g["Picture4"].height;
    g["ListView1"].height = g["FrameListView"].height - g["Picture4"].height;
    g["BtnStart"].top = g["FrameHis"].top + 2 * M;
    g["BtnModeSwitch"].top = g["BtnStart"].top + g["BtnStart"].height;
    g["BtnSaveAs"].top = g["BtnModeSwitch"].top + g["BtnModeSwitch"].height;
    g["BtnExit"].top = g["FrameSet"].top + g["FrameSet"].height - g["BtnExit"].height;

    // Horizontal placement: the plot list keeps its width, the chart takes the rest.
    g["KroGraph1"].left = M;
    g["KroGraph1"].width = width - g["FrameListView"].width - 3 * M;
    g["FrameListView"].left = g["KroGraph1"].width + M;
    g["BtnStart"].left = g["FrameListView"].left + 5 * M;
    g["BtnModeSwitch"].left = g["BtnStart"].left;
    g["BtnExit"].left = g["BtnStart"].left;
    g["BtnSaveAs"].left = g["BtnStart"].left;
    g["FrameHis"].left = g["KroGraph1"].left;
    g["FrameHis"].width = g["KroGraph1"].width;

    // Inside the history frame: three equal gaps share the spare width.
    const int gap = RoundEven(static_cast<float>(
        RoundEven(static_cast<float>(g["FrameHis"].width - g["KroSliderR"].width - g["KroSliderV"].width
                                     - 3 * g["ChkPlay"].width - g["BtnHisConvert"].width - 2 * M))
        / 4.0f));
    g["KroSliderV"].left = -200;
    g["KroSliderR"].left = g["KroSliderV"].left + g["KroSliderV"].width + gap;
    g["Label1"].left = g["KroSliderR"].left + 3 * M;
    // "High" stays where it was designed unless a narrow window would draw it over "0%".
    g["Label14"].left = std::min(kHighLabelLeft, g["Label1"].left - g["Label14"].width);
    g["Label2"].left =
        RoundEven(static_cast<float>(g["KroSliderR"].width) / 2.0f + static_cast<float>(g["Label1"].left - 3 * M));
    g["Label6"].left =
        RoundEven(static_cast<float>(g["KroSliderR"].width) / 2.0f + static_cast<float>(g["Label2"].left - 12 * M));
    g["ChkPlay"].left = g["KroSliderR"].left + g["KroSliderR"].width + gap;
    g["BtnAccelerate"].left = g["ChkPlay"].left + g["ChkPlay"].width;
    g["BtnStop"].left = g["BtnAccelerate"].left + g["BtnAccelerate"].width;
    g["BtnHisConvert"].left = g["BtnStop"].left + g["BtnStop"].width + gap + 4 * M;

    // The lower row: two equal gaps between the three frames.
    const int w =
        RoundEven(static_cast<float>(RoundEven(static_cast<float>(g["FrameHis"].width - g["FrameSet"].width
                                                                  - g["FrameCmd"].width - g["FrameGraph"].width))
                                     / 2.0f));
    g["FrameSet"].left = g["FrameHis"].left;
    g["FrameGraph"].left = g["FrameSet"].left + g["FrameSet"].width + w;
    g["FrameCmd"].left = g["FrameGraph"].left + g["FrameGraph"].width + w;
    return ResizeOutcome::LaidOut;
}

} // namespace ondrel
