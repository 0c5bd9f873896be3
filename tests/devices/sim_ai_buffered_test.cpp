#include "buffered_support.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_signal.h"
#include <climits>
#include <gtest/gtest.h>

using namespace kro;
using ondrel::ComponentError;

namespace {

using namespace kro::testing;

class Buffered : public ::testing::Test {
protected:
    SimAI ai{card::Differential16};
    Recorder rec;
    void SetUp() override
    {
        ai.setEvents(&rec);
        ai.setSampleRate(200e3);
        ai.setChanStart(2);
        ai.setChanCount(3);
    }
    // Returns the count the card adjusted the buffer to.
    int32_t start(int32_t count, bool cyclic)
    {
        ai.StartFAI(count, cyclic);
        return count;
    }
};

} // namespace

TEST_F(Buffered, NonCyclicRunDeliversBothHalvesInOrderThenStops)
{
    double low = 0, high = 10;
    ai.SetChannelRange(3, low, high);
    // 4097 samples over 3 channels grow to 4098: two halves of 683 whole scans.
    EXPECT_EQ(start(4097, false), 4098);
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 3; }));
    drainEvents();
    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[0].count, 2049);
    EXPECT_EQ(rec.events[1].kind, Event::Second);
    EXPECT_EQ(rec.events[1].count, 2049);
    EXPECT_EQ(rec.events[2].kind, Event::Terminated);
    EXPECT_FALSE(ai.bufferedRunActive());
    EXPECT_FALSE(rec.offThread);

    // Scaled data, scan-major from ChanStart, exactly the deterministic signal.
    const auto ranges = rangesOf(ai);
    const int64_t period = SimSignal::bufferedPeriod(200e3, 3);
    int64_t k = 0;
    for (int i = 0; i < 2; ++i) {
        const Event& e = rec.events[static_cast<size_t>(i)];
        EXPECT_TRUE(e.raw.empty());
        ASSERT_EQ(e.scaled.size(), static_cast<size_t>(e.count));
        for (const float v : e.scaled)
            ASSERT_EQ(v, static_cast<float>(SimSignal::runSample(*ai.card(), 2, 3, ranges, k++, period).value)) << k;
    }
}

TEST_F(Buffered, RawRunOnThe5342CarriesTwelveBitCounts)
{
    ai.SelectDeviceNumber(card::Model5342);
    ai.setSampleRate(100e3);
    ai.setDataReturnType(ondrel::SampleData::RawCounts);
    EXPECT_EQ(start(4096, false), 4096); // already whole scans in each half
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 2; }));
    const auto ranges = rangesOf(ai);
    const int64_t period = SimSignal::bufferedPeriod(100e3, 4);
    int64_t k = 0;
    for (int i = 0; i < 2; ++i) {
        const Event& e = rec.events[static_cast<size_t>(i)];
        EXPECT_TRUE(e.scaled.empty());
        ASSERT_EQ(e.raw.size(), 2048u);
        for (const int16_t v : e.raw) {
            ASSERT_GE(v, 0);
            ASSERT_LE(v, 4095);
            ASSERT_EQ(v, SimSignal::runSample(*ai.card(), 0, 4, ranges, k++, period).raw);
        }
    }
}

TEST_F(Buffered, CyclicRunAlternatesContinuouslyUntilStopped)
{
    ai.setSampleRate(20e3); // roomy half-buffers: a slow test machine must not overrun
    EXPECT_EQ(start(4096, true), 4098);
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 6; }));
    ai.StopFAI(0);
    const size_t seen = rec.events.size();
    drainEvents();
    EXPECT_EQ(rec.events.size(), seen); // nothing after StopFAI
    EXPECT_FALSE(ai.bufferedRunActive());

    const auto ranges = rangesOf(ai);
    const int64_t period = SimSignal::bufferedPeriod(20e3, 3);
    for (size_t i = 0; i < seen; ++i) {
        const Event& e = rec.events[i];
        ASSERT_EQ(e.kind, i % 2 == 0 ? Event::First : Event::Second) << i;
        if (i + 1 < seen) { // the last may be the shorter one StopFAI hands over
            ASSERT_EQ(e.count, 2049);
        }
        // The stream continues across halves and cycles, each half from a scan boundary.
        const auto k = static_cast<int64_t>(i) * 2049;
        EXPECT_EQ(e.scaled.front(),
                  static_cast<float>(SimSignal::runSample(*ai.card(), 2, 3, ranges, k, period).value));
    }
}

