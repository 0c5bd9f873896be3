#pragma once
#include "ondrel/acquisition/polling_thread.h"
#include "ondrel/components/graph.h"
#include <atomic>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// Where a polled scan is drawn.
class IPolledChart {
public:
    virtual ~IPolledChart() = default;
    // The AI scan at time `t`, one value per plot from plot 0.
    virtual void PlotAI(float t, std::span<const float> scan) = 0;
    // The DI lines' levels at time `t`, one per plot from `firstPlot`.
    virtual void PlotDI(double t, int32_t firstPlot, std::span<const double> levels) = 0;
};

// Straight onto the chart, on the thread that polls.
class DirectPolledChart final : public IPolledChart {
public:
    explicit DirectPolledChart(IKroGraph& graph) : graph_(graph) {}
    void PlotAI(float t, std::span<const float> scan) override;
    void PlotDI(double t, int32_t firstPlot, std::span<const double> levels) override;

private:
    IKroGraph& graph_;
};

// Handed from the polling thread to the program thread, which owns the chart.
// Scans wait in a batch that the program thread draws whole, so it wakes once
// per batch rather than once per tick. Scans handed during an earlier run
// than the current one are dropped there, so a chart cleared at Start never
// shows the last run's final scans.
class HandedPolledChart final : public IPolledChart {
public:
    // `onError` runs on the program thread with what a scan's drawing threw.
    HandedPolledChart(IKroGraph& graph, IPollingThread& thread, std::function<void(const std::string&)> onError)
        : direct_(graph), thread_(thread), onError_(std::move(onError))
    {}
    // On the program thread, before the run's ticks start.
    void NewRun() { ++run_; }
    void PlotAI(float t, std::span<const float> scan) override;
    void PlotDI(double t, int32_t firstPlot, std::span<const double> levels) override;

private:
    struct Handed {
        uint64_t run;
        std::function<void()> draw;
    };
    // Hands `draw` over, to run if its run is still the current one.
    void Hand(std::function<void()> draw);
    void DrawBatch();

    DirectPolledChart direct_;
    IPollingThread& thread_;
    std::function<void(const std::string&)> onError_;
    std::atomic<uint64_t> run_{0};
    std::mutex mutex_;
    std::vector<Handed> batch_; // under mutex_
};

} // namespace ondrel
