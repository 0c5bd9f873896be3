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
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        first = batch_.empty();
        batch_.push_back({run_.load(), std::move(draw)});
    }
    if (first)
        thread_.Post([this] { DrawBatch(); });
}

void HandedPolledChart::DrawBatch()
{
    std::vector<Handed> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(batch_);
    }
    for (const Handed& handed : batch) {
        if (handed.run != run_.load())
            continue;
        try {
            handed.draw();
        } catch (const std::exception& error) {
            onError_(error.what());
        }
    }
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
