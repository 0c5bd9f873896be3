// The simulated waveforms are scaled to the chart the program shows, so that at
// its defaults every channel draws a few cycles across the time axis rather than
// what looks like a flat line.
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_signal.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace kro;

namespace {

// How often a trace of counts rises through mid-scale: one per cycle shown, give
// or take the cycle the trace starts in.
int risingCrossings(const std::vector<double>& codes, int32_t bits)
{
    const double mid = ((1 << bits) - 1) / 2.0;
    int n = 0;
    for (size_t i = 1; i < codes.size(); ++i)
        n += codes[i - 1] < mid && codes[i] >= mid;
    return n;
}

bool isNoise(int32_t channel) { return channel % 5 == 4; }

// Scans of one channel across the cyclic chart of a buffered run: 10 s below
// 25000 Hz, 100000 / rate s at or above.
int64_t chartScans(double rate, int32_t chanCount)
{
    const double seconds = rate < 25000.0 ? 10.0 : 100000.0 / rate;
    return std::llround(seconds * rate / chanCount);
}

} // namespace

TEST(SimSignalTimeBase, BufferedPeriodIsOneChannelsScansAcrossTheCyclicChart)
{
    EXPECT_EQ(SimSignal::bufferedPeriod(1000.0, 4), 2500); // 10 s at 250 scans/s
    EXPECT_EQ(SimSignal::bufferedPeriod(1000.0, 16), 625);
    EXPECT_EQ(SimSignal::bufferedPeriod(24999.0, 1), 249990);
    EXPECT_EQ(SimSignal::bufferedPeriod(25000.0, 1), 100000); // 4 s at 25000 scans/s
    EXPECT_EQ(SimSignal::bufferedPeriod(50000.0, 3), 33333);
    EXPECT_EQ(SimSignal::bufferedPeriod(20e6, 16), 6250);
    EXPECT_EQ(SimSignal::bufferedPeriod(1000.0, 0), 10000); // no channels counts as one
    // Too slow to show cycles at all, or no rate: the shortest period still draws shapes.
    EXPECT_EQ(SimSignal::bufferedPeriod(1.0, 16), SimSignal::kMinPeriod);
    for (const double bad :
         {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(SimSignal::bufferedPeriod(bad, 4), SimSignal::kMinPeriod) << bad;

    EXPECT_EQ(SimSignal::cycles(0), 3);
    EXPECT_EQ(SimSignal::cycles(9), 4);
    EXPECT_EQ(SimSignal::cycles(14), 5);
    EXPECT_EQ(SimSignal::cycles(15), 3);
    EXPECT_EQ(SimSignal::cycles(-1), 3);
}

TEST(SimSignalTimeBase, PolledChartOfTenSecondsAtTheDefaultIntervalShowsAFewCycles)
{
    SimAI ai; // the card the program starts with
    ai.setChanCount(ai.MaxChanCount());
    const int32_t readings = 10'000 / 100; // 10 s across the chart, polled every 100 ms
    std::vector<std::vector<double>> traces(static_cast<size_t>(ai.ChanCount()));
    for (int32_t i = 0; i < readings; ++i) {
        const std::vector<double> scan = ai.ReadScan(false);
        for (size_t ch = 0; ch < traces.size(); ++ch)
            traces[ch].push_back(scan[ch]);
    }
    for (int32_t ch = 0; ch < ai.ChanCount(); ++ch) {
        if (isNoise(ch))
            continue;
        const int n = risingCrossings(traces[static_cast<size_t>(ch)], ai.AIResolution());
        EXPECT_GE(n, 2) << "channel " << ch;
        EXPECT_LE(n, 5) << "channel " << ch;
    }
}

TEST(SimSignalTimeBase, BufferedCyclicChartShowsAFewCyclesAtTheDefaultRateAndAbove)
{
    const SimAI defaults; // the card's default rate and channel count
    struct Run {
        int32_t card;
        double rate;
        int32_t chanCount;
    };
    for (const Run run :
         {Run{card::Differential16, defaults.SampleRate(), defaults.ChanCount()},
          Run{card::Differential16, defaults.SampleRate(), 16}, Run{card::Differential16, 24999.0, 16},
          Run{card::Differential16, 25000.0, 16}, Run{card::Model5342, 100e3, 1}, Run{card::Fast, 20e6, 16}}) {
        const SimAiCard& c = *findAiCard(run.card);
        const std::vector<SimRange> ranges(static_cast<size_t>(c.channels), c.ranges[0]);
        const int64_t period = SimSignal::bufferedPeriod(run.rate, run.chanCount);
        const int64_t scans = chartScans(run.rate, run.chanCount);
        for (int32_t ch = 0; ch < run.chanCount; ++ch) {
            if (isNoise(ch))
                continue;
            std::vector<double> trace;
            for (int64_t s = 0; s < scans; ++s)
                trace.push_back(SimSignal::runSample(c, 0, run.chanCount, ranges, s * run.chanCount + ch, period).code);
            const int n = risingCrossings(trace, c.resolutionBits);
            EXPECT_GE(n, 2) << c.name << " at " << run.rate << " Hz, channel " << ch;
            EXPECT_LE(n, 5) << c.name << " at " << run.rate << " Hz, channel " << ch;
        }
    }
    EXPECT_EQ(defaults.SampleRate(), 1000.0); // 2500 scans of 4 channels across 10 s
    EXPECT_EQ(defaults.ChanCount(), 4);
}
