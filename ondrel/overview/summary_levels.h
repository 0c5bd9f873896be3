#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace ondrel {

// Scans in one block of the finest level, and blocks of one level in one block
// of the next. At 8 bytes per channel and block the levels together take
// 8 / (128 x 4) x 8 / 7, under 1.8 % of the AI data they sum up.
inline constexpr int64_t kSummaryBlockScans = 128;
inline constexpr int64_t kSummaryLevelFactor = 8;

// The lowest and highest value of an AI channel over some scans. A gap (NaN)
// is no value; with no value at all min > max.
struct ValueSpan {
    float min = std::numeric_limits<float>::infinity();
    float max = -std::numeric_limits<float>::infinity();

    bool Empty() const { return !(min <= max); }
    // The comparisons are false for NaN, so a gap leaves the span as it was.
    void Add(float value)
    {
        min = value < min ? value : min;
        max = value > max ? value : max;
    }
    void Add(const ValueSpan& other)
    {
        min = other.min < min ? other.min : min;
        max = other.max > max ? other.max : max;
    }
};

// A DI port over some scans: the lines high in every scan and the lines high
// in some scan. With no scan at all every line is "always high" and none
// "ever high", which nothing else can give.
struct PortSpan {
    uint8_t always = 0xFF;
    uint8_t ever = 0x00;

    bool Empty() const { return (always & ~ever) != 0; }
    void Add(uint8_t port)
    {
        always &= port;
        ever |= port;
    }
    void Add(const PortSpan& other)
    {
        always &= other.always;
        ever |= other.ever;
    }
};

// What a summary is made for: the whole scans of each data file.
struct SummaryShape {
    int64_t aiScans = 0;
    int32_t aiChannels = 0;
    int64_t diScans = 0;
    int32_t diPorts = 0;
    bool operator==(const SummaryShape&) const = default;
};

// A recording summed up in levels: level 0 holds each AI channel's span and
// each DI port's span per block of kSummaryBlockScans scans, each level above
// the same per block of kSummaryLevelFactor blocks of the level below, up to
// the level of one block. Filled in scan order by one thread while any other
// reads what is complete so far.
class OverviewSummary {
public:
    // Sizes every level for `shape` (which comes from the data files' sizes,
    // so the levels stay a small part of what is on disk).
    explicit OverviewSummary(const SummaryShape& shape);
    OverviewSummary(const OverviewSummary&) = delete;
    OverviewSummary& operator=(const OverviewSummary&) = delete;

    const SummaryShape& Shape() const { return shape_; }
    int Levels() const { return levels_; }
    static int64_t BlockScans(int level);
    // The bytes the levels take.
    uint64_t Bytes() const;

    // Filling, from one thread, in scan order: whole scans of AI samples
    // (scan-major, aiChannels per scan), as values or as counts, and of DI
    // port bytes. What does not fit the shape is ignored.
    void AppendAI(std::span<const float> samples);
    void AppendAI(std::span<const int32_t> counts);
    void AppendDI(std::span<const uint8_t> ports);
    // Closes the last, partial blocks of every level: the summary is complete.
    void Finish();

    // Reading, from any thread. Scans summed up so far (all once finished).
    int64_t AIDone() const;
    int64_t DIDone() const;
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

    // The span of `channel` (or `port`) over the blocks of `level` that meet
    // scans [first, end); where `level` is not complete yet, finer levels
    // carry on up to what is summed up so far.
    ValueSpan AIRange(int32_t channel, int64_t first, int64_t end, int level) const;
    PortSpan DIRange(int32_t port, int64_t first, int64_t end, int level) const;
    // One block of one level, as stored.
    ValueSpan AIBlock(int level, int64_t block, int32_t channel) const;
    PortSpan DIBlock(int level, int64_t block, int32_t port) const;

    // The stored levels as bytes, finest first, AI then DI: what a cache keeps.
    std::vector<std::span<std::byte>> Storage();
    std::vector<std::span<const std::byte>> Storage() const;
    // Marks levels read back from storage as complete.
    void MarkLoaded();

private:
    template <typename Span>
    struct Kind {
        int64_t scans = 0;
        int32_t width = 0;                     // channels or ports per scan
        std::vector<std::vector<Span>> levels; // [level][block x width + i]
        std::vector<Span> current;             // the open level-0 block
        int64_t currentScans = 0;
        int64_t blocksDone = 0; // whole level-0 blocks
        std::atomic<int64_t> done{0};
    };
    template <typename Span>
    void Size(Kind<Span>& kind, int64_t scans, int32_t width);
    template <typename Span, typename Sample>
    void Append(Kind<Span>& kind, std::span<const Sample> samples);
    template <typename Span>
    void CloseBlock(Kind<Span>& kind);
    template <typename Span>
    void Finish(Kind<Span>& kind);
    template <typename Span>
    Span Range(const Kind<Span>& kind, int32_t index, int64_t first, int64_t end, int level) const;

    SummaryShape shape_;
    int levels_ = 1;
    Kind<ValueSpan> ai_;
    Kind<PortSpan> di_;
    std::atomic<bool> finished_{false};
};

} // namespace ondrel
