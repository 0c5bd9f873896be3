#pragma once
#include "kro/devices/sim_catalogue.h"
#include "ondrel/components/device_codes.h"
#include <cstdint>
#include <span>

namespace kro {

// One simulated sample, quantised to the card's resolution.
struct SimSample {
    uint16_t code = 0;  // ADC count, 0 .. 2^bits - 1
    int16_t raw = 0;    // the count as the raw buffer carries it (bit pattern of `code`)
    double value = 0.0; // the count scaled back into the range (volts or mA)
};

// The simulated signals. Every value is a pure function of its arguments, so a
// test can compute the exact bytes a run delivers or records.
//
// Time base: a card knows no clock time, only its scans. Every channel's
// waveform repeats after `period` scans, the period of the run, in which the
// channel completes cycles(channel) whole cycles (3 to 5). The period is chosen
// so that the chart the program shows at its defaults spans about one period:
//  - polled reads (ReadScan): kPolledPeriod = 100 readings, ten seconds at the
//    program's default 100 ms polling interval;
//  - buffered runs (StartFAI): bufferedPeriod(SampleRate, ChanCount), the scans
//    one channel takes across the cyclic chart's time axis.
namespace SimSignal {

// Period of polled reads, in readings (scans read by ReadScan).
inline constexpr int64_t kPolledPeriod = 100;
// Bounds of bufferedPeriod(); sample() clamps any period into 1 .. kMaxPeriod.
inline constexpr int64_t kMinPeriod = 30;
inline constexpr int64_t kMaxPeriod = int64_t{1} << 40;

// Period of a buffered run at aggregate `sampleRate` Hz over `chanCount`
// channels: the scans one channel takes across the time axis of the program's
// cyclic chart, which spans 10 s below 25000 Hz and 100000 / sampleRate s at or
// above. That is llround(10 * sampleRate / chanCount) below 25000 Hz and
// llround(100000.0 / chanCount) at or above, clamped to kMinPeriod .. kMaxPeriod.
// A chanCount below 1 counts as 1; a rate that is not a positive number gives
// kMinPeriod. Example: the card's default 1000 Hz over 4 channels gives 2500.
int64_t bufferedPeriod(double sampleRate, int32_t chanCount);

// Whole cycles channel `channel` completes in one period: 3 + (channel / 5) % 3,
// so channels 0-4 make 3, channels 5-9 make 4, channels 10-14 make 5 and
// channel 15 makes 3 again. A negative channel counts as channel 0.
int32_t cycles(int32_t channel);

// Channel c draws waveform c % 5 (sine, square, triangle, ramp, seeded noise),
// spanning the middle 80 % of `range`, at phase ((scan % P) * cycles(c) % P) / P
// of its cycle, P being `period` clamped to 1 .. kMaxPeriod; the noise is seeded
// by the card number, the channel and scan % P. `scan` is the channel's sample
// index (scan number); negative values are taken as 0. So every channel repeats
// after P scans exactly.
SimSample sample(const SimAiCard& card, int32_t channel, const SimRange& range, int64_t scan,
                 int64_t period = kPolledPeriod);

// Sample k of a buffered run or of consecutive scans: channel (chanStart + k % chanCount)
// modulo the card's channel count, scan k / chanCount, in that channel's range,
// with the run's `period` (kPolledPeriod for ReadScan, bufferedPeriod() for StartFAI).
SimSample runSample(const SimAiCard& card, int32_t chanStart, int32_t chanCount,
                    std::span<const SimRange> channelRanges, int64_t k, int64_t period = kPolledPeriod);

// Thermocouple temperature in Celsius of `channel` at its `read`-th reading: a
// slow swing of 3 degrees around a per-channel level.
double celsius(const SimAiCard& card, int32_t channel, int32_t expChan, int64_t read);

// Converts Celsius to scale 0 Celsius, 1 Fahrenheit, 2 Rankine, 3 Kelvin.
double toScale(double celsius, ondrel::TemperatureScale scale);

// The byte of digital port `port` at the `read`-th reading: three set bits
// walking up one position per reading, each port a step ahead of the previous.
uint8_t diPort(int32_t port, int64_t read);

} // namespace SimSignal
} // namespace kro
