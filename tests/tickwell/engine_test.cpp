// The timer table on a clock the test moves by hand. The platform timer is
// real (its ticks are never pumped here), so start, stop and the resolution
// requests are the real ones.
#include "support.h"
#include "tickwell/platform_timer.h"
#include "tickwell/tick_window.h"
#include "tickwell/timer_table.h"

#include <ctime>
#include <gtest/gtest.h>

using namespace tickwell;

namespace {

class Table : public TimerTable {
public:
    Table()
    {
        window = TickWindow::create([](uint32_t) {});
        SetTickWindow(window.get());
    }
    ~Table() override
    {
        StopTimer();
        SetTickWindow(nullptr);
    }

    uint32_t clock = 5000;
    std::vector<std::string> fired;
    std::function<void(const std::string&)> onFire;
    int starts = 0;
    int stops = 0;
    bool refuseStart = false;
    std::unique_ptr<TickWindow> window;

protected:
    uint32_t Now() const override { return clock; }
    void FireTimer(const std::string& key) override
    {
        fired.push_back(key);
        if (onFire)
            onFire(key);
    }
    bool StartTimer() override
    {
        ++starts;
        return refuseStart ? false : TimerTable::StartTimer();
    }
    bool StopTimer() override
    {
        ++stops;
        return TimerTable::StopTimer();
    }
};

std::string nth(int i)
{
    std::string k = "k";
    k += std::to_string(i);
    return k;
}

} // namespace

TEST(TimerTable, StartsEmptyWithRoomForTheLimit)
{
    Table t;
    EXPECT_EQ(t.EntryCount(), 0);
    EXPECT_FALSE(t.Running());
    EXPECT_EQ(t.TimerId(), 0u);
    EXPECT_EQ(t.EnabledCount(), 0);
    EXPECT_GE(t.Capacity(), 64u);
    EXPECT_EQ(t.Resolution(), 1u);
}

TEST(TimerTable, TakesSixtyFourEntriesAndRefusesTheSixtyFifth)
{
    Table t;
    const auto* storage = t.Entries().data();
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(t.AddEntry(nth(i), 10, 0)) << i;
    EXPECT_EQ(t.Entries().data(), storage); // storage never moved
    EXPECT_FALSE(t.AddEntry("one too many", 10, -1));
    EXPECT_EQ(t.EntryCount(), 64);
    EXPECT_FALSE(t.Contains("one too many"));
    EXPECT_EQ(t.EnabledCount(), 0);
    EXPECT_FALSE(t.Running());
}

TEST(TimerTable, ADuplicateKeyKeepsTheExistingEntry)
{
    Table t;
    ASSERT_TRUE(t.AddEntry("SoftPoolTimer", 250, 0));
    EXPECT_FALSE(t.AddEntry("SoftPoolTimer", 100, -1));
    int32_t v = 0;
    ASSERT_TRUE(t.GetInterval("SoftPoolTimer", v));
    EXPECT_EQ(v, 250);
    ASSERT_TRUE(t.GetEnabled("SoftPoolTimer", v));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(t.EntryCount(), 1);
    EXPECT_FALSE(t.Running());
}

TEST(TimerTable, KeysCompareByteForByte)
{
    Table t;
    EXPECT_TRUE(t.AddEntry("HistoryTimer", 1, 0));
    EXPECT_TRUE(t.AddEntry("historytimer", 2, 0));
    EXPECT_TRUE(t.AddEntry("HistoryTimer ", 3, 0));
    EXPECT_TRUE(t.AddEntry("", 4, 0));
    EXPECT_EQ(t.EntryCount(), 4);
    int32_t v = 0;
    t.GetInterval("historytimer", v);
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(t.Contains("HISTORYTIMER"));
}

TEST(TimerTable, MissingKeysReportFalseAndLeaveOutValuesAlone)
{
    Table t;
    int32_t v = 77;
    EXPECT_FALSE(t.GetInterval("x", v));
    EXPECT_FALSE(t.GetEnabled("x", v));
    EXPECT_EQ(v, 77);
    EXPECT_FALSE(t.SetInterval("x", 1));
    EXPECT_FALSE(t.SetEnabled("x", 1, true));
    EXPECT_FALSE(t.RemoveEntry("x"));
}

TEST(TimerTable, ZeroAndNegativeIntervalsFireAtEveryPass)
{
    Table t;
    t.AddEntry("zero", 0, 1);
    t.AddEntry("negative", -5, 1);
    for (int i = 0; i < 3; ++i) {
        ++t.clock;
        t.DispatchTick();
    }
    t.DispatchTick(); // even without the clock moving
    EXPECT_EQ(t.fired.size(), 8u);
}

TEST(TimerTable, AnEnabledEntryWaitsAFullIntervalFirst)
{
    Table t;
    t.AddEntry("half", 500, 0);
    t.clock += 10000;
    t.SetEnabled("half", -1, true);
    t.clock += 499;
    t.DispatchTick();
    EXPECT_TRUE(t.fired.empty());
    t.clock += 1;
    t.DispatchTick();
    EXPECT_EQ(t.fired, std::vector<std::string>{"half"});
}

