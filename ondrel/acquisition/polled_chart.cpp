#include "ondrel/acquisition/polled_chart.h"
#include <vector>

namespace ondrel {

void DirectPolledChart::PlotAI(float t, std::span<const float> scan) { graph_.PlotXY(t, scan); }

void DirectPolledChart::PlotDI(double t, int32_t firstPlot, std::span<const double> levels)
{
    IKroPlots& plots = graph_.Plots();
    for (size_t n = 0; n < levels.size(); ++n)
        plots.Item(firstPlot + static_cast<int32_t>(n)).AddXY(t, levels[n]);
}

void HandedPolledChart::Hand(std::function<void()> draw)
{
    thread_.Post([this, run = run_.load(), draw = std::move(draw)] {
        if (run != run_.load())
            return;
        try {
            draw();
        } catch (const std::exception& error) {
            onError_(error.what());
        }
    });
}

void HandedPolledChart::PlotAI(float t, std::span<const float> scan)
{
    Hand([this, t, values = std::vector<float>(scan.begin(), scan.end())] { direct_.PlotAI(t, values); });
}

void HandedPolledChart::PlotDI(double t, int32_t firstPlot, std::span<const double> levels)
{
    Hand([this, t, firstPlot, values = std::vector<double>(levels.begin(), levels.end())] {
        direct_.PlotDI(t, firstPlot, values);
    });
}

} // namespace ondrel
