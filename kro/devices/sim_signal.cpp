#include "kro/devices/sim_signal.h"
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kro::SimSignal {
namespace {

// SplitMix64: a well-mixed, seedable hash for the noise channels.
uint64_t mix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Waveform of `channel` in -1 .. 1 at fraction `x` (0 <= x < 1) of its cycle;
// the noise draws from `seed` instead.
double waveform(int32_t channel, double x, uint64_t seed)
{
    switch (channel % 5) {
    case 0:
        return std::sin(2.0 * std::numbers::pi * x);
    case 1:
        return x < 0.5 ? 1.0 : -1.0;
    case 2:
        return x < 0.5 ? 4.0 * x - 1.0 : 3.0 - 4.0 * x;
    case 3:
        return 2.0 * x - 1.0;
    default:
        return static_cast<double>(mix(seed) >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }
}

} // namespace

int64_t bufferedPeriod(double sampleRate, int32_t chanCount)
{
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate))
        return kMinPeriod;
    const double channels = static_cast<double>(std::max(chanCount, 1));
    // Scans of one channel across the cyclic chart: rate * 10 s, or rate * 100000 / rate s.
    const double scans = sampleRate < 25000.0 ? sampleRate * 10.0 / channels : 100000.0 / channels;
    return std::clamp<int64_t>(std::llround(scans), kMinPeriod, kMaxPeriod);
}

int32_t cycles(int32_t channel) { return 3 + (std::max(channel, 0) / 5) % 3; }

SimSample sample(const SimAiCard& card, int32_t channel, const SimRange& range, int64_t scan, int64_t period)
{
    const int64_t p = std::clamp<int64_t>(period, 1, kMaxPeriod);
    const int64_t inPeriod = std::max<int64_t>(scan, 0) % p;
    // Exact in integers (p * 5 cannot overflow), so the stream repeats after p scans.
    const int64_t phase = inPeriod * cycles(channel) % p;
    const double x = static_cast<double>(phase) / static_cast<double>(p);
    const uint64_t seed = (static_cast<uint64_t>(static_cast<uint32_t>(card.number)) << 40)
                          ^ (static_cast<uint64_t>(static_cast<uint32_t>(channel)) << 20)
                          ^ static_cast<uint64_t>(inPeriod);
    const double mid = (range.low + range.high) / 2.0;
    const double halfSpan = (range.high - range.low) / 2.0;
    const double v = mid + 0.8 * halfSpan * waveform(channel, x, seed);

    const double levels = static_cast<double>((1 << card.resolutionBits) - 1);
    const double span = range.high - range.low;
    const double fraction = span > 0.0 ? (v - range.low) / span : 0.0;
    const auto code = static_cast<uint16_t>(std::clamp(std::nearbyint(fraction * levels), 0.0, levels));

    SimSample s;
    s.code = code;
    s.raw = static_cast<int16_t>(code);
    s.value = range.low + static_cast<double>(code) * span / levels;
    return s;
}

SimSample runSample(const SimAiCard& card, int32_t chanStart, int32_t chanCount,
                    std::span<const SimRange> channelRanges, int64_t k, int64_t period)
{
    const int32_t channel = static_cast<int32_t>((chanStart + k % chanCount) % card.channels);
    return sample(card, channel, channelRanges[static_cast<size_t>(channel)], k / chanCount, period);
}

double celsius(const SimAiCard& card, int32_t channel, int32_t expChan, int64_t read)
{
    const double level = 22.0 + 1.5 * (channel % 8) + 0.25 * expChan + 0.1 * card.number;
    return level + 3.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(read % 900) / 900.0);
}

double toScale(double c, ondrel::TemperatureScale scale)
{
    switch (scale) {
    case ondrel::TemperatureScale::Fahrenheit:
        return c * 1.8 + 32.0;
    case ondrel::TemperatureScale::Rankine:
        return (c + 273.15) * 1.8;
    case ondrel::TemperatureScale::Kelvin:
        return c + 273.15;
    case ondrel::TemperatureScale::Celsius:
        break;
    }
    return c;
}

uint8_t diPort(int32_t port, int64_t read)
{
    const auto shift = static_cast<unsigned>((read + port) % 8);
    const unsigned pattern = 0x07u << shift;
    return static_cast<uint8_t>(pattern | (pattern >> 8));
}

} // namespace kro::SimSignal
