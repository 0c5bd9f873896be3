#include "kro/devices/event_pump.h"
#include "kro/devices/stream_halves.h"
#include "support/wait_for.h"
#include <gtest/gtest.h>
#include <QCoreApplication>

namespace kro {
namespace {

struct Delivered {
    FaiDelivery::Kind kind;
    std::vector<float> scaled;
    std::vector<int16_t> raw;
    int32_t count = 0;
    std::string message;
};

// A run fed by the test standing in for the instrument's stream; deliveries are
// recorded as the program's thread receives them.
class StreamHalvesTest : public ::testing::Test {
protected:
    void start(int32_t chanCount, int32_t sampleCount, bool cyclic, bool raw = false, std::vector<RawScale> scales = {},
               int64_t backlogScans = 0)
    {
        StreamHalvesConfig config;
        config.chanCount = chanCount;
        config.sampleCount = sampleCount;
        config.cyclic = cyclic;
        config.raw = raw;
        config.rawScales = std::move(scales);
        config.backlogScans = backlogScans;
        config.halfReleased = [this] { ++releasedCalls; };
        run = std::make_unique<StreamHalves>(pump, std::move(config), [this](const FaiDelivery& d) {
            got.push_back(
                {d.kind, {d.scaled.begin(), d.scaled.end()}, {d.raw.begin(), d.raw.end()}, d.sampleCount, d.message});
            if (onDelivery)
                onDelivery();
        });
    }
    void settle(size_t events)
    {
        waitFor([&] { return got.size() >= events; }, 2000);
        QCoreApplication::processEvents();
    }
    std::vector<FaiDelivery::Kind> kinds() const
    {
        std::vector<FaiDelivery::Kind> k;
        for (const auto& d : got)
            k.push_back(d.kind);
        return k;
    }

    EventPump pump;
    std::unique_ptr<StreamHalves> run;
    std::vector<Delivered> got;
    int releasedCalls = 0;
    std::function<void()> onDelivery;
};

using K = FaiDelivery::Kind;

TEST_F(StreamHalvesTest, BlocksPerChannelInAnyOrderAreInterleavedIntoHalvesThenTheSingleRunEnds)
{
    start(3, 12, false); // halves of two scans
    const float ch0a[] = {0, 1}, ch0b[] = {2, 3}, ch1[] = {10, 11, 12, 13}, ch2[] = {20, 21, 22, 23};
    EXPECT_TRUE(run->push(2, ch2));
    EXPECT_TRUE(run->push(0, ch0a));
    EXPECT_TRUE(run->push(1, ch1));
    EXPECT_FALSE(run->push(0, ch0b)); // the second half completes the run
    settle(3);
    ASSERT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf, K::Finished}));
    EXPECT_EQ(got[0].scaled, (std::vector<float>{0, 10, 20, 1, 11, 21}));
    EXPECT_EQ(got[1].scaled, (std::vector<float>{2, 12, 22, 3, 13, 23}));
    EXPECT_EQ(got[0].count, 6);
    EXPECT_EQ(got[1].count, 6);
    EXPECT_TRUE(got[0].raw.empty());
}

TEST_F(StreamHalvesTest, ACyclicRunAlternatesHalvesAndLosesNoSampleAcrossTheirBoundaries)
{
    start(2, 8, true); // halves of two scans
    float next = 0;
    for (int block = 0; block < 6; ++block) {
        std::vector<float> a, b;
        for (int i = 0; i < 3; ++i) { // blocks that straddle the halves
            a.push_back(next);
            b.push_back(-next);
            ++next;
        }
        ASSERT_TRUE(run->push(0, a));
        ASSERT_TRUE(run->push(1, b));
        QCoreApplication::processEvents(); // the program takes each half in time
    }
    settle(9);
    ASSERT_EQ(got.size(), 9u); // 18 scans, two per half
    std::vector<float> joined;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, i % 2 == 0 ? K::FirstHalf : K::SecondHalf);
        joined.insert(joined.end(), got[i].scaled.begin(), got[i].scaled.end());
    }
    for (size_t s = 0; s < 18; ++s) {
        EXPECT_EQ(joined[2 * s], static_cast<float>(s));
        EXPECT_EQ(joined[2 * s + 1], -static_cast<float>(s));
    }
}

TEST_F(StreamHalvesTest, SamplesWaitForAHalfTheProgramStillHoldsAndGoOnWhenItIsHandedBack)
{
    start(1, 4, true, false, {}, 8); // halves of two scans, eight may wait
    const float burst[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_TRUE(run->push(0, burst)); // one burst, more than the whole buffer
    settle(2);
    EXPECT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf}));
    // Handing the halves back resumes the reading side, as the host would.
    for (int i = 0; i < 3 && got.size() < 5; ++i) {
        run->resume();
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(got.size(), 5u);
    std::vector<float> joined;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, i % 2 == 0 ? K::FirstHalf : K::SecondHalf);
        joined.insert(joined.end(), got[i].scaled.begin(), got[i].scaled.end());
    }
    EXPECT_EQ(joined, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_GT(releasedCalls, 0); // the owner told the reading side each time
}

