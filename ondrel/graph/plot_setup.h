#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/common/acquisition_setup.h"
#include <string>
#include <vector>

namespace ondrel {

// The AI scan as the plot set-up sees it: plot i shows physical channel
// plotPhysical[i] (differential pairs already mapped).
struct AIScanLayout {
    int32_t chanStart = 0;
    int32_t chanCount = 0;
    int32_t maxChanCount = 0;
    std::string deviceName;
    std::vector<int32_t> plotPhysical;
};

// The physical channel of each AI plot: plot i shows the i-th logical channel
// after the one ChanStart maps to.
std::vector<int32_t> PlotPhysicalChannels(const std::string& deviceName, int32_t maxChanCount,
                                          const std::vector<int32_t>& connection, int32_t chanStart, int32_t chanCount);

inline constexpr int kTimeAxis = 0;
inline constexpr int kAIAxis = 1;
inline constexpr int kDIAxis = 2;
inline constexpr int kTemperatureAxis = 3;

// (Re)creates and configures the chart's plots: AI plots first, then one plot per
// selected DI line in port and bit order. In history mode from the replay state.
void SetupPlots(IKroGraph& graph, const AcquisitionSetup& setup, const ReplayChart& replay, const AIScanLayout& scan,
                bool historyMode, bool rebuild);

} // namespace ondrel
