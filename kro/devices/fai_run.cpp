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
    worker_ = std::thread([this] { work(); });
}

FaiRun::~FaiRun() { stop(); }

void FaiRun::stop()
{
    shared_->live = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopRequested = true;
    }
    shared_->wake.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void FaiRun::work()
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const double nsPerSample = 1e9 / config_.sampleRate;
    int64_t produced = 0;
    int32_t halvesPosted = 0;
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
        postHalf(half, static_cast<int32_t>(count));
        ++halvesPosted;

        if (!config_.cyclic && half == 1) {
            postEnd(FaiDelivery::Kind::Finished, {});
            break;
        }
    }
    s.workerDone.store(true);
}

void FaiRun::postHalf(int half, int32_t count)
{
    pump_.post([shared = shared_, half, count] {
        handOverHalf(*shared, half, count);
        std::lock_guard lock(shared->mutex);
        shared->inUse[half] = false;
    });
}

void FaiRun::postEnd(FaiDelivery::Kind kind, std::string message)
{
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
