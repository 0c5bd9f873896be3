#include "kro/display/kro_plots.h"
#include "kro/display/column_graph.h"
#include "ondrel/components/component_error.h"
#include <qcustomplot.h>

namespace kro {

KroPlots::KroPlots(ChartHost& host, QCustomPlot& plot, KroAxes& axes) : host_(host), plot_(plot), axes_(axes) {}

KroPlot& KroPlots::Item(int32_t index)
{
    if (index < 0 || index >= Count())
        throw ondrel::ComponentError("Plots: index " + std::to_string(index) + " is out of range (the chart has "
                                     + std::to_string(Count()) + " plots)");
    return *items_[static_cast<size_t>(index)];
}

KroPlot& KroPlots::Add()
{
    KroAxis& yAxis = axes_.Item(1);
    auto* graph = new ColumnGraph(axes_.timeAxis().qcpAxis(), yAxis.qcpAxis());
    items_.push_back(std::make_unique<KroPlot>(host_, graph, yAxis, "Plot " + std::to_string(items_.size())));
    host_.plotsChanged();
    return *items_.back();
}

void KroPlots::RemoveAll()
{
    items_.clear();
    plot_.clearGraphs();
    host_.requestRedraw();
    host_.plotsChanged();
}

} // namespace kro
