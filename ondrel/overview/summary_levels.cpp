#include "ondrel/overview/summary_levels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace ondrel {

namespace {

int64_t BlocksFor(int64_t scans, int64_t blockScans) { return (scans + blockScans - 1) / blockScans; }

float ValueOf(float sample) { return sample; }
// Counts from a card fit a float exactly up to 2^24, far beyond any converter.
float ValueOf(int32_t count) { return static_cast<float>(count); }
uint8_t ValueOf(uint8_t port) { return port; }

// Four floats, held and compared in one vector register where the processor
// has them.
using Lanes = float __attribute__((vector_size(16)));
using IntLanes = int32_t __attribute__((vector_size(16)));
constexpr size_t kLanes = 4;

Lanes LoadLanes(const float* first)
{
    Lanes lanes;
    std::memcpy(&lanes, first, sizeof lanes);
    return lanes;
}

Lanes LoadLanes(const int32_t* first)
{
    IntLanes counts;
    std::memcpy(&counts, first, sizeof counts);
    return __builtin_convertvector(counts, Lanes);
}

// Lowest and highest of Groups x 4 neighbouring channels over `scans` scans,
// `width` values apart. The pairs stay in registers for the whole loop, and
// the scans (one block at most) are still in the processor's cache from the
// read.
template <size_t Groups, typename Sample>
void FoldChannels(const Sample* first, int64_t scans, size_t width, ValueSpan* spans)
{
    std::array<Lanes, Groups> low;
    std::array<Lanes, Groups> high;
    low.fill(Lanes{} + std::numeric_limits<float>::infinity());
    high.fill(Lanes{} - std::numeric_limits<float>::infinity());
    for (int64_t s = 0; s < scans; ++s, first += width)
        for (size_t g = 0; g < Groups; ++g) {
            const Lanes value = LoadLanes(first + g * kLanes);
            low[g] = value < low[g] ? value : low[g]; // NaN leaves both as they are
            high[g] = value > high[g] ? value : high[g];
        }
    for (size_t g = 0; g < Groups; ++g)
        for (size_t i = 0; i < kLanes; ++i)
            spans[g * kLanes + i].Add(ValueSpan{low[g][i], high[g][i]});
}

// One channel alone, for the channels left over after the groups of four.
template <typename Sample>
void FoldChannel(const Sample* first, int64_t scans, size_t width, ValueSpan& span)
{
    for (int64_t s = 0; s < scans; ++s, first += width)
        span.Add(ValueOf(*first));
}

} // namespace

int64_t OverviewSummary::BlockScans(int level)
{
    int64_t scans = kSummaryBlockScans;
    for (int l = 0; l < level; ++l)
        scans *= kSummaryLevelFactor;
    return scans;
}

OverviewSummary::OverviewSummary(const SummaryShape& shape) : shape_(shape)
{
    const int64_t longest = std::max(std::max<int64_t>(shape.aiScans, 0), std::max<int64_t>(shape.diScans, 0));
    while (BlocksFor(longest, BlockScans(levels_ - 1)) > 1)
        ++levels_;
    Size(ai_, shape.aiChannels > 0 ? shape.aiScans : 0, std::max(shape.aiChannels, 0));
    Size(di_, shape.diPorts > 0 ? shape.diScans : 0, std::max(shape.diPorts, 0));
}

template <typename Span>
void OverviewSummary::Size(Kind<Span>& kind, int64_t scans, int32_t width)
{
    kind.scans = std::max<int64_t>(scans, 0);
    kind.width = width;
    kind.levels.resize(static_cast<size_t>(levels_));
    for (int level = 0; level < levels_; ++level)
        kind.levels[static_cast<size_t>(level)].resize(static_cast<size_t>(BlocksFor(kind.scans, BlockScans(level)))
                                                       * static_cast<size_t>(width));
    kind.current.assign(static_cast<size_t>(width), Span{});
}

uint64_t OverviewSummary::Bytes() const
{
    uint64_t bytes = 0;
    for (const std::span<const std::byte>& level : Storage())
        bytes += level.size();
    return bytes;
}

