#pragma once
#include "kro/devices/sim_catalogue.h"
#include <cstdint>
#include <span>

namespace kro {

// One simulated sample, quantised to the card's resolution.
struct SimSample {
    uint16_t code = 0;    // ADC count, 0 .. 2^bits - 1
    int16_t raw = 0;      // the count as the raw buffer carries it (bit pattern of `code`)
    double value = 0.0;   // the count scaled back into the range (volts or mA)
};

// The simulated signals. Every value is a pure function of its arguments, so a
// test can compute the exact bytes a run delivers or records.
namespace SimSignal {

// Every channel's waveform repeats after kPeriod scans (its own period divides it).
inline constexpr int64_t kPeriod = 4096;

// Channel c draws waveform c % 5 (sine, square, triangle, ramp, seeded noise) with
// period kPeriod >> ((c / 5) % 4) scans, spanning the middle 80 % of `range`.
// `scan` is the channel's sample index (scan number); negative values are taken as 0.
SimSample sample(const SimAiCard& card, int32_t channel, const SimRange& range, int64_t scan);

// Sample k of a buffered run or of consecutive scans: channel (chanStart + k % chanCount)
// modulo the card's channel count, scan k / chanCount, in that channel's range.
SimSample runSample(const SimAiCard& card, int32_t chanStart, int32_t chanCount,
                    std::span<const SimRange> channelRanges, int64_t k);

// Thermocouple temperature in Celsius of `channel` at its `read`-th reading: a
// slow swing of 3 degrees around a per-channel level.
double celsius(const SimAiCard& card, int32_t channel, int32_t expChan, int64_t read);

// Converts Celsius to scale 0 Celsius, 1 Fahrenheit, 2 Rankine, 3 Kelvin.
double toScale(double celsius, int32_t scale);

// The byte of digital port `port` at the `read`-th reading: three set bits
// walking up one position per reading, each port a step ahead of the previous.
uint8_t diPort(int32_t port, int64_t read);

} // namespace SimSignal
} // namespace kro
