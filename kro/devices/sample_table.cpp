#include "kro/devices/sample_table.h"
#include "kro/devices/sim_signal.h"
#include <algorithm>
#include <cstring>

namespace kro {
namespace {

template <typename T>
void copyCycle(const std::vector<T>& cycle, int64_t firstSample, std::span<T> out)
{
    if (cycle.empty())
        return;
    const auto length = static_cast<int64_t>(cycle.size());
    auto pos = static_cast<size_t>(firstSample % length);
    size_t done = 0;
    while (done < out.size()) {
        const size_t n = std::min(out.size() - done, cycle.size() - pos);
        std::memcpy(out.data() + done, cycle.data() + pos, n * sizeof(T));
        done += n;
        pos = 0;
    }
}

} // namespace

SampleTable::SampleTable(const SimAiCard& card, int32_t chanStart, int32_t chanCount,
                         std::span<const SimRange> channelRanges, Kind kind, int64_t period)
{
    const int64_t length = static_cast<int64_t>(chanCount) * std::clamp<int64_t>(period, 1, SimSignal::kMaxPeriod);
    if (kind == Kind::Raw)
        raw_.resize(static_cast<size_t>(length));
    else
        scaled_.resize(static_cast<size_t>(length));
    for (int64_t k = 0; k < length; ++k) {
        const SimSample s = SimSignal::runSample(card, chanStart, chanCount, channelRanges, k, period);
        if (kind == Kind::Raw)
            raw_[static_cast<size_t>(k)] = s.raw;
        else
            scaled_[static_cast<size_t>(k)] = static_cast<float>(s.value);
    }
}

void SampleTable::fill(int64_t firstSample, std::span<int16_t> out) const { copyCycle(raw_, firstSample, out); }

void SampleTable::fill(int64_t firstSample, std::span<float> out) const { copyCycle(scaled_, firstSample, out); }

} // namespace kro
