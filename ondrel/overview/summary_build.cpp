#include "ondrel/overview/summary_build.h"

#include <algorithm>
#include <exception>

namespace ondrel {

namespace {

// Bytes per read: what the processor's cache holds, so the values are summed
// up while they are still there rather than fetched from memory again.
constexpr int64_t kBytesPerRead = 512 << 10;

} // namespace

SummaryShape ShapeOf(RecordingReader& reader)
{
    SummaryShape shape;
    if (reader.AI().IsOpen()) {
        shape.aiScans = reader.AI().ScanCount();
        shape.aiChannels = reader.AI().ChanCount();
    }
    if (reader.DI().IsOpen()) {
        shape.diScans = reader.DI().ScanCount();
        shape.diPorts = reader.DI().PortCount();
    }
    return shape;
}

void BuildSummary(RecordingReader& reader, OverviewSummary& summary, const Progress& progress)
{
    ProgressCounter counter(progress, reader.DataBytes());
    if (reader.AI().IsOpen()) {
        AIScanReader& ai = reader.AI();
        ai.SeekScan(0);
        for (;;) {
            const AIScanBlock block = ai.Read(std::max<int64_t>(1, kBytesPerRead / ai.BytesPerScan()));
            if (block.floats.empty() && block.counts.empty())
                break;
            if (!block.floats.empty())
                summary.AppendAI(block.floats);
            else
                summary.AppendAI(block.counts);
            counter.Add(static_cast<uint64_t>(block.scans * ai.BytesPerScan()));
            if (block.end)
                break;
        }
    }
    if (reader.DI().IsOpen()) {
        DIScanReader& di = reader.DI();
        di.SeekScan(0);
        for (;;) {
            const DIScanBlock block = di.Read(std::max<int64_t>(1, kBytesPerRead / di.PortCount()));
            if (block.ports.empty())
                break;
            summary.AppendDI(block.ports);
            counter.Add(block.ports.size());
            if (block.end)
                break;
        }
    }
    summary.Finish();
}

SummaryBuild::SummaryBuild(std::unique_ptr<RecordingReader> reader, std::shared_ptr<OverviewSummary> summary,
                           std::function<void(const OverviewSummary&)> done)
    : reader_(std::move(reader)), summary_(std::move(summary)), done_(std::move(done)), worker_([this] { Run(); })
{}

SummaryBuild::~SummaryBuild()
{
    stop_.store(true);
    worker_.join();
}

std::optional<std::string> SummaryBuild::Failure() const
{
    std::lock_guard lock(failureLock_);
    return failure_;
}

void SummaryBuild::Run()
{
    const Progress progress = [this](double fraction) {
        fraction_.store(fraction, std::memory_order_relaxed);
        return !stop_.load(std::memory_order_relaxed);
    };
    try {
        BuildSummary(*reader_, *summary_, progress);
        fraction_.store(1.0, std::memory_order_relaxed);
        if (done_)
            done_(*summary_);
    } catch (const Cancelled&) {
        std::lock_guard lock(failureLock_);
        failure_ = "Stopped";
    } catch (const std::exception& error) {
        std::lock_guard lock(failureLock_);
        failure_ = error.what();
    }
    running_.store(false, std::memory_order_release);
}

} // namespace ondrel
