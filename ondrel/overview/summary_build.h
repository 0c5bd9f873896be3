#pragma once
#include "ondrel/common/progress.h"
#include "ondrel/history/recording_reader.h"
#include "ondrel/overview/summary_levels.h"
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace ondrel {

// The summary a reader's data files call for: their whole scans, channels and
// ports (none of a kind the reader has not opened).
SummaryShape ShapeOf(RecordingReader& reader);

// Reads the data files of `reader` once, from the first scan to the last, AI
// then DI, into `summary` (sized by ShapeOf), and finishes it. Progress is the
// fraction of the data bytes read; throws Cancelled when it asks to stop and
// FileError when a read fails.
void BuildSummary(RecordingReader& reader, OverviewSummary& summary, const Progress& progress = {});

// BuildSummary on a worker thread of its own. The summary can be drawn from
// while it grows; `done` runs on the worker once the summary is finished, and
// is not called when the build failed or was stopped.
class SummaryBuild {
public:
    SummaryBuild(std::unique_ptr<RecordingReader> reader, std::shared_ptr<OverviewSummary> summary,
                 std::function<void(const OverviewSummary&)> done = {});
    // Stops the build and waits for the worker.
    ~SummaryBuild();
    SummaryBuild(const SummaryBuild&) = delete;
    SummaryBuild& operator=(const SummaryBuild&) = delete;

    double Fraction() const { return fraction_.load(std::memory_order_relaxed); }
    bool Running() const { return running_.load(std::memory_order_acquire); }
    // Why the build stopped short, once it has.
    std::optional<std::string> Failure() const;

private:
    void Run();

    std::unique_ptr<RecordingReader> reader_;
    std::shared_ptr<OverviewSummary> summary_;
    std::function<void(const OverviewSummary&)> done_;
    std::atomic<double> fraction_{0.0};
    std::atomic<bool> running_{true};
    std::atomic<bool> stop_{false};
    mutable std::mutex failureLock_;
    std::optional<std::string> failure_;
    std::thread worker_; // last: it starts once everything above is ready
};

} // namespace ondrel
