// Every buffer a run delivers is whole scans: whatever the channel count and the
// count the program asks for, each half starts at a scan boundary and carries
// exactly the signal of its channels and scans.
#include "buffered_support.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_signal.h"
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

using namespace kro;
using namespace kro::testing;

namespace {

constexpr int32_t kChanStart = 5; // with 12 or more channels the scan wraps past channel 15

struct Case {
    int32_t chanCount;
    int32_t requested;
    bool cyclic;
};

class WholeScans : public ::testing::TestWithParam<std::tuple<int32_t, int32_t, bool>> {
protected:
    SimAI ai{card::Fast}; // 16 channels, fast enough to keep every run short
    Recorder rec;
    Case c{};

    void SetUp() override
    {
        c = {std::get<0>(GetParam()), std::get<1>(GetParam()), std::get<2>(GetParam())};
        ai.setEvents(&rec);
        ai.setChanStart(kChanStart);
        ai.setChanCount(c.chanCount);
        double low = -5, high = 5;
        ai.SetChannelRange(7, low, high);
        ai.setDataReturnType(c.requested % 2 == 0
                                 ? ondrel::SampleData::Scaled
                                 : ondrel::SampleData::RawCounts); // both element types across the counts
    }

    // The smallest buffer of at least the requested samples whose halves are whole scans.
    int32_t expectedCount() const
    {
        int32_t n = c.requested;
        while (n % (2 * c.chanCount) != 0)
            ++n;
        return n;
    }

    // Starts a run and returns the count the card reported back.
    int32_t start(double rate)
    {
        rec.events.clear();
        ai.setSampleRate(rate);
        int32_t count = c.requested;
        bool cyclic = c.cyclic;
        ai.StartFAI(count, cyclic);
        return count;
    }

    size_t halvesReceived() const
    {
        size_t n = 0;
        while (n < rec.events.size() && (rec.events[n].kind == Event::First || rec.events[n].kind == Event::Second))
            ++n;
        return n;
    }

    // The first delivered sample that is not the signal of its channel and scan; empty if none.
    // After StopFAI the last delivery may be shorter than a half, but whole scans.
    std::string firstWrongSample(int32_t bufferCount, size_t halves, bool stopped = false)
    {
        const std::vector<SimRange> ranges = rangesOf(ai);
        const int64_t period = SimSignal::bufferedPeriod(ai.SampleRate(), c.chanCount);
        const int32_t half = bufferCount / 2;
        const bool raw = ai.DataReturnType() == ondrel::SampleData::RawCounts;
        int64_t scan = 0;
        for (size_t h = 0; h < halves; ++h) {
            const Event& e = rec.events[h];
            std::ostringstream where;
            where << "half " << h;
            if (e.kind != (h % 2 == 0 ? Event::First : Event::Second))
                return where.str() + ": delivered out of turn";
            const bool last = stopped && h + 1 == halves;
            const bool sizeRight =
                last ? e.count > 0 && e.count <= half && e.count % c.chanCount == 0 : e.count == half;
            if (!sizeRight || (raw ? e.raw.size() : e.scaled.size()) != static_cast<size_t>(e.count))
                return where.str() + ": carries " + std::to_string(e.count) + " samples";
            for (int32_t s = 0; s < e.count / c.chanCount; ++s, ++scan) {
                for (int32_t ch = 0; ch < c.chanCount; ++ch) {
                    const int32_t channel = (kChanStart + ch) % 16;
                    const SimSample want =
                        SimSignal::sample(*ai.card(), channel, ranges[static_cast<size_t>(channel)], scan, period);
                    const auto at = static_cast<size_t>(s * c.chanCount + ch);
                    const bool right = raw ? e.raw[at] == want.raw : e.scaled[at] == static_cast<float>(want.value);
                    if (!right)
                        return where.str() + ", sample " + std::to_string(at) + ": not channel "
                               + std::to_string(channel) + " of scan " + std::to_string(scan);
                }
            }
        }
        return {};
    }
};

} // namespace

TEST_P(WholeScans, EveryHalfIsWholeScansOfTheExactSignal)
{
    const int32_t want = expectedCount();
    ASSERT_EQ(want / 2 % c.chanCount, 0);

    if (!c.cyclic) {
        // Each half is used once, so even the card's top rate cannot overrun.
        EXPECT_EQ(start(20e6), want);
        ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 3; }));
        drainEvents();
        ASSERT_EQ(rec.events.size(), 3u);
        ASSERT_EQ(halvesReceived(), 2u);
        EXPECT_EQ(rec.events[2].kind, Event::Terminated);
        EXPECT_EQ(firstWrongSample(want, 2), "");
        return;
    }

    // Three buffers. Millisecond halves keep the case quick; a machine too busy
    // to take them in time gets an overrun, and the run is repeated at a gentler pace.
    constexpr size_t kHalves = 6;
    for (const double rate : {1e6, 2e5, 4e4}) {
        EXPECT_EQ(start(rate), want);
        ASSERT_TRUE(waitFor([&] { return halvesReceived() >= kHalves || halvesReceived() < rec.events.size(); }));
        ai.StopFAI(0);
        const size_t halves = halvesReceived();
        EXPECT_EQ(firstWrongSample(want, halves, true), "") << "at " << rate << " Hz";
        if (halves >= kHalves)
            return;
    }
    FAIL() << "no rate gave " << kHalves << " halves without an overrun";
}

INSTANTIATE_TEST_SUITE_P(ChannelsAndCounts, WholeScans,
                         ::testing::Combine(::testing::Range(1, 17), ::testing::Range(4096, 4101), ::testing::Bool()),
                         [](const auto& info) {
                             return std::to_string(std::get<0>(info.param)) + "ch_"
                                    + std::to_string(std::get<1>(info.param))
                                    + (std::get<2>(info.param) ? "_cyclic" : "_single");
                         });
