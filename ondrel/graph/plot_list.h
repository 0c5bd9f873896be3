#pragma once
#include "ondrel/components/graph.h"
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One legend row: the plot's name and, for a known line style, its picture
// painted in the plot's colour.
struct PlotListRow {
    int32_t plotIndex = 0;
    std::string name;
    std::optional<std::string> linePicture;
    ColorRef color = 0;
};

// What decides which plots the legend lists.
struct PlotListInputs {
    bool historyMode = false;
    bool aiEnabled = false, diEnabled = false;
    int32_t aiChanCount = 0; // the AI device's ChanCount
    int32_t diChanCount = 0; // nDIChanCount
    bool hisAI = false, hisDI = false;
    int32_t hisAIChanCount = 0, hisDIChanCount = 0;
};

// The rows of the legend, in plot order. Throws ComponentError when the chart
// has fewer plots than the inputs say.
std::vector<PlotListRow> PlotListRows(IKroPlots& plots, const PlotListInputs& in);

} // namespace ondrel
