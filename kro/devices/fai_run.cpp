#include "kro/devices/fai_run.h"
#include "kro/devices/event_pump.h"
#include <algorithm>
#include <chrono>
#include <cmath>

namespace kro {

FaiRun::FaiRun(EventPump& pump, FaiRunConfig config, Handler handler)
    : pump_(pump), config_(std::move(config)), shared_(std::make_shared<Shared>())
{
    shared_->handler = std::move(handler);
    const auto half = static_cast<size_t>(config_.sampleCount / 2);
    for (int h = 0; h < 2; ++h) {
        if (config_.kind == SampleTable::Kind::Raw)
            shared_->raw[h].resize(half);
        else
            shared_->scaled[h].resize(half);
    }
    start_ = std::chrono::steady_clock::now();
    worker_ = std::thread([this] { work(); });
}

FaiRun::~FaiRun() { stop(); }

void FaiRun::stop()
{
    shared_->live = false;
    endWorker();
}

void FaiRun::finish()
{
    shared_->ending = true;
    const auto stoppedAt = endWorker();
    handOverQueued();
    handOverAcquiredSince(stoppedAt);
    shared_->live = false;
}

std::chrono::steady_clock::time_point FaiRun::endWorker()
{
    std::chrono::steady_clock::time_point stoppedAt;
    {
        // Read under the lock: a half the worker still fills was due by now.
        std::lock_guard lock(shared_->mutex);
        if (!shared_->stopRequested)
            shared_->stoppedAt = std::chrono::steady_clock::now();
        shared_->stopRequested = true;
        stoppedAt = shared_->stoppedAt;
    }
    shared_->wake.notify_all();
    if (worker_.joinable())
        worker_.join();
    return stoppedAt;
}

void FaiRun::handOverQueued()
{
    auto& s = *shared_;
    const auto count = config_.sampleCount / 2;
    while (s.live && s.halvesDelivered < s.halvesPosted) {
        const auto half = static_cast<int>(s.halvesDelivered & 1);
        ++s.halvesDelivered;
        handOverHalf(s, half, count);
    }
}

int64_t FaiRun::samplesDueAt(std::chrono::steady_clock::time_point t) const
{
    const double ns = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(t - start_).count());
    const auto due = static_cast<int64_t>(std::min(std::floor(ns * config_.sampleRate / 1e9), 1e18));
    // A single-shot run never acquires beyond its buffer.
    return config_.cyclic ? due : std::min<int64_t>(due, config_.sampleCount);
}

int64_t FaiRun::samplesAcquired() const
{
    std::lock_guard lock(shared_->mutex);
    if (shared_->ended)
        return shared_->produced;
    const auto stoppedAt = shared_->stopRequested ? shared_->stoppedAt : std::chrono::steady_clock::now();
    return std::max(shared_->produced, samplesDueAt(stoppedAt));
}

void FaiRun::handOverAcquiredSince(std::chrono::steady_clock::time_point stoppedAt)
{
    auto& s = *shared_;
    if (s.ended || !s.live)
        return;
    // A worker woken late may owe more than a half: it goes out in half-sized
    // pieces, in order.
    const int64_t target = samplesDueAt(stoppedAt);
    const int64_t count = config_.sampleCount / 2;
    int64_t produced = s.produced;
    auto half = static_cast<int>(s.halvesPosted & 1);
    // Its own buffer: a handler on the stack may still read either half.
    std::vector<int16_t> raw;
    std::vector<float> scaled;
    while (s.live) {
        int64_t n = std::min(count, target - produced);
        n -= n % config_.scanSize;
        if (n <= 0)
            break;
        if (config_.kind == SampleTable::Kind::Raw) {
            raw.resize(static_cast<size_t>(n));
            config_.table->fill(produced, raw);
        } else {
            scaled.resize(static_cast<size_t>(n));
            config_.table->fill(produced, scaled);
        }
        produced += n;
        handOverSamples(s, half, raw, scaled, static_cast<int32_t>(n));
        half ^= 1;
    }
}

void FaiRun::work()
{
    const auto start = start_;
    const double nsPerSample = 1e9 / config_.sampleRate;
    int64_t produced = 0;
    int64_t halvesPosted = 0;
    const int64_t count = config_.sampleCount / 2; // every half alike
    auto& s = *shared_;

    for (int half = 0;; half ^= 1) {
        // Capped far beyond any real run so a tiny rate cannot overflow the clock.
        const double ns = std::min(static_cast<double>(produced + count) * nsPerSample, 1e18);
        const auto deadline = start + std::chrono::nanoseconds(std::llround(ns));
        {
            std::unique_lock lock(s.mutex);
            if (s.wake.wait_until(lock, deadline, [&] { return s.stopRequested; }))
                break;
            if (s.inUse[half]) {
                lock.unlock();
                postEnd(FaiDelivery::Kind::Failed,
                        "FAI buffer overrun: the program did not take a buffer before the device needed it again");
                break;
            }
            if (halvesPosted == config_.failAfterHalves) {
                lock.unlock();
                postEnd(FaiDelivery::Kind::Failed, "Simulated device fault during buffered acquisition");
                break;
            }
            s.inUse[half] = true;
        }
        // The half is ours until the owner releases it: fill it without the lock.
        if (config_.kind == SampleTable::Kind::Raw)
            config_.table->fill(produced, s.raw[half]);
        else
            config_.table->fill(produced, s.scaled[half]);
        produced += count;
        {
            std::lock_guard lock(s.mutex);
            s.produced = produced;
            s.halvesPosted = ++halvesPosted;
        }
        postHalf(half, static_cast<int32_t>(count), halvesPosted - 1);

        if (!config_.cyclic && half == 1) {
            postEnd(FaiDelivery::Kind::Finished, {});
            break;
        }
    }
    s.workerDone.store(true);
}

void FaiRun::postHalf(int half, int32_t count, int64_t sequence)
{
    pump_.post([shared = shared_, half, count, sequence] {
        // finish() may have handed it over already.
        if (sequence >= shared->halvesDelivered) {
            shared->halvesDelivered = sequence + 1;
            handOverHalf(*shared, half, count);
        }
        std::lock_guard lock(shared->mutex);
        shared->inUse[half] = false;
    });
}

void FaiRun::postEnd(FaiDelivery::Kind kind, std::string message)
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->ended = true;
    }
    pump_.post([shared = shared_, kind, message = std::move(message)] { handOverEnd(*shared, kind, message); });
}

void forwardDelivery(const FaiDelivery& d, ondrel::IKroAIEvents& sink)
{
    switch (d.kind) {
    case FaiDelivery::Kind::FirstHalf:
        sink.FirstBufferChange(d.raw, d.scaled, d.sampleCount);
        break;
    case FaiDelivery::Kind::SecondHalf:
        sink.BufferChange(d.raw, d.scaled, d.sampleCount);
        break;
    case FaiDelivery::Kind::Finished:
        sink.Terminated();
        break;
    case FaiDelivery::Kind::Failed:
        sink.DeviceFailure(d.message);
        break;
    }
}

} // namespace kro
