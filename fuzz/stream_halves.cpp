// The instrument half-buffer cutter, fed blocks of any size on any channel in
// any order, with the program taking halves back, the reader resuming and
// the stream ending at any point. Whatever comes: the halves alternate, hold
// whole scans (all of a half's but the last before a failure, which keeps what
// came) and every channel's samples in the order sent; one end at most,
// and nothing after it; a single run delivers two halves at most; what waits
// stays within both halves and the backlog; a lone channel is never taken
// for one that stopped.
#include "kro/devices/event_pump.h"
#include "kro/devices/stream_halves.h"
#include "require.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using fuzz::require;

namespace {

// Samples count up from 0 and wrap here, where floats still hold every integer.
constexpr size_t kValues = size_t{1} << 20;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return size_ == 0; }
    uint8_t byte()
    {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }
    uint16_t word()
    {
        const uint8_t low = byte();
        return static_cast<uint16_t>(low | byte() << 8);
    }
    // Up to four times a word: blocks and backlogs beyond the old 65,536-scan lead.
    size_t length()
    {
        const uint16_t w = word();
        return static_cast<size_t>(w) << (byte() % 3);
    }

private:
    const uint8_t* data_;
    size_t size_;
};

struct Delivered {
    kro::FaiDelivery::Kind kind;
    std::vector<float> scaled;
    size_t rawSize = 0;
    int32_t count = 0;
    std::string message;
};

void check(const std::vector<Delivered>& got, const kro::StreamHalvesConfig& config, size_t halfScans)
{
    using K = kro::FaiDelivery::Kind;
    const auto chans = static_cast<size_t>(config.chanCount);
    size_t halves = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        const Delivered& d = got[i];
        if (d.kind == K::Finished || d.kind == K::Failed) {
            require(i + 1 == got.size(), "nothing comes after the end");
            require(d.kind == K::Failed || (!config.cyclic && halves == 2), "only a whole single run finishes");
            require(d.kind == K::Finished || !d.message.empty(), "a failure says why");
            require(chans > 1 || d.message.find("another channel has stopped") == std::string::npos,
                    "a lone channel is never taken for one that stopped");
            continue;
        }
        require(d.kind == (halves % 2 == 0 ? K::FirstHalf : K::SecondHalf), "the halves alternate");
        require(config.cyclic || halves < 2, "a single run delivers two halves at most");
        const bool lastBeforeFailure = i + 2 == got.size() && got.back().kind == K::Failed;
        const auto scans = static_cast<size_t>(d.count) / chans;
        require(d.count > 0 && static_cast<size_t>(d.count) % chans == 0 && scans <= halfScans,
                "a half holds whole scans");
        require(scans == halfScans || lastBeforeFailure, "only the last half before a failure is shorter");
        require((config.raw ? d.rawSize : d.scaled.size()) == static_cast<size_t>(d.count), "the half is all there");
        if (!config.raw)
            for (size_t s = 0; s < scans; ++s)
                for (size_t c = 0; c < chans; ++c)
                    require(d.scaled[s * chans + c] == static_cast<float>((halves * halfScans + s) % kValues),
                            "every channel's samples come in the order sent");
        ++halves;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv); // the pump delivers through its event loop
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    kro::StreamHalvesConfig config;
    config.chanCount = 1 + in.byte() % 4;
    config.sampleCount = in.word() % 512; // whole scans in each half or not
    const uint8_t flags = in.byte();
    config.cyclic = (flags & 1) != 0;
    config.raw = (flags & 2) != 0;
    config.backlogScans = static_cast<int64_t>(in.length());
    const auto chans = static_cast<size_t>(config.chanCount);
    const size_t halfScans = static_cast<size_t>(config.sampleCount / 2) / chans;
    const size_t holdLimit = std::max(static_cast<size_t>(config.backlogScans), 2 * halfScans) + 2 * halfScans;

    std::vector<Delivered> got;
    kro::EventPump pump;
    kro::StreamHalves run(pump, config, [&](const kro::FaiDelivery& d) {
        got.push_back({d.kind, {d.scaled.begin(), d.scaled.end()}, d.raw.size(), d.sampleCount, d.message});
    });

    // Each channel sends 0, 1, 2, ...; a channel beyond the scan is not ours.
    std::vector<size_t> sent(chans + 1, 0);
    std::vector<float> block;
    while (!in.done()) {
        switch (in.byte() % 6) {
        case 0:
        case 1: {
            const size_t channel = in.byte() % (chans + 1);
            block.resize(in.length());
            for (size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<float>((sent[channel] + i) % kValues);
            sent[channel] += block.size();
            const bool going = run.push(static_cast<int32_t>(channel), block);
            require(going == !run.over(), "a push says whether the run goes on");
            break;
        }
        case 2:
            QCoreApplication::processEvents(); // the program takes what was handed over
            break;
        case 3:
            run.resume();
            break;
        case 4:
            run.endOfStream();
            require(run.over(), "an end of stream ends the run");
            break;
        default:
            if (in.byte() % 8 == 0)
                run.fail("the instrument reported a fault");
            break;
        }
        require(run.heldSamples() <= chans * 2 * holdLimit, "what waits stays within both halves and the backlog");
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    check(got, config, halfScans);
    return 0;
}
