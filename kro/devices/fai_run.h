#pragma once
#include "kro/devices/sample_table.h"
#include "ondrel/components/ai_device.h"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace kro {

class EventPump;

// What a buffered run hands to its owner, always on the owner's thread.
struct FaiDelivery {
    enum class Kind { FirstHalf, SecondHalf, Finished, Failed };
    Kind kind = Kind::FirstHalf;
    std::span<const int16_t> raw;  // filled for a raw run
    std::span<const float> scaled; // filled for a scaled run
    int32_t sampleCount = 0;
    std::string message; // Failed only
};

// Passes a delivery on to the program's events: each half, the end, the failure.
void forwardDelivery(const FaiDelivery& d, ondrel::IKroAIEvents& sink);

// Hands `count` samples of `raw` or `scaled` (whichever the run fills) to the
// run's handler as half `half` (0 or 1) while the run is live. The handler is
// called through a copy, so it may replace itself by stopping the run.
template <class Shared>
void handOverSamples(Shared& shared, int half, std::span<const int16_t> raw, std::span<const float> scaled,
                     int32_t count)
{
    if (!shared.live || !shared.handler)
        return;
    FaiDelivery d;
    d.kind = half == 0 ? FaiDelivery::Kind::FirstHalf : FaiDelivery::Kind::SecondHalf;
    const auto n = static_cast<size_t>(count);
    d.raw = raw.empty() ? raw : raw.first(std::min(n, raw.size()));
    d.scaled = scaled.empty() ? scaled : scaled.first(std::min(n, scaled.size()));
    d.sampleCount = count;
    const auto handler = shared.handler;
    handler(d);
}

// Hands half `half` of a run's double buffer, `count` samples, to its handler.
template <class Shared>
void handOverHalf(Shared& shared, int half, int32_t count)
{
    handOverSamples(shared, half, shared.raw[half], shared.scaled[half], count);
}

// Hands a run's end (Finished or Failed, with its message) to its handler
// while the run is live and not being ended by its owner (whose stop hands over
// the rest instead, with no end); no delivery follows it.
template <class Shared>
void handOverEnd(Shared& shared, FaiDelivery::Kind kind, const std::string& message)
{
    if (!shared.live || shared.ending || !shared.handler)
        return;
    shared.live = false;
    FaiDelivery d;
    d.kind = kind;
    d.message = message;
    const auto handler = shared.handler;
    handler(d);
}

struct FaiRunConfig {
    std::shared_ptr<const SampleTable> table;
    SampleTable::Kind kind = SampleTable::Kind::Scaled;
    // Whole buffer: a multiple of 2 x the table's channel count, so each half
    // (sampleCount / 2 samples) is whole scans and starts at a scan boundary.
    int32_t sampleCount = 0;
    bool cyclic = false;
    int32_t scanSize = 1;         // samples in one scan: the last delivery is whole scans
    double sampleRate = 1000.0;   // aggregate Hz
    int32_t failAfterHalves = -1; // test hook: fail once this many halves went out
};

// One paced buffered run. A worker thread wakes on absolute deadlines, fills the
// next half of the buffer and posts it to the owner through the pump. A half
// the owner has not finished with when its turn comes again is an overrun: the
// run posts a failure instead of overwriting it, so data are never lost silently.
// Ending the run with finish() hands over everything the card acquired up to
// that moment; stop() (and destruction) discards what is still queued.
class FaiRun {
public:
    using Handler = std::function<void(const FaiDelivery&)>;

    FaiRun(EventPump& pump, FaiRunConfig config, Handler handler);
    ~FaiRun(); // stop()
    FaiRun(const FaiRun&) = delete;
    FaiRun& operator=(const FaiRun&) = delete;

    // Ends the worker promptly and discards deliveries still queued. Owner thread.
    void stop();
    // Ends the worker promptly, then, before returning, hands over the halves
    // still queued and the whole scans the card acquired since the last half as
    // a last, shorter delivery (in the order they were acquired, through the
    // same handler). Nothing follows. Owner thread; may be called from a handler.
    void finish();
    // Samples the card has acquired so far: what finish() would hand over in all.
    int64_t samplesAcquired() const;
    // True once the worker has ended (finished, failed or stopped).
    bool workerDone() const { return shared_->workerDone.load(); }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        bool stopRequested = false;
        std::chrono::steady_clock::time_point stoppedAt;
        bool inUse[2] = {false, false}; // half posted and not yet released by the owner
        int64_t produced = 0;           // samples filled into posted halves
        int64_t halvesPosted = 0;
        bool ended = false;          // the worker posted Finished or Failed
        int64_t halvesDelivered = 0; // owner thread only: halves handed over (or skipped)
        bool ending = false;         // owner thread only: inside finish()
        std::vector<int16_t> raw[2];
        std::vector<float> scaled[2];
        std::atomic<bool> workerDone{false};
        bool live = true; // owner thread only: deliveries still wanted
        Handler handler;  // owner thread only
    };

    void work();
    std::chrono::steady_clock::time_point endWorker(); // when it was asked to end
    void handOverQueued();
    void handOverAcquiredSince(std::chrono::steady_clock::time_point stoppedAt);
    int64_t samplesDueAt(std::chrono::steady_clock::time_point t) const; // by the clock, within the buffer
    void postHalf(int half, int32_t count, int64_t sequence);
    void postEnd(FaiDelivery::Kind kind, std::string message);

    EventPump& pump_;
    FaiRunConfig config_;
    std::shared_ptr<Shared> shared_;
    std::chrono::steady_clock::time_point start_;
    std::thread worker_;
};

} // namespace kro
