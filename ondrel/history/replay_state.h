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

// The window's mode and what a project opened for replay says about itself.
struct ReplayState {
    bool bHistoryMode = false;
    bool bHisAI = false, bHisDI = false, bHisAISoft = false, bHisAIAnalog = false;
    int32_t nHisAIMaxChanNum = 0, nHisAIChanCount = 0, nHisDIMaxPortCount = 0;
    int32_t nHisDIPortCount = 0, nHisDIPortStart = 0, nHisDIChanCount = 0;

    std::vector<ReplayPlot> aiPlots;
    std::vector<uint8_t> HisAIChanKind;   // per device channel: 0 a voltage input
    std::vector<ReplayPlot> diPlots;
    std::vector<uint8_t> HisDIPortMask;
};

} // namespace ondrel