TEST_F(StreamHalvesTest, MoreWaitingThanTheBacklogAllowsIsAnOverrunAfterEverySampleTakenIn)
{
    start(1, 4, true, false, {}, 4);
    const float six[] = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(run->push(0, six)); // two halves out, two scans wait
    const float three[] = {7, 8, 9};
    EXPECT_FALSE(run->push(0, three)); // five would wait
    settle(6);
    // Every sample taken in still goes out, in half-sized pieces, before the failure.
    ASSERT_EQ(kinds(),
              (std::vector<K>{K::FirstHalf, K::SecondHalf, K::FirstHalf, K::SecondHalf, K::FirstHalf, K::Failed}));
    std::vector<float> joined;
    for (size_t i = 0; i < 5; ++i)
        joined.insert(joined.end(), got[i].scaled.begin(), got[i].scaled.begin() + got[i].count);
    EXPECT_EQ(joined, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_NE(got[5].message.find("overrun"), std::string::npos);
    EXPECT_FALSE(run->push(0, three)); // over: nothing more goes out
    QCoreApplication::processEvents();
    EXPECT_EQ(got.size(), 6u);
}

TEST_F(StreamHalvesTest, AnEndOfStreamBeforeTheRunIsCompleteFailsItOnceAfterWhatCameAndAfterwardsChangesNothing)
{
    start(1, 4, false);
    const float two[] = {1, 2};
    run->push(0, two);
    run->endOfStream();
    run->endOfStream(); // some drivers repeat it
    settle(2);
    ASSERT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::Failed}));
    EXPECT_NE(got[1].message.find("stopped sending"), std::string::npos);

    got.clear();
    start(2, 8, false);
    const float ch0[] = {1, 2, 3}, ch1[] = {-1, -2, -3};
    run->push(0, ch0);
    run->push(1, ch1);
    run->endOfStream(); // in the second half: its one whole scan is kept
    settle(3);
    ASSERT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf, K::Failed}));
    EXPECT_EQ(got[1].count, 2);
    EXPECT_EQ(std::vector<float>(got[1].scaled.begin(), got[1].scaled.begin() + 2), (std::vector<float>{3, -3}));

    got.clear();
    start(1, 4, false);
    const float four[] = {1, 2, 3, 4};
    run->push(0, four);
    run->endOfStream(); // the stream ends after a complete single run
    settle(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf, K::Finished}));
}

TEST_F(StreamHalvesTest, AStoppedRunDeliversNothingThatWasStillQueued)
{
    start(1, 4, true);
    const float four[] = {1, 2, 3, 4};
    run->push(0, four);
    run->stop();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(got.empty());
}

TEST_F(StreamHalvesTest, RawRunsCarryUnsignedCountsOfEachChannelsRangeClampedAtItsEnds)
{
    start(2, 8, false, true, {{-10, 10, 16}, {0, 10, 12}});
    const float a[] = {-10, 10, 12, -11}, b[] = {0, 10, 5, 20};
    run->push(0, a);
    run->push(1, b);
    settle(2);
    ASSERT_GE(got.size(), 2u);
    EXPECT_TRUE(got[0].scaled.empty());
    std::vector<uint16_t> counts;
    for (const auto& d : {got[0], got[1]})
        for (const int16_t r : d.raw)
            counts.push_back(static_cast<uint16_t>(r));
    // 16 bits over -10 .. 10 and 12 bits over 0 .. 10; 5 V is 4095 / 2 = 2047.5, rounded to even.
    EXPECT_EQ(counts, (std::vector<uint16_t>{0, 0, 65535, 4095, 65535, 2048, 0, 4095}));
}