void OverviewSummary::AppendAI(std::span<const float> samples) { Append(ai_, samples); }
void OverviewSummary::AppendAI(std::span<const int32_t> counts) { Append(ai_, counts); }
void OverviewSummary::AppendDI(std::span<const uint8_t> ports) { Append(di_, ports); }

template <typename Span, typename Sample>
void OverviewSummary::Append(Kind<Span>& kind, std::span<const Sample> samples)
{
    if (kind.width <= 0)
        return;
    const auto width = static_cast<size_t>(kind.width);
    const int64_t room = kind.scans - (kind.blocksDone * kSummaryBlockScans + kind.currentScans);
    int64_t scans = std::min(static_cast<int64_t>(samples.size() / width), room);
    const Sample* sample = samples.data();
    while (scans > 0) {
        const int64_t take = std::min(scans, kSummaryBlockScans - kind.currentScans);
        if constexpr (std::is_same_v<Span, ValueSpan>) {
            ValueSpan* current = kind.current.data();
            size_t channel = 0;
            for (; channel + 16 <= width; channel += 16)
                FoldChannels<4>(sample + channel, take, width, current + channel);
            if (channel + 8 <= width) {
                FoldChannels<2>(sample + channel, take, width, current + channel);
                channel += 8;
            }
            if (channel + 4 <= width) {
                FoldChannels<1>(sample + channel, take, width, current + channel);
                channel += 4;
            }
            for (; channel < width; ++channel)
                FoldChannel(sample + channel, take, width, current[channel]);
            sample += static_cast<size_t>(take) * width;
        } else {
            Span* current = kind.current.data();
            for (int64_t s = 0; s < take; ++s, sample += width)
                for (size_t i = 0; i < width; ++i)
                    current[i].Add(ValueOf(sample[i]));
        }
        kind.currentScans += take;
        scans -= take;
        if (kind.currentScans == kSummaryBlockScans)
            CloseBlock(kind);
    }
    kind.done.store(kind.blocksDone * kSummaryBlockScans, std::memory_order_release);
}

// Stores the open block and every block above it that it completes.
template <typename Span>
void OverviewSummary::CloseBlock(Kind<Span>& kind)
{
    const auto width = static_cast<size_t>(kind.width);
    std::copy(kind.current.begin(), kind.current.end(),
              kind.levels[0].begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(kind.blocksDone) * width));
    std::fill(kind.current.begin(), kind.current.end(), Span{});
    kind.currentScans = 0;
    int64_t blocks = ++kind.blocksDone;
    for (size_t level = 1; level < kind.levels.size() && blocks % kSummaryLevelFactor == 0; ++level) {
        blocks /= kSummaryLevelFactor;
        const auto block = static_cast<size_t>(blocks - 1);
        Span* above = &kind.levels[level][block * width];
        const Span* below = &kind.levels[level - 1][block * kSummaryLevelFactor * width];
        std::fill(above, above + width, Span{});
        for (int64_t child = 0; child < kSummaryLevelFactor; ++child, below += width)
            for (size_t i = 0; i < width; ++i)
                above[i].Add(below[i]);
    }
}

void OverviewSummary::Finish()
{
    Finish(ai_);
    Finish(di_);
    finished_.store(true, std::memory_order_release);
}

// The last block of each level may be partial: stored now, from the level
// below. A block already stored whole is left alone, as readers may be
// drawing from it.
template <typename Span>
void OverviewSummary::Finish(Kind<Span>& kind)
{
    const auto width = static_cast<size_t>(kind.width);
    const auto closed = static_cast<size_t>(kind.blocksDone);
    if (kind.currentScans > 0 && width > 0) {
        std::copy(kind.current.begin(), kind.current.end(),
                  kind.levels[0].begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(kind.blocksDone) * width));
        kind.currentScans = 0;
        ++kind.blocksDone;
    }
    for (size_t level = 1; level < kind.levels.size() && width > 0; ++level) {
        const size_t blocks = kind.levels[level].size() / width;
        const size_t childBlocks = kind.levels[level - 1].size() / width;
        if (blocks == 0)
            continue;
        const size_t last = blocks - 1;
        if ((last + 1) * static_cast<size_t>(BlockScans(static_cast<int>(level)) / kSummaryBlockScans) <= closed)
            continue;
        Span* above = &kind.levels[level][last * width];
        std::fill(above, above + width, Span{});
        for (size_t child = last * kSummaryLevelFactor; child < childBlocks; ++child)
            for (size_t i = 0; i < width; ++i)
                above[i].Add(kind.levels[level - 1][child * width + i]);
    }
    kind.done.store(kind.scans, std::memory_order_release);
}