TEST(TimerTable, PuttingTheSameEnabledValueKeepsThePhase)
{
    Table t;
    t.AddEntry("k", 100, -1);
    EXPECT_EQ(t.EnabledCount(), 1);
    const uint32_t armed = t.Entries()[0].LastFire;
    t.clock += 60;
    EXPECT_TRUE(t.SetEnabled("k", -1, true));
    EXPECT_EQ(t.Entries()[0].LastFire, armed);
    EXPECT_EQ(t.EnabledCount(), 1);
    EXPECT_TRUE(t.SetEnabled("k", 1, true)); // a different non-zero value re-arms
    EXPECT_EQ(t.Entries()[0].LastFire, t.clock);
    EXPECT_EQ(t.EnabledCount(), 1);
    int32_t v = 0;
    t.GetEnabled("k", v);
    EXPECT_EQ(v, 1);
}

TEST(TimerTable, TheLastDisableStopsThePlatformTimerAndReEnableMakesANewOne)
{
    const int before = activeResolutionRequests();
    Table t;
    t.AddEntry("a", 10, -1);
    ASSERT_TRUE(t.Running());
    const uint32_t first = t.TimerId();
    EXPECT_NE(first, 0u);
    EXPECT_EQ(activeResolutionRequests(), before + 1);
    t.AddEntry("b", 10, -1);
    EXPECT_EQ(t.starts, 1);
    t.SetEnabled("a", 0, true);
    EXPECT_TRUE(t.Running());
    t.SetEnabled("b", 0, true);
    EXPECT_FALSE(t.Running());
    EXPECT_EQ(t.TimerId(), 0u);
    EXPECT_EQ(activeResolutionRequests(), before);
    t.SetEnabled("b", -1, true);
    ASSERT_TRUE(t.Running());
    EXPECT_NE(t.TimerId(), first);
    t.RemoveEntry("b");
    EXPECT_FALSE(t.Running());
    EXPECT_EQ(activeResolutionRequests(), before);
}

TEST(TimerTable, RemoveAllStopsEvenWhenEmpty)
{
    Table t;
    EXPECT_TRUE(t.RemoveAllEntries());
    EXPECT_EQ(t.stops, 1);
    t.AddEntry("a", 1, 1);
    t.AddEntry("b", 1, 1);
    EXPECT_TRUE(t.RemoveAllEntries());
    EXPECT_EQ(t.EntryCount(), 0);
    EXPECT_EQ(t.EnabledCount(), 0);
    EXPECT_FALSE(t.Running());
}

TEST(TimerTable, ARefusedStartLeavesTheEntryEnabledAndTriesAgainLater)
{
    Table t;
    t.refuseStart = true;
    t.AddEntry("a", 10, 1);
    EXPECT_FALSE(t.Running());
    EXPECT_EQ(t.EnabledCount(), 1);
    t.refuseStart = false;
    t.SetEnabled("a", 1, true); // unchanged value: no new attempt
    EXPECT_EQ(t.starts, 1);
    t.SetEnabled("a", -1, true);
    EXPECT_EQ(t.starts, 2);
    EXPECT_TRUE(t.Running());
}

TEST(TimerTable, AShorterIntervalCanMakeAnEntryDueAtOnce)
{
    Table t;
    t.AddEntry("k", 1000, 1);
    t.clock += 300;
    t.DispatchTick();
    EXPECT_TRUE(t.fired.empty());
    t.SetInterval("k", 200);
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 1u);
}

TEST(TimerTable, ALatePassFiresOnceAndMeasuresFromItself)
{
    Table t;
    t.AddEntry("ten", 10, 1);
    t.clock += 40; // three periods late
    t.DispatchTick();
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 1u);
    t.clock += 9;
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 1u);
    t.clock += 1;
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 2u);
}

TEST(TimerTable, TheDueTestSurvivesClockWrapAround)
{
    Table t;
    t.clock = 0xFFFFFFF0u;
    t.AddEntry("w", 20, 1);
    t.clock = 0x00000003u; // 19 ms later
    t.DispatchTick();
    EXPECT_TRUE(t.fired.empty());
    t.clock = 0x00000004u;
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 1u);
    EXPECT_EQ(t.Entries()[0].LastFire, 4u);
}

TEST(TimerTable, APromptPassCountsAtItsTicksTimeALateOneAtItsOwn)
{
    Table t;
    const uint32_t start = t.clock;
    t.AddEntry("one", 1, 1);
    ASSERT_TRUE(t.Running());
    t.clock = start + 2; // the tick sent at start + 1 is handled a little late
    t.HandleTickMessage(start + 1);
    EXPECT_EQ(t.Entries()[0].LastFire, start + 1);
    t.HandleTickMessage(start + 2); // the next one, in the same millisecond
    EXPECT_EQ(t.fired.size(), 2u);  // read at its own time it would have been skipped
    t.clock = start + 33;           // a pass 30 ms after its tick
    t.HandleTickMessage(start + 3);
    EXPECT_EQ(t.fired.size(), 3u);
    EXPECT_EQ(t.Entries()[0].LastFire, start + 33); // the next expiry counts from the late pass
}

