// Chart cost at the sizes a 1 MS/s stream produces: 16 plots of 100,000 points
// in a 1200 x 600 chart. Run headless: QT_QPA_PLATFORM=offscreen.
#include "kro/display/kro_graph.h"
#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <qcustomplot.h>
#include <vector>

namespace {

constexpr int kPlots = 16;
constexpr int kPoints = 100000;
constexpr double kStep = 16.0 / 1e6; // one scan of 16 channels at 1 MS/s aggregate

// Interleaved scans of a noisy sine per channel, like a buffer from the device.
std::vector<float> buffer(int scans, int firstScan)
{
    std::vector<float> samples(static_cast<size_t>(scans) * kPlots);
    for (int s = 0; s < scans; ++s)
        for (int c = 0; c < kPlots; ++c) {
            const double t = (firstScan + s) * kStep;
            const double noise = ((s * 7919 + c * 104729) % 1000) / 5000.0;
            samples[static_cast<size_t>(s) * kPlots + c] =
                static_cast<float>(c + std::sin(2 * M_PI * (5 + c) * t) * 0.4 + noise);
        }
    return samples;
}

struct LoadedChart {
    LoadedChart()
    {
        for (int c = 0; c < kPlots; ++c)
            graph.Plots().Add().setColor(static_cast<ondrel::ColorRef>(0x00FF00 + c * 0x100010));
        graph.setChartLength(kPoints);
        graph.Axes().Item(0).SetRange(0.0, kPoints * kStep);
        graph.Axes().Item(1).setAutoScale(false);
        graph.Axes().Item(1).SetRange(-1.0, kPlots + 1.0);
        graph.resize(1200, 600);
        graph.show();
        feed(kPoints);
        graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
    }

    void feed(int scans)
    {
        const std::vector<float> samples = buffer(scans, fed);
        ondrel::PreparedData prepared;
        graph.PlotData(std::span<const float>(samples), prepared, kPlots, scans);
        graph.SetXStep(prepared, kStep);
        fed += scans;
    }

    kro::KroGraph graph;
    int fed = 0;
};

void FullRedraw(benchmark::State& state)
{
    LoadedChart chart;
    for (auto _ : state)
        chart.graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["points"] = double(kPlots) * chart.graph.Plots().Item(0).PointCount();
}
BENCHMARK(FullRedraw)->Unit(benchmark::kMillisecond);

void RenderToPixmap(benchmark::State& state)
{
    LoadedChart chart;
    for (auto _ : state) {
        QPixmap pixmap = chart.graph.customPlot()->toPixmap(1200, 600);
        benchmark::DoNotOptimize(pixmap);
    }
}
BENCHMARK(RenderToPixmap)->Unit(benchmark::kMillisecond);

// One buffer of 1,000 scans per plot: prepare, append with the strip chart
// scrolling and the oldest points dropped, then draw the frame. With the
// argument 1 the analog axis also fits the shown data, as a frame does.
void AppendScrollAndRedraw(benchmark::State& state)
{
    LoadedChart chart;
    ondrel::IKroAxis& analog = chart.graph.Axes().Item(1);
    analog.setAutoScale(state.range(0) != 0);
    const double spanBefore = chart.graph.Axes().Item(0).Maximum() - chart.graph.Axes().Item(0).Minimum();
    for (auto _ : state) {
        chart.feed(1000);
        benchmark::DoNotOptimize(analog.Minimum()); // fits the axis when auto-scaled
        chart.graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
    }
    const double span = chart.graph.Axes().Item(0).Maximum() - chart.graph.Axes().Item(0).Minimum();
    if (chart.graph.Plots().Item(0).PointCount() != kPoints || std::abs(span - spanBefore) > 1e-9)
        state.SkipWithError("the strip chart did not keep its bound or span");
}
BENCHMARK(AppendScrollAndRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The polled run's chart: 16 analog traces (slow sines) and 24 digital lines
// that change level every millisecond, 10,000 points each (10 s at 1 ms), in
// a chart the size the window gives it; one frame redrawn. Goal: under 2 ms.
void PolledFrame40Traces(benchmark::State& state)
{
    constexpr int analog = 16, digital = 24, points = 10000;
    kro::KroGraph graph;
    for (int c = 0; c < analog + digital; ++c) {
        ondrel::IKroPlot& plot = graph.Plots().Add();
        plot.setColor(static_cast<ondrel::ColorRef>(0x00FF00 + c * 0x100010));
        if (c >= analog)
            plot.setYAxis(graph.Axes().Item(2));
    }
    graph.setChartLength(points);
    graph.Axes().Item(0).SetRange(0.0, 10.0);
    graph.Axes().Item(2).setAutoScale(false);
    graph.Axes().Item(2).SetRange(-1, 89);
    std::vector<float> y(analog + digital);
    for (int s = 0; s < points; ++s) {
        for (int c = 0; c < analog; ++c)
            y[static_cast<size_t>(c)] = static_cast<float>(std::sin(2 * M_PI * (0.3 + 0.02 * c) * s / 1000.0));
        for (int d = 0; d < digital; ++d) // three of eight lines high, rotating
            y[static_cast<size_t>(analog + d)] =
                static_cast<float>(((s + d) % 8 < 3 ? 1.0 : 0.0) + 1.5 * d + 3.0 * (d / 8));
        graph.PlotXY(static_cast<float>(s / 1000.0), y);
    }
    graph.resize(760, 420);
    graph.show();
    for (auto _ : state)
        graph.customPlot()->replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(PolledFrame40Traces)->Unit(benchmark::kMillisecond);

// The data side alone: a 1,000-scan buffer of all plots appended and trimmed.
void AppendOnly(benchmark::State& state)
{
    LoadedChart chart;
    const std::vector<float> samples = buffer(1000, 0);
    for (auto _ : state) {
        ondrel::PreparedData prepared;
        chart.graph.PlotData(std::span<const float>(samples), prepared, kPlots, 1000);
        chart.graph.SetXStep(prepared, kStep);
    }
}
BENCHMARK(AppendOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