// A deep-memory oscilloscope hands over blocks longer than the buffer: they are
// taken whole, what the halves cannot hold yet waits within the backlog.
TEST_F(StreamHalvesTest, BlocksLongerThanBothHalvesAreTakenWholeOnOneChannelAndOnSeveral)
{
    const int32_t halfScans = 1 << 16;
    for (const int32_t chans : {1, 2}) {
        got.clear();
        start(chans, 2 * halfScans * chans, true, false, {}, 200'000);
        const size_t blockSize = 150'000; // more than two halves of one channel
        for (int round = 0; round < 2; ++round)
            for (int32_t c = 0; c < chans; ++c) {
                std::vector<float> block(blockSize);
                for (size_t i = 0; i < blockSize; ++i)
                    block[i] = static_cast<float>(c * 1'000'000 + round * blockSize + i);
                ASSERT_TRUE(run->push(c, block)) << chans << " channels, round " << round;
                for (int i = 0; i < 8; ++i) { // the program takes each half, the stream goes on
                    QCoreApplication::processEvents();
                    run->resume();
                }
            }
        settle(4);
        ASSERT_EQ(got.size(), 4u) << chans << " channels"; // 300 000 scans: four whole halves
        for (size_t h = 0; h < got.size(); ++h) {
            ASSERT_EQ(got[h].kind, h % 2 == 0 ? K::FirstHalf : K::SecondHalf);
            const size_t first = h * halfScans; // the half's first scan, then its last
            for (int32_t c = 0; c < chans; ++c)
                EXPECT_EQ(got[h].scaled[static_cast<size_t>(c)], static_cast<float>(c * 1'000'000 + first));
            EXPECT_EQ(got[h].scaled.back(), static_cast<float>((chans - 1) * 1'000'000 + first + halfScans - 1));
        }
    }
}

// Nothing is stored beyond what the run may hold: the two halves and the backlog.
TEST_F(StreamHalvesTest, ABlockLargerThanTheBufferAndTheBacklogTogetherIsAnOverrun)
{
    for (const int32_t chans : {1, 2}) {
        got.clear();
        start(chans, 4 * chans, true, false, {}, 8); // halves of two scans: 12 scans may be held
        const std::vector<float> block(13, 1.0f);
        EXPECT_FALSE(run->push(0, block));
        settle(1);
        ASSERT_EQ(kinds(), (std::vector<K>{K::Failed}));
        // Not taken for a channel that stopped: the block alone is too much.
        EXPECT_NE(got[0].message.find("overrun"), std::string::npos) << got[0].message;
    }
}

// A channel that stops while the others go on is found once the others are
// further ahead than the buffer and the backlog hold, and not before.
TEST_F(StreamHalvesTest, AChannelThatStopsDeliveringOrABufferWithoutAWholeScanEndsTheRunAtOnce)
{
    start(2, 8, true, false, {}, 16); // halves of two scans: 20 scans may be held
    const float block[] = {1, 2, 3, 4, 5};
    for (int i = 0; i < 4; ++i) // 20 samples on channel 0, none on 1
        EXPECT_TRUE(run->push(0, block)) << i;
    EXPECT_FALSE(run->push(0, block));
    settle(1);
    ASSERT_EQ(kinds(), (std::vector<K>{K::Failed}));
    EXPECT_NE(got[0].message.find("stopped sending"), std::string::npos);

    got.clear();
    start(3, 4, true); // not one scan of three channels in a half of two samples
    const float one[] = {1};
    EXPECT_FALSE(run->push(0, one));
    settle(1);
    ASSERT_EQ(kinds(), (std::vector<K>{K::Failed}));
    EXPECT_NE(got[0].message.find("no whole scan"), std::string::npos);
}

TEST_F(StreamHalvesTest, AtTheEndTheQueuedHalvesThenEveryWaitingScanArriveBeforeHandOverRestReturns)
{
    start(2, 20, true); // halves of five scans
    std::vector<float> a, b;
    for (int i = 0; i < 13; ++i) {
        a.push_back(static_cast<float>(i));
        b.push_back(static_cast<float>(100 + i));
    }
    // The program takes nothing: both halves stay queued, three scans wait.
    ASSERT_TRUE(run->push(0, a));
    ASSERT_TRUE(run->push(1, b));
    // A message box shown for the first runs the event loop: the queued halves
    // still arrive once each.
    onDelivery = [] { QCoreApplication::processEvents(); };
    run->handOverRest();
    onDelivery = nullptr;
    ASSERT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf, K::FirstHalf}));
    EXPECT_EQ(got[0].scaled, (std::vector<float>{0, 100, 1, 101, 2, 102, 3, 103, 4, 104}));
    EXPECT_EQ(got[1].scaled, (std::vector<float>{5, 105, 6, 106, 7, 107, 8, 108, 9, 109}));
    EXPECT_EQ(got[2].scaled, (std::vector<float>{10, 110, 11, 111, 12, 112}));
    EXPECT_EQ(got[2].count, 6);
    QCoreApplication::processEvents(); // the queued halves do not come twice
    EXPECT_EQ(got.size(), 3u);
}

TEST_F(StreamHalvesTest, ASingleRunEndedInItsSecondHalfKeepsItsWholeScansAndNoMore)
{
    start(2, 20, false, true, {{-10, 10, 16}, {-10, 10, 16}});
    const float a[] = {-10, -10, -10, -10, -10, 10, 10, 10}, b[] = {10, 10, 10, 10, 10, -10, -10, -10};
    const float lone[] = {10}; // channel 0 one scan ahead: no whole scan yet
    ASSERT_TRUE(run->push(0, a));
    ASSERT_TRUE(run->push(1, b));
    ASSERT_TRUE(run->push(0, lone));
    settle(1);
    run->handOverRest();
    ASSERT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf}));
    EXPECT_EQ(got[1].count, 6);
    EXPECT_EQ(got[1].raw, (std::vector<int16_t>{-1, 0, -1, 0, -1, 0})); // 65535 and 0 in a signed container
    EXPECT_TRUE(got[1].scaled.empty());

    // A run over by itself has nothing more; its end is not handed over either.
    got.clear();
    start(2, 4, false);
    const float two[] = {1, 2};
    ASSERT_TRUE(run->push(0, two));
    ASSERT_FALSE(run->push(1, two));
    run->handOverRest();
    EXPECT_EQ(kinds(), (std::vector<K>{K::FirstHalf, K::SecondHalf}));
    QCoreApplication::processEvents();
    EXPECT_EQ(got.size(), 2u);
}

} // namespace
} // namespace kro