TEST(TimerTable, FiresInTableOrderAtMostOncePerPass)
{
    Table t;
    t.AddEntry("a", 0, 1);
    t.AddEntry("b", 5, 1);
    t.AddEntry("c", 0, 1);
    t.clock += 5;
    t.DispatchTick();
    EXPECT_EQ(t.fired, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TimerTable, AHandlerThatDisablesItsOwnKeyStopsTheTimer)
{
    Table t;
    t.AddEntry("SoftPoolTimer", 0, -1);
    ASSERT_TRUE(t.Running());
    t.onFire = [&](const std::string& k) { t.SetEnabled(k, 0, true); };
    t.DispatchTick();
    EXPECT_EQ(t.fired.size(), 1u);
    EXPECT_FALSE(t.Running());
    EXPECT_EQ(t.Entries()[0].LastFire, t.clock);
}

TEST(TimerTable, AHandlerThatRemovesEntriesNeitherSkipsNorRepeats)
{
    Table t;
    for (const char* k : {"a", "b", "c", "d"})
        t.AddEntry(k, 0, 1);
    t.onFire = [&](const std::string& k) {
        if (k == "b")
            t.RemoveEntry("a"); // an earlier entry goes: c must still fire
        if (k == "c")
            t.RemoveEntry("c"); // itself: d must still fire
    };
    t.DispatchTick();
    EXPECT_EQ(t.fired, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(t.EntryCount(), 2);
}

TEST(TimerTable, AHandlerThatClearsTheTableEndsThePass)
{
    Table t;
    for (const char* k : {"a", "b", "c"})
        t.AddEntry(k, 0, 1);
    t.onFire = [&](const std::string&) { t.RemoveAllEntries(); };
    t.DispatchTick();
    EXPECT_EQ(t.fired, std::vector<std::string>{"a"});
    EXPECT_FALSE(t.Running());
}

TEST(TimerTable, ReplaceAndRecountNeitherStartNorStop)
{
    Table t;
    t.ReplaceEntries({TimerEntry{10, 1, "x", 0}, TimerEntry{10, 0, "y", 0}, TimerEntry{10, -1, "z", 0}});
    EXPECT_EQ(t.EnabledCount(), 0);
    t.RecountEnabled();
    EXPECT_EQ(t.EnabledCount(), 2);
    EXPECT_EQ(t.starts, 0);
    EXPECT_FALSE(t.Running());
}

TEST(PlatformTimer, TicksEveryMillisecondUntilDisarmed)
{
    int ticks = 0;
    std::unique_ptr<TickWindow> window = TickWindow::create([&](uint32_t) { ++ticks; });
    ASSERT_TRUE(window);
    auto timer = PeriodicTimer::start(window->tickFd());
    ASSERT_TRUE(timer);
    EXPECT_TRUE(twtest::pumpUntil([&] { return ticks >= 50; }, 5000));
    timer.reset();
    window->reset();
    const int atStop = ticks;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, atStop); // nothing arrives after the stop
}

TEST(PlatformTimer, ASlowHandlerGetsOneTickNotTheOnesItMissed)
{
    std::vector<uint32_t> due;
    std::unique_ptr<TickWindow> window = TickWindow::create([&](uint32_t at) {
        due.push_back(at);
        if (due.size() == 1) { // hold the owning thread for several periods
            const uint32_t start = millisecondClock();
            while (millisecondClock() - start < 6) {
            }
        }
    });
    ASSERT_TRUE(window);
    auto timer = PeriodicTimer::start(window->tickFd());
    ASSERT_TRUE(twtest::pumpUntil([&] { return due.size() >= 3; }, 5000));
    timer.reset();
    // The expiries missed while the first handler ran come as one tick, due
    // at the latest of them; the one after is on the grid again.
    EXPECT_GE(due[1] - due[0], 5u);
    EXPECT_GE(due[2] - due[1], 1u);
}

TEST(PlatformTimer, TheClockIsTheMonotonicClockInMilliseconds)
{
    // A reading lies between two readings of CLOCK_MONOTONIC taken around it,
    // in whole milliseconds modulo 2^32 (differences absorb the wrap). Exact,
    // however slow the machine: a clock in other units, on another base or
    // off by a millisecond falls outside.
    auto monotonicMs = [] {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u
                                     + static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
    };
    for (int i = 0; i < 1000; ++i) {
        const uint32_t before = monotonicMs();
        const uint32_t now = millisecondClock();
        const uint32_t after = monotonicMs();
        ASSERT_LE(now - before, after - before) << "read " << now << " between " << before << " and " << after;
    }
}