TEST_F(Buffered, StopFromInsideAHandlerEndsTheRun)
{
    size_t handedOverByStop = 0;
    rec.onEvent = [&](const Event&) {
        if (handedOverByStop != 0)
            return;
        ai.StopFAI(0);
        handedOverByStop = rec.events.size();
    };
    const int32_t half = start(4096, true) / 2;
    ASSERT_TRUE(waitFor([&] { return handedOverByStop != 0; }));
    drainEvents();
    // Stop hands over, before it returns, what the card acquired by then: the
    // halves a slow handler left queued, in turn, and a last shorter one. No end
    // event, and nothing after.
    EXPECT_EQ(rec.events.size(), handedOverByStop);
    for (size_t i = 0; i < rec.events.size(); ++i) {
        EXPECT_EQ(rec.events[i].kind, i % 2 == 0 ? Event::First : Event::Second) << i;
        if (i + 1 < rec.events.size())
            EXPECT_EQ(rec.events[i].count, half) << i;
        else
            EXPECT_LE(rec.events[i].count, half);
    }
    EXPECT_FALSE(ai.bufferedRunActive());
    rec.events.clear();
    rec.onEvent = nullptr;
    ai.setSampleRate(20e3);
    start(4096, false); // and the component can run again
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 3; }));
    EXPECT_EQ(rec.events[2].kind, Event::Terminated);
}

TEST_F(Buffered, StopHandsOverQueuedHalvesWithoutTheEndDestructionDropsThem)
{
    start(4096, false);
    ASSERT_TRUE(waitForWorker(ai)); // all three events are queued now
    // A message box shown for the first runs the event loop: each half still comes once.
    rec.onEvent = [](const Event&) { QCoreApplication::processEvents(); };
    ai.StopFAI(0);
    rec.onEvent = nullptr;
    ASSERT_EQ(rec.events.size(), 2u); // before StopFAI returned
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[1].kind, Event::Second);
    EXPECT_EQ(rec.events[1].count, 2049);
    drainEvents();
    EXPECT_EQ(rec.events.size(), 2u); // no Terminated after StopFAI

    Recorder late;
    {
        SimAI doomed(card::Differential16);
        doomed.setEvents(&late);
        doomed.setSampleRate(200e3);
        int32_t count = 4096;
        bool cyclic = false;
        doomed.StartFAI(count, cyclic);
        ASSERT_TRUE(waitForWorker(doomed));
    }
    drainEvents();
    EXPECT_TRUE(late.events.empty());

    // A slow run is stopped at once, not at its next deadline.
    ai.setSampleRate(1e-12);
    start(4096, true);
    ai.StopFAI(0);
    EXPECT_FALSE(ai.bufferedRunActive());
}

TEST_F(Buffered, AProgramThatFallsBehindGetsAnOverrunNotLostData)
{
    start(4096, true);
    ASSERT_TRUE(waitForWorker(ai)); // the event loop never ran: both halves stayed taken
    drainEvents();
    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[1].kind, Event::Second);
    EXPECT_EQ(rec.events[2].kind, Event::Failure);
    EXPECT_FALSE(rec.events[2].message.empty());
    EXPECT_EQ(ai.ErrorMessage(), rec.events[2].message);
}

TEST_F(Buffered, ASimulatedFaultStopsTheRunWithADescription)
{
    ai.setFailAfterHalves(3);
    ai.setSampleRate(20e3);
    start(4096, true);
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 4; }));
    drainEvents();
    ASSERT_EQ(rec.events.size(), 4u);
    EXPECT_EQ(rec.events[2].kind, Event::First);
    EXPECT_EQ(rec.events[3].kind, Event::Failure);
    EXPECT_EQ(ai.ErrorMessage(), rec.events[3].message);
    EXPECT_FALSE(ai.bufferedRunActive());
}

