#include "ondrel/common/clock.h"
#include "ondrel/common/latin1.h"
#include "ondrel/common/rounding.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

using namespace ondrel;

TEST(Rounding, TiesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundToInt32(0.5), 0);
    EXPECT_EQ(RoundToInt32(1.5), 2);
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(-0.5), 0);
    EXPECT_EQ(RoundToInt32(-1.5), -2);
    EXPECT_EQ(RoundToInt32(-2.5), -2);
    EXPECT_EQ(RoundToInt32(2.4999999), 2);
    EXPECT_EQ(RoundToInt32(2.5000001), 3);
    EXPECT_EQ(RoundToInt64(4503599627370495.5), 4503599627370496); // 2^52 - 0.5
}

TEST(Rounding, OutOfRangeSaturatesAndNanIsZero)
{
    constexpr auto max32 = std::numeric_limits<int32_t>::max();
    constexpr auto min32 = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(RoundToInt32(1e10), max32);
    EXPECT_EQ(RoundToInt32(-1e10), min32);
    EXPECT_EQ(RoundToInt32(2147483647.4), max32);
    EXPECT_EQ(RoundToInt32(-2147483648.4), min32);
    EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()), max32);
    EXPECT_EQ(RoundToInt32(std::nan("")), 0);
    EXPECT_EQ(RoundToInt64(1e19), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(RoundToInt64(-1e19), std::numeric_limits<int64_t>::min());
}

TEST(Clock, ElapsedTimeSurvivesTheWrapOfTheTickCount)
{
    ManualClock clock(0xFFFFFFF0u);
    const uint32_t start = clock.TickCount();
    clock.Advance(0x20);
    EXPECT_EQ(clock.TickCount(), 0x10u);
    EXPECT_EQ(ElapsedMs(start, clock.TickCount()), 0x20u);

    // The tick count is CLOCK_MONOTONIC in milliseconds, truncated to 32 bits:
    // a reading lies between two readings of that clock taken around it. Exact,
    // however slow the machine; a clock in other units or on another base
    // falls outside.
    auto monotonicMs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u
                                     + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    };
    MonotonicClock monotonic;
    for (int i = 0; i < 1000; ++i) {
        const uint32_t before = monotonicMs();
        const uint32_t tick = monotonic.TickCount();
        const uint32_t after = monotonicMs();
        ASSERT_LE(ElapsedMs(before, tick), ElapsedMs(before, after))
            << tick << " read between " << before << " and " << after;
    }
}

TEST(Latin1, KeepsWhatFitsInOneByteAndMarksTheRest)
{
    EXPECT_EQ(Utf8ToLatin1("AI 0"), "AI 0");
    EXPECT_EQ(Utf8ToLatin1("T\xC3\xA9mp \xC2\xB0"
                           "C"),
              "T\xE9mp \xB0"
              "C");
    EXPECT_EQ(Utf8ToLatin1("5\xE2\x82\xAC"), "5?");     // euro sign
    EXPECT_EQ(Utf8ToLatin1("\xC4\x80"), "?");           // U+0100
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x99\x82!"), "?!"); // beyond the BMP
    EXPECT_EQ(Utf8ToLatin1("a\xFF"
                           "b\xC3"),
              "a?b?"); // invalid, cut short
    EXPECT_EQ(Latin1ToUtf8("T\xE9mp \xB0"
                           "C"),
              "T\xC3\xA9mp \xC2\xB0"
              "C");
}
