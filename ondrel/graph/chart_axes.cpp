#include "ondrel/graph/chart_axes.h"
#include "ondrel/graph/plot_setup.h"

namespace ondrel {

void ConfigureChartAxes(IKroGraph& graph)
{
    IKroAxes& axes = graph.Axes();
    IKroAxis& time = axes.Item(kTimeAxis);
    time.setTitle("Second");
    time.setMinimum(0);
    time.setMaximum(10);
    graph.setChartLength(0);
    while (axes.Count() < 4)
        axes.Add();
    axes.Item(kAIAxis).setTitle("AI Data");
    axes.Item(kDIAxis).setTitle("DI Data");
    axes.Item(kTemperatureAxis).setTitle("Temperature Data");
}

} // namespace ondrel