TEST_F(Buffered, RefusesRunsTheCardCannotMake)
{
    for (const int32_t count : {-5, 0, 1, INT_MAX}) {
        int32_t n = count;
        bool cyclic = false;
        EXPECT_THROW(ai.StartFAI(n, cyclic), ComponentError) << count;
        EXPECT_EQ(n, count); // a refused count is not adjusted
        EXPECT_FALSE(ai.ErrorMessage().empty());
        EXPECT_FALSE(ai.bufferedRunActive());
    }
    ai.setSampleRate(1.0);
    start(4096, true);
    int32_t n = 4096;
    bool cyclic = true;
    EXPECT_THROW(ai.StartFAI(n, cyclic), ComponentError);
    EXPECT_EQ(n, 4096);
    EXPECT_THROW(ai.ReadScan(true), ComponentError);
    ai.StopFAI(0);
    ai.StopFAI(0); // stopping twice is harmless
    EXPECT_NO_THROW(ai.ReadScan(true));
}

TEST_F(Buffered, AtTheCardsLimitTheBufferShrinksToWholeScans)
{
    const int32_t max = ai.card()->maxBufferSamples;
    ASSERT_EQ(max, 1 << 22);
    // 3 channels: halves are multiples of 3, so buffers are multiples of 6.
    EXPECT_EQ(SimAI::wholeScanBuffer(2, 3, max), 6);
    EXPECT_EQ(SimAI::wholeScanBuffer(2, 1, max), 2);
    EXPECT_EQ(SimAI::wholeScanBuffer(4194299, 3, max), 4194300);
    EXPECT_EQ(SimAI::wholeScanBuffer(4194301, 3, max), 4194300); // 4194306 would not fit
    EXPECT_EQ(SimAI::wholeScanBuffer(max, 3, max), 4194300);
    EXPECT_EQ(SimAI::wholeScanBuffer(max, 16, max), max);

    // The card makes the run it reports: the largest whole-scan buffer it holds.
    EXPECT_EQ(start(max, true), 4194300);
    EXPECT_TRUE(ai.bufferedRunActive());
    ai.StopFAI(0);
}

namespace {

// A run stopped part-way through a half: (cyclic, raw).
class StoppedMidHalf : public Buffered, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

} // namespace

TEST_P(StoppedMidHalf, KeepsEveryWholeScanAcquiredUpToStop)
{
    const auto [cyclic, raw] = GetParam();
    ai.setSampleRate(5e3); // 0.4 s halves: time enough to stop inside the second
    ai.setDataReturnType(raw ? ondrel::SampleData::RawCounts : ondrel::SampleData::Scaled);
    EXPECT_EQ(start(4096, cyclic), 4098);
    int64_t delivered = 0;
    rec.onEvent = [&](const Event& e) { delivered += e.count; };
    ASSERT_TRUE(waitFor([&] { return delivered >= 2049 && ai.samplesAcquired() >= delivered + 30; }));
    const int64_t acquired = ai.samplesAcquired();
    ASSERT_EQ(delivered % 2049, 0);
    ai.StopFAI(0);
    drainEvents();

    // Whole scans only, at least all acquired before StopFAI, never beyond the buffer of a single shot.
    EXPECT_EQ(delivered % 3, 0);
    EXPECT_GE(delivered, acquired - acquired % 3);
    if (!cyclic) {
        EXPECT_LE(delivered, 4098);
    }
    const auto ranges = rangesOf(ai);
    const int64_t period = SimSignal::bufferedPeriod(5e3, 3);
    int64_t k = 0;
    for (size_t i = 0; i < rec.events.size(); ++i) {
        const Event& e = rec.events[i];
        ASSERT_EQ(e.kind, i % 2 == 0 ? Event::First : Event::Second) << i;
        ASSERT_EQ(raw ? e.raw.size() : e.scaled.size(), static_cast<size_t>(e.count)) << i;
        for (int32_t s = 0; s < e.count; ++s, ++k) {
            const SimSample want = SimSignal::runSample(*ai.card(), 2, 3, ranges, k, period);
            if (raw)
                ASSERT_EQ(e.raw[static_cast<size_t>(s)], want.raw) << k;
            else
                ASSERT_EQ(e.scaled[static_cast<size_t>(s)], static_cast<float>(want.value)) << k;
        }
    }
    EXPECT_EQ(k, delivered);
}

INSTANTIATE_TEST_SUITE_P(CyclicOrSingleRawOrScaled, StoppedMidHalf,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()), [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "cyclic" : "single")
                                    + (std::get<1>(info.param) ? "_raw" : "_scaled");
                         });
