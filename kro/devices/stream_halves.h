#pragma once
#include "kro/devices/fai_run.h"
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace kro {

class EventPump;

// How a raw run turns one channel's volts into counts: `bits` over low .. high.
struct RawScale {
    double low = -10.0;
    double high = 10.0;
    int32_t bits = 16;
};

// The unsigned count of `volts` in `scale`, clamped to its ends.
uint16_t countsOf(double volts, const RawScale& scale);

struct StreamHalvesConfig {
    int32_t chanCount = 1;
    // Whole buffer: a multiple of 2 x chanCount, so each half is whole scans.
    int32_t sampleCount = 0;
    bool cyclic = false;
    bool raw = false;                // counts instead of volts
    std::vector<RawScale> rawScales; // per channel, raw runs only
    // Scans that may wait for a half the program still holds. Instruments
    // deliver in bursts (the demo driver every 100 ms), so a burst larger than
    // the buffer is no overrun as long as the program catches up.
    int64_t backlogScans = 0;
    // Called on the owner's thread each time the program hands a half back,
    // so the reading thread can go on with what waits (see resume).
    std::function<void()> halfReleased;
};

// Cuts the per-channel sample blocks a streaming instrument delivers into the
// interleaved half buffers of a buffered run, as a card with a two-half buffer
// would hand them over: each full half is posted to the owner's thread through
// the pump. Samples wait while the half they go into is still held by the
// program; more waiting than the backlog allows is an overrun that ends the run
// with a failure, never a silent overwrite or an unbounded queue. Blocks may
// be of any size: memory is bounded by the halves and the backlog, and a
// channel that falls further behind the others than that has stopped sending.
//
// push, resume, fail and endOfStream are called from the one thread that reads
// the stream; stop from the owner's thread.
class StreamHalves {
public:
    using Handler = std::function<void(const FaiDelivery&)>;

    StreamHalves(EventPump& pump, StreamHalvesConfig config, Handler handler);
    ~StreamHalves();
    StreamHalves(const StreamHalves&) = delete;
    StreamHalves& operator=(const StreamHalves&) = delete;

    // The next values of scan channel `channel`. False once the run is over
    // (both halves of a single run delivered, or failed): the stream can stop.
    bool push(int32_t channel, std::span<const float> values);
    // Goes on with samples that waited for a half the program has handed back.
    void resume();
    // Ends the run with a device failure, unless it is already over. What the
    // device sent before is sound and is kept: every whole scan that waits (the
    // half being filled, what waited for a held half) goes out, after the
    // halves already posted, before the failure.
    void fail(const std::string& message);
    // The instrument ended its stream. Before a single run is complete, or at
    // any time in a cyclic run, that is a failure (keeping what came before);
    // once over it changes nothing, so a repeated end is harmless.
    void endOfStream();
    bool over() const { return over_; }
    // Whole scans taken from the stream so far. Any thread.
    int64_t scansReceived() const { return scansReceived_.load(); }
    // Samples waiting to be interleaved, over all channels: never more than
    // twice both halves and the backlog per channel.
    size_t heldSamples() const;

    // Owner thread: nothing more reaches the handler, queued halves included.
    void stop();
    // Owner thread, once the stream has ended (nothing calls push or resume
    // any more): hands over, before returning and through the same handler,
    // the halves still queued and then every whole scan that waits (the half
    // being filled, and what waited for a held half) as a last, shorter half.
    // A run that is over adds nothing. Nothing follows; may be called from a
    // handler.
    void handOverRest();

private:
    struct Shared {
        std::mutex mutex;
        bool inUse[2] = {false, false}; // posted and not yet handled by the owner
        std::vector<int16_t> raw[2];
        std::vector<float> scaled[2];
        std::atomic<bool> live{true};       // false once stopped; written by the owner
        int64_t halvesDelivered = 0;        // owner thread only: handed over (or skipped)
        bool ending = false;                // owner thread only: inside handOverRest
        Handler handler;                    // owner thread only
        std::function<void()> halfReleased; // owner thread only
    };
    // Whole scans handed over as a shorter half at the end of a run.
    struct Piece {
        int half = 0;
        std::vector<int16_t> raw;
        std::vector<float> scaled;
        int32_t count = 0;
    };
    // One channel's values not yet interleaved: `data` from `head` on.
    struct Pending {
        std::vector<float> data;
        size_t head = 0;
        size_t size() const { return data.size() - head; }
    };

    size_t readyScans() const;
    void interleave();
    bool claimHalf();
    void writeScans(size_t scans);
    void writeScansTo(std::span<int16_t> raw, std::span<float> scaled, size_t at, size_t scans);
    std::vector<Piece> waitingPieces();
    void postHalf();
    void finish(FaiDelivery::Kind kind, std::string message);

    EventPump& pump_;
    StreamHalvesConfig config_;
    std::shared_ptr<Shared> shared_;
    std::vector<Pending> pending_;
    size_t halfScans_ = 0;
    size_t backlog_ = 0;
    size_t holdLimit_ = 0; // scans one channel may hold: both halves and the backlog
    int half_ = 0;
    size_t scansInHalf_ = 0;
    bool halfClaimed_ = false;
    bool over_ = false;
    int64_t halvesPosted_ = 0;
    int64_t scansWritten_ = 0; // into halves
    std::atomic<int64_t> scansReceived_{0};
};

} // namespace kro
