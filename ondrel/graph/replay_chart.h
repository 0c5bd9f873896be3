#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel {

// One plot of a recorded project, as its description stores it
// (HisAIPlotColor/Style/Name, HisDIPlotColor/Style/Name).
struct ReplayPlot {
    uint32_t color = 0;
    int32_t style = 0;
    std::string name;
};

// What the chart, its settings and the time base know of history mode: whether
// it is on, whether a replay is moving the X axis, and the plots of the project
// opened. Replay fills it; nothing here reads a recording.
struct ReplayChart {
    bool bHistoryMode = false;
    bool isHisPlaying = false;

    bool bHisAI = false, bHisDI = false;
    int32_t nHisAIChanCount = 0, nHisDIChanCount = 0;
    std::vector<ReplayPlot> aiPlots;
    std::vector<uint8_t> HisAIChanKind; // per device channel: 0 a voltage input
    std::vector<ReplayPlot> diPlots;
    double dHisScanInterval = 0.0; // seconds between two scans
};

} // namespace ondrel
