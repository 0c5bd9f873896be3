#pragma once
#include "kro/devices/sim_catalogue.h"
#include <cstdint>
#include <span>
#include <vector>

namespace kro {

// The interleaved sample stream of a buffered run (SimSignal::runSample with the
// run's period) repeats after chanCount * period samples. Precomputing one cycle
// of it (in the run's element type only) turns filling a half-buffer into a few
// memcpy calls.
class SampleTable {
public:
    enum class Kind { Raw, Scaled };

    SampleTable(const SimAiCard& card, int32_t chanStart, int32_t chanCount, std::span<const SimRange> channelRanges,
                Kind kind, int64_t period);

    // Writes run samples firstSample .. firstSample + out.size() - 1.
    void fill(int64_t firstSample, std::span<int16_t> out) const;
    void fill(int64_t firstSample, std::span<float> out) const;

private:
    std::vector<int16_t> raw_;
    std::vector<float> scaled_;
};

} // namespace kro