int64_t OverviewSummary::AIDone() const { return ai_.done.load(std::memory_order_acquire); }
int64_t OverviewSummary::DIDone() const { return di_.done.load(std::memory_order_acquire); }

template <typename Span>
Span OverviewSummary::Range(const Kind<Span>& kind, int32_t index, int64_t first, int64_t end, int level) const
{
    Span out;
    if (index < 0 || index >= kind.width)
        return out;
    const bool finished = Finished();
    const int64_t done = finished ? kind.scans : kind.done.load(std::memory_order_acquire);
    first = std::max<int64_t>(first, 0);
    end = std::min(end, done);
    const auto width = static_cast<size_t>(kind.width);
    for (int l = std::clamp(level, 0, levels_ - 1); l >= 0 && first < end; --l) {
        const int64_t blockScans = BlockScans(l);
        // Blocks of this level are whole up to `complete`; finer ones go on from there.
        const int64_t complete = finished ? kind.scans : done / blockScans * blockScans;
        const int64_t stop = std::min(end, complete);
        if (first >= stop)
            continue;
        const std::vector<Span>& blocks = kind.levels[static_cast<size_t>(l)];
        for (int64_t b = first / blockScans; b * blockScans < stop; ++b)
            out.Add(blocks[static_cast<size_t>(b) * width + static_cast<size_t>(index)]);
        first = stop;
    }
    return out;
}

ValueSpan OverviewSummary::AIRange(int32_t channel, int64_t first, int64_t end, int level) const
{
    return Range(ai_, channel, first, end, level);
}

PortSpan OverviewSummary::DIRange(int32_t port, int64_t first, int64_t end, int level) const
{
    return Range(di_, port, first, end, level);
}

ValueSpan OverviewSummary::AIBlock(int level, int64_t block, int32_t channel) const
{
    return ai_.levels.at(static_cast<size_t>(level))
        .at(static_cast<size_t>(block) * static_cast<size_t>(ai_.width) + static_cast<size_t>(channel));
}

PortSpan OverviewSummary::DIBlock(int level, int64_t block, int32_t port) const
{
    return di_.levels.at(static_cast<size_t>(level))
        .at(static_cast<size_t>(block) * static_cast<size_t>(di_.width) + static_cast<size_t>(port));
}

std::vector<std::span<std::byte>> OverviewSummary::Storage()
{
    std::vector<std::span<std::byte>> storage;
    for (std::vector<ValueSpan>& level : ai_.levels)
        storage.push_back(std::as_writable_bytes(std::span(level)));
    for (std::vector<PortSpan>& level : di_.levels)
        storage.push_back(std::as_writable_bytes(std::span(level)));
    return storage;
}

std::vector<std::span<const std::byte>> OverviewSummary::Storage() const
{
    std::vector<std::span<const std::byte>> storage;
    for (const std::vector<ValueSpan>& level : ai_.levels)
        storage.push_back(std::as_bytes(std::span(level)));
    for (const std::vector<PortSpan>& level : di_.levels)
        storage.push_back(std::as_bytes(std::span(level)));
    return storage;
}

void OverviewSummary::MarkLoaded()
{
    ai_.blocksDone = BlocksFor(ai_.scans, kSummaryBlockScans);
    di_.blocksDone = BlocksFor(di_.scans, kSummaryBlockScans);
    ai_.done.store(ai_.scans, std::memory_order_release);
    di_.done.store(di_.scans, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
}

} // namespace ondrel
