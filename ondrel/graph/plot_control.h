#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/graph/plot_list.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/common/acquisition_setup.h"
#include <vector>

namespace ondrel {

// The legend beside the chart, as the plot control fills it.
class IPlotLegend {
public:
    virtual ~IPlotLegend() = default;
    // Replaces every row.
    virtual void ShowRows(const std::vector<PlotListRow>& rows) = 0;
};

// The chart's plots and their legend, for live acquisition and for replay.
class PlotControl {
public:
    PlotControl(IKroGraph& graph, IKroAI& ai, const AcquisitionSetup& setup, const ReplayChart& replay,
                IPlotLegend& legend)
        : graph_(graph), ai_(ai), setup_(setup), replay_(replay), legend_(legend)
    {}

    // Both report nothing themselves: a failure (ComponentError) goes to the
    // handler that called them, and a failed set-up leaves the legend alone.
    void SetupPlots(bool historyMode, bool rebuild);
    void UpdatePlotListView();

    // The AI scan the live plots show: none when no AI device is chosen.
    AIScanLayout CurrentScanLayout() const;

private:
    IKroGraph& graph_;
    IKroAI& ai_;
    const AcquisitionSetup& setup_;
    const ReplayChart& replay_;
    IPlotLegend& legend_;
};

} // namespace ondrel
