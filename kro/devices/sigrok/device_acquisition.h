#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

struct _GSource; // NOLINT(bugprone-reserved-identifier): GLib's own name
struct sr_channel;
struct sr_dev_inst;
struct sr_session;
struct sr_datafeed_packet;

namespace kro {

class SigrokHost;
class StreamHalves;

// The newest value each channel of an instrument delivered, for polled reads.
struct LatestValues {
    std::vector<double> analog; // NaN until the channel delivered in this session
    std::vector<int32_t> unit;  // the libsigrok unit of each analog value
    std::vector<uint8_t> logic; // the newest logic sample, one byte per 8 channels
    bool logicSeen = false;
    std::string failure;                            // why the stream ended by itself; empty while it runs
    std::chrono::steady_clock::time_point lastData; // the session's start, then its newest packet
};

// The session of one instrument, on the host's thread: either a buffered run
// (the scanned analog channels and the logic channels) or a continuous one
// started for polled reads (every channel). Both keep the newest value of each
// channel; a buffered run also feeds its samples to a StreamHalves.
class DeviceAcquisition {
public:
    DeviceAcquisition(SigrokHost& host, sr_dev_inst* device, std::vector<sr_channel*> analog,
                      std::vector<sr_channel*> logic);
    ~DeviceAcquisition(); // host thread: stop()

    // Host thread. Throw ComponentError with the reason when libsigrok refuses.
    void startRun(const std::vector<int32_t>& scan, std::shared_ptr<StreamHalves> halves);
    void ensureContinuous();
    // Goes on with a run's samples that waited for a half the program held.
    void resumeRun();
    void stop(); // returns once the session has ended
    // Ends a continuous session; a buffered run goes on.
    void stopContinuous();
    bool running() const { return session_ != nullptr && running_; }
    // Test hook: how long the instrument may send nothing before it counts as
    // gone (0: three sample periods, at least kStallLimit).
    void setStallLimit(std::chrono::milliseconds limit) { fixedStallLimit_ = limit; }
    static constexpr std::chrono::milliseconds kStallLimit{5000};

    // Any thread: waits up to `timeout` until the analog channels `wanted`
    // (or, when `logic`, the logic channels) have delivered in this session;
    // false with `message` set when they did not or the stream ended.
    bool waitLatest(const std::vector<int32_t>& wanted, bool logic, std::chrono::milliseconds timeout,
                    LatestValues& out, std::string& message);

private:
    static void onPacket(const sr_dev_inst* device, const sr_datafeed_packet* packet, void* self);
    static void onStopped(void* self);
    void start(const std::vector<int32_t>& enabledAnalog);
    void takeAnalog(const sr_datafeed_packet& packet);
    void takeLogic(const sr_datafeed_packet& packet);
    void takeEnd();
    void stopLater();
    void cancelStopLater();
    void startWatching();
    void stopWatching();
    void watch();
    int32_t analogIndex(const sr_channel* channel) const;

    SigrokHost& host_;
    sr_dev_inst* device_;
    std::vector<sr_channel*> analog_;
    std::vector<sr_channel*> logic_;
    sr_session* session_ = nullptr;
    bool running_ = false;
    bool stopRequested_ = false;
    std::shared_ptr<StreamHalves> halves_;
    std::vector<int32_t> scanPosition_; // per analog channel: its place in the run's scan, or -1
    std::vector<float> values_;         // reused conversion buffer
    std::vector<float> deinterleaved_;  // reused for packets of several channels
    _GSource* pendingStop_ = nullptr;   // see stopLater
    _GSource* watchdog_ = nullptr;      // see watch
    std::chrono::milliseconds fixedStallLimit_{0};
    std::chrono::milliseconds stallLimit_{kStallLimit};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    LatestValues latest_;
};

} // namespace kro
