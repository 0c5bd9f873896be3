#include "kro/devices/stream_halves.h"
#include "kro/devices/event_pump.h"
#include <algorithm>
#include <cmath>

namespace kro {

uint16_t countsOf(double volts, const RawScale& scale)
{
    const double levels = std::ldexp(1.0, std::clamp(scale.bits, 1, 16)) - 1.0;
    const double span = scale.high - scale.low;
    const double fraction = span > 0.0 ? (volts - scale.low) / span : 0.0;
    const double code = std::nearbyint(fraction * levels);
    if (!(code > 0.0)) // below the range, or not a number at all
        return 0;
    return static_cast<uint16_t>(std::min(code, levels));
}

StreamHalves::StreamHalves(EventPump& pump, StreamHalvesConfig config, Handler handler)
    : pump_(pump), config_(std::move(config)), shared_(std::make_shared<Shared>())
{
    shared_->handler = std::move(handler);
    shared_->halfReleased = std::move(config_.halfReleased);
    const auto chans = static_cast<size_t>(std::max(config_.chanCount, 1));
    const auto half = static_cast<size_t>(std::max(config_.sampleCount, 0) / 2);
    halfScans_ = half / chans;
    backlog_ = std::max<size_t>(static_cast<size_t>(std::max<int64_t>(config_.backlogScans, 0)), 2 * halfScans_);
    holdLimit_ = backlog_ + 2 * halfScans_;
    pending_.resize(chans);
    config_.rawScales.resize(chans);
    for (int h = 0; h < 2; ++h) {
        if (config_.raw)
            shared_->raw[h].resize(halfScans_ * chans);
        else
            shared_->scaled[h].resize(halfScans_ * chans);
    }
    if (halfScans_ == 0)
        fail("FAI buffer: " + std::to_string(config_.sampleCount) + " samples hold no whole scan in each half");
}

StreamHalves::~StreamHalves() { stop(); }

void StreamHalves::stop() { shared_->live = false; }

bool StreamHalves::push(int32_t channel, std::span<const float> values)
{
    if (over_)
        return false;
    if (channel < 0 || static_cast<size_t>(channel) >= pending_.size())
        return true; // a channel outside the scan: not ours
    Pending& p = pending_[static_cast<size_t>(channel)];
    // Instruments send a block per channel in turn, of any size: a block is
    // taken whole as long as what the channel then holds fits the two halves
    // and the backlog, both the scans it completes and its lead on the
    // slowest other channel. Nothing beyond that is ever stored.
    const size_t held = p.size() + values.size();
    size_t slowest = held;
    for (size_t c = 0; c < pending_.size(); ++c)
        if (c != static_cast<size_t>(channel))
            slowest = std::min(slowest, pending_[c].size());
    if (values.size() > holdLimit_ || slowest > holdLimit_) {
        fail("FAI buffer overrun: the device delivered more than the buffer and its backlog hold ("
             + std::to_string(held) + " samples of channel " + std::to_string(channel) + ")");
        return false;
    }
    if (held - slowest > holdLimit_) {
        fail("The device delivers channel " + std::to_string(channel)
             + " far ahead of the others: another channel has stopped sending data");
        return false;
    }
    p.data.insert(p.data.end(), values.begin(), values.end());
    interleave();
    scansReceived_ = scansWritten_ + static_cast<int64_t>(readyScans());
    if (!over_ && readyScans() > backlog_)
        fail("FAI buffer overrun: the program did not take a buffer before the device needed it again");
    return !over_;
}

void StreamHalves::resume()
{
    if (!over_)
        interleave();
}

size_t StreamHalves::heldSamples() const
{
    size_t held = 0;
    for (const Pending& p : pending_)
        held += p.size();
    return held;
}

size_t StreamHalves::readyScans() const
{
    size_t ready = pending_[0].size();
    for (const Pending& p : pending_)
        ready = std::min(ready, p.size());
    return ready;
}

void StreamHalves::interleave()
{
    for (;;) {
        const size_t ready = readyScans();
        if (ready == 0 || over_)
            break;
        if (!halfClaimed_ && !claimHalf())
            break; // the program still holds it: the samples wait
        const size_t scans = std::min(ready, halfScans_ - scansInHalf_);
        writeScans(scans);
        if (scansInHalf_ == halfScans_)
            postHalf();
    }
    // Drop what was consumed once it is most of the storage, so no block is
    // moved more than about once.
    for (Pending& p : pending_) {
        if (p.head > 0 && p.head >= p.data.size() / 2) {
            p.data.erase(p.data.begin(), p.data.begin() + static_cast<std::ptrdiff_t>(p.head));
            p.head = 0;
        }
    }
}

bool StreamHalves::claimHalf()
{
    std::lock_guard lock(shared_->mutex);
    if (shared_->inUse[half_])
        return false;
    shared_->inUse[half_] = true;
    halfClaimed_ = true;
    return true;
}

void StreamHalves::writeScans(size_t scans)
{
    writeScansTo(shared_->raw[half_], shared_->scaled[half_], scansInHalf_, scans);
    scansInHalf_ += scans;
    scansWritten_ += static_cast<int64_t>(scans);
}

// Interleaves `scans` waiting scans into `raw` or `scaled` from scan `at` on.
void StreamHalves::writeScansTo(std::span<int16_t> raw, std::span<float> scaled, size_t at, size_t scans)
{
    const size_t chans = pending_.size();
    for (size_t c = 0; c < chans; ++c) {
        Pending& p = pending_[c];
        const float* in = p.data.data() + p.head;
        if (config_.raw) { // unsigned counts in a signed container, as the cards deliver them
            int16_t* out = raw.data() + at * chans + c;
            const RawScale& scale = config_.rawScales[c];
            for (size_t i = 0; i < scans; ++i)
                out[i * chans] = static_cast<int16_t>(countsOf(in[i], scale));
        } else {
            float* out = scaled.data() + at * chans + c;
            for (size_t i = 0; i < scans; ++i)
                out[i * chans] = in[i];
        }
        p.head += scans;
    }
}

void StreamHalves::handOverRest()
{
    auto& s = *shared_;
    s.ending = true;
    const auto count = static_cast<int32_t>(halfScans_ * pending_.size());
    while (s.live && s.halvesDelivered < halvesPosted_) {
        const auto half = static_cast<int>(s.halvesDelivered & 1);
        ++s.halvesDelivered;
        handOverHalf(s, half, count);
    }
    if (!over_)
        for (const Piece& p : waitingPieces())
            handOverSamples(s, p.half, p.raw, p.scaled, p.count);
    s.live = false;
}

// What the half being filled holds, then what waited for a held half, in
// half-sized pieces of whole scans. Copies: a handler on the stack may still
// read either half. At most both halves and the backlog.
std::vector<StreamHalves::Piece> StreamHalves::waitingPieces()
{
    const auto& s = *shared_;
    const size_t chans = pending_.size();
    std::vector<Piece> pieces;
    if (halfScans_ == 0)
        return pieces; // no half holds a whole scan: nothing was ever taken in
    size_t filled = halfClaimed_ ? scansInHalf_ : 0;
    int half = half_;
    for (;;) {
        Piece p;
        p.half = half;
        p.raw.resize(config_.raw ? halfScans_ * chans : 0);
        p.scaled.resize(config_.raw ? 0 : halfScans_ * chans);
        if (filled > 0 && config_.raw)
            std::copy_n(s.raw[half].begin(), filled * chans, p.raw.begin());
        else if (filled > 0)
            std::copy_n(s.scaled[half].begin(), filled * chans, p.scaled.begin());
        const size_t scans = std::min(readyScans(), halfScans_ - filled);
        writeScansTo(p.raw, p.scaled, filled, scans);
        filled += scans;
        if (filled == 0)
            break;
        p.count = static_cast<int32_t>(filled * chans);
        pieces.push_back(std::move(p));
        if (filled < halfScans_ || (!config_.cyclic && half == 1))
            break;
        filled = 0;
        half ^= 1;
    }
    return pieces;
}

void StreamHalves::postHalf()
{
    const int half = half_;
    const auto count = static_cast<int32_t>(halfScans_ * pending_.size());
    pump_.post([shared = shared_, half, count, sequence = halvesPosted_++] {
        // handOverRest may have handed it over already.
        if (sequence >= shared->halvesDelivered) {
            shared->halvesDelivered = sequence + 1;
            handOverHalf(*shared, half, count);
        }
        {
            std::lock_guard lock(shared->mutex);
            shared->inUse[half] = false;
        }
        if (shared->live && shared->halfReleased)
            shared->halfReleased();
    });
    scansInHalf_ = 0;
    halfClaimed_ = false;
    half_ ^= 1;
    if (!config_.cyclic && half == 1)
        finish(FaiDelivery::Kind::Finished, {});
}

void StreamHalves::fail(const std::string& message)
{
    if (over_)
        return;
    over_ = true;
    pump_.post([shared = shared_, rest = waitingPieces(), message] {
        for (const Piece& p : rest)
            handOverSamples(*shared, p.half, p.raw, p.scaled, p.count);
        handOverEnd(*shared, FaiDelivery::Kind::Failed, message);
    });
}

void StreamHalves::endOfStream()
{
    fail("The device stopped sending data during buffered acquisition: it may have been unplugged or switched off");
}

void StreamHalves::finish(FaiDelivery::Kind kind, std::string message)
{
    over_ = true;
    pump_.post([shared = shared_, kind, message = std::move(message)] { handOverEnd(*shared, kind, message); });
}

} // namespace kro
