#include "comedi_support.h"
#include "devices/buffered_support.h"
#include "kro/devices/all_devices_ai.h"
#include <cerrno>
#include <comedilib.h>
#include <gtest/gtest.h>

namespace kro {
namespace {

using namespace kro::testing;

// Buffered runs of the fake's 16-channel card through the component the
// program gets, scanning channels 2, 3 and 4 (channel 3 at -5 .. 5 V, the
// others at -10 .. 10 V).
class ComediBuffered : public ::testing::Test {
protected:
    Boards boards;
    AllDevicesAI ai{*boards.registry, nullptr};
    Recorder rec;

    void SetUp() override
    {
        ai.SelectDeviceNumber(kCard);
        ai.setEvents(&rec);
        ai.setChanStart(2);
        ai.setChanCount(3);
        double low = -5, high = 5;
        ai.SetChannelRange(3, low, high);
    }
    void TearDown() override
    {
        ai.StopFAI(0);
        ai.setEvents(nullptr);
    }
    int32_t start(int32_t count, bool cyclic)
    {
        ai.StartFAI(count, cyclic);
        return count;
    }
    // The volts of sample k of `counts`, channel k mod 3 of the scan.
    static float volts(const std::vector<uint16_t>& counts, size_t k)
    {
        const double half = k % 3 == 1 ? 5.0 : 10.0;
        return static_cast<float>(-half + 2 * half * counts[k] / 65535.0);
    }
    bool failed() const { return !rec.events.empty() && rec.events.back().kind == Event::Failure; }
};

TEST_F(ComediBuffered, ASingleRunIsTestedAsTheBoardAdjustsItAndDeliversBothHalvesInVoltsThenEnds)
{
    // 7000 Hz over three channels asks for a scan every 428571 ns; the board's
    // timer counts in 1000 ns steps, so 429000 ns it is, and that is the rate.
    ai.setSampleRate(7000);
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 3e9 / 429000);
    EXPECT_EQ(start(4097, false), 4098); // halves of 683 whole scans

    const comedi_cmd cmd = fake_comedi::lastCommand();
    EXPECT_EQ(cmd.start_src, static_cast<unsigned>(TRIG_NOW));
    EXPECT_EQ(cmd.scan_begin_src, static_cast<unsigned>(TRIG_TIMER));
    EXPECT_EQ(cmd.scan_begin_arg, 429000u);
    EXPECT_EQ(cmd.stop_src, static_cast<unsigned>(TRIG_COUNT));
    EXPECT_EQ(cmd.stop_arg, 1366u);
    EXPECT_EQ(
        fake_comedi::lastChanlist(),
        (std::vector<unsigned>{CR_PACK(2, 0, AREF_GROUND), CR_PACK(3, 1, AREF_GROUND), CR_PACK(4, 0, AREF_GROUND)}));

    // Reads of 7 bytes: samples arrive split across reads.
    const auto counts = countsFor(1366, 3);
    fake_comedi::deliver(counts, 7);
    fake_comedi::endStream();
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 3; }));
    drainEvents();
    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[1].kind, Event::Second);
    EXPECT_EQ(rec.events[2].kind, Event::Terminated);
    EXPECT_FALSE(rec.offThread);
    size_t k = 0;
    for (int i = 0; i < 2; ++i) {
        const Event& e = rec.events[static_cast<size_t>(i)];
        EXPECT_EQ(e.count, 2049);
        EXPECT_TRUE(e.raw.empty());
        ASSERT_EQ(e.scaled.size(), 2049u);
        for (const float v : e.scaled) {
            ASSERT_FLOAT_EQ(v, volts(counts, k)) << k;
            ++k;
        }
    }

    // The run that ended by itself gives the subdevice back for polling.
    fake_comedi::setReading(2, 65535);
    EXPECT_EQ(ai.ReadScan(true).at(0), 10.0);
    EXPECT_FALSE(fake_comedi::commandRunning());
}

TEST_F(ComediBuffered, TheRateReadBackIsWhatTheBoardCanPaceAndAnExternalClockIsOffered)
{
    ai.setSampleRate(1e6); // faster than three conversions of 5000 ns allow
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 200000.0);
    ai.setChanCount(1);
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 200000.0); // asked for 1e6 still, one channel at 5000 ns
    ai.setSampleRate(1000);
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 1000.0);

    // The settings dialog's probe: a board with a choice reads Either back.
    ai.setPacerSource(ondrel::Pacer::Either);
    EXPECT_EQ(ai.PacerSource(), ondrel::Pacer::Either);
    ai.setPacerSource(ondrel::Pacer::ExternalClock);
    ai.setSampleRate(1234.5); // the external clock paces as it is: the rate is the operator's
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 1234.5);
    EXPECT_EQ(start(600, true), 600);
    EXPECT_EQ(fake_comedi::lastCommand().scan_begin_src, static_cast<unsigned>(TRIG_EXT));
    EXPECT_EQ(fake_comedi::lastCommand().stop_src, static_cast<unsigned>(TRIG_NONE));
    EXPECT_THROW(ai.setSampleRate(100), ondrel::ComponentError); // not while it runs
}

TEST_F(ComediBuffered, ACyclicRawRunAlternatesHalvesOfTheBoardsCountsAndStopHandsOverTheRest)
{
    ai.setSampleRate(3000);
    ai.setDataReturnType(ondrel::SampleData::RawCounts);
    EXPECT_EQ(start(600, true), 600); // halves of 100 scans
    const auto counts = countsFor(250, 3);
    fake_comedi::deliver(counts, 1000);
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 2 && fake_comedi::unreadBytes() == 0; }));
    ai.StopFAI(0);
    drainEvents();

    ASSERT_EQ(rec.events.size(), 3u);
    const std::vector<std::pair<Event::Kind, int32_t>> expected{
        {Event::First, 300}, {Event::Second, 300}, {Event::First, 150}};
    size_t k = 0;
    for (size_t i = 0; i < 3; ++i) {
        const Event& e = rec.events[i];
        EXPECT_EQ(e.kind, expected[i].first);
        EXPECT_EQ(e.count, expected[i].second);
        EXPECT_TRUE(e.scaled.empty());
        ASSERT_EQ(e.raw.size(), static_cast<size_t>(e.count));
        for (const int16_t v : e.raw) {
            ASSERT_EQ(static_cast<uint16_t>(v), counts[k]) << k;
            ++k;
        }
    }
    EXPECT_FALSE(fake_comedi::commandRunning()); // cancelled
}

TEST_F(ComediBuffered, AnOverrunFailsTheRunAndKeepsEveryScanDeliveredBeforeIt)
{
    ai.setSampleRate(3000);
    start(600, true);
    const auto counts = countsFor(150, 3);
    fake_comedi::deliver(counts, 4096);
    fake_comedi::failStream(EPIPE);
    ASSERT_TRUE(waitFor([&] { return failed(); }));
    drainEvents();

    // A whole half, then the 50 scans read into the next one, then the failure.
    ASSERT_EQ(rec.events.size(), 3u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[1].kind, Event::Second);
    ASSERT_EQ(rec.events[0].scaled.size(), 300u);
    ASSERT_EQ(rec.events[1].count, 150);
    for (size_t k = 0; k < 450; ++k)
        ASSERT_FLOAT_EQ(k < 300 ? rec.events[0].scaled[k] : rec.events[1].scaled[k - 300], volts(counts, k)) << k;
    EXPECT_NE(rec.events[2].message.find("overrun"), std::string::npos) << rec.events[2].message;
    EXPECT_EQ(ai.ErrorMessage(), rec.events[2].message);
    ai.StopFAI(0); // as the program does on the failure: nothing more arrives
    drainEvents();
    EXPECT_EQ(rec.events.size(), 3u);
}

TEST_F(ComediBuffered, ABoardUnpluggedMidRunFailsItWithThatReasonAfterWhatItDelivered)
{
    ai.setSampleRate(3000);
    start(600, false);
    fake_comedi::deliver(countsFor(100, 3), 512);
    fake_comedi::failStream(ENODEV);
    ASSERT_TRUE(waitFor([&] { return failed(); }));
    drainEvents();
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[0].count, 300);
    EXPECT_NE(rec.events[1].message.find("unplugged"), std::string::npos) << rec.events[1].message;
    EXPECT_NE(rec.events[1].message.find("fake-pcimio-16"), std::string::npos) << rec.events[1].message;
}

TEST_F(ComediBuffered, ASingleRunWhoseCommandEndsEarlyIsAFailureAfterTheScansItTook)
{
    ai.setSampleRate(3000);
    start(600, false);
    fake_comedi::deliver(countsFor(50, 3), 300);
    fake_comedi::endStream();
    ASSERT_TRUE(waitFor([&] { return failed(); }));
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0].kind, Event::First);
    EXPECT_EQ(rec.events[0].count, 150); // the 50 scans, not a whole half
    EXPECT_NE(rec.events[1].message.find("stopped sending data"), std::string::npos) << rec.events[1].message;
}

TEST_F(ComediBuffered, StartsTheBoardCannotMakeAreRefusedWithTheReasonAndNothingRuns)
{
    int32_t samples = 600;
    bool cyclic = true;
    // Channels 8 and 9 pair with 0 and 1 on this board: no differential scan of them.
    ai.setChanStart(8);
    ai.setChanCount(2);
    ai.setChannel(9);
    ai.setSignalConnection(ondrel::Connection::Differential);
    EXPECT_THROW(ai.StartFAI(samples, cyclic), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find("cannot scan these channels"), std::string::npos) << ai.ErrorMessage();
    EXPECT_EQ(samples, 600);
    ai.setSignalConnection(ondrel::Connection::SingleEnded);

    ai.setTriggerMode(ondrel::Trigger::Post);
    ai.setTriggerSource(ondrel::TriggerInput::AI0); // an analog level: the board starts on its digital input only
    EXPECT_THROW(ai.StartFAI(samples, cyclic), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find("digital trigger input"), std::string::npos) << ai.ErrorMessage();

    samples = 1;
    ai.setTriggerMode(ondrel::Trigger::None);
    EXPECT_THROW(ai.StartFAI(samples, cyclic), ondrel::ComponentError);
    EXPECT_FALSE(fake_comedi::commandRunning());
    drainEvents();
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(ComediBuffered, TriggersStartOnTheDigitalInputAndADelayDropsTheScansWithinIt)
{
    // The settings dialog's probe; the About mode needs data from before the trigger.
    ai.setTriggerMode(ondrel::Trigger::Delay);
    EXPECT_EQ(ai.TriggerMode(), ondrel::Trigger::Delay);
    EXPECT_THROW(ai.setTriggerMode(ondrel::Trigger::About), ondrel::ComponentError);
    EXPECT_EQ(ai.TriggerMode(), ondrel::Trigger::Delay);

    ai.setSampleRate(3000); // 1000 scans a second
    ai.setTriggerDelayTime(10.0);
    ai.setTriggerEdge(ondrel::Edge::Falling);
    EXPECT_EQ(start(600, false), 600);
    const comedi_cmd cmd = fake_comedi::lastCommand();
    EXPECT_EQ(cmd.start_src, static_cast<unsigned>(TRIG_EXT));
    EXPECT_EQ(cmd.start_arg, static_cast<unsigned>(CR_INVERT)); // the falling edge
    EXPECT_EQ(cmd.stop_arg, 210u);                              // the 10 scans of the delay, then the buffer's 200

    const auto counts = countsFor(210, 3);
    fake_comedi::deliver(counts, 100);
    ASSERT_TRUE(waitFor([&] { return rec.events.size() >= 3; }));
    ASSERT_EQ(rec.events[0].scaled.size(), 300u);
    EXPECT_FLOAT_EQ(rec.events[0].scaled[0], volts(counts, 30));
    EXPECT_FLOAT_EQ(rec.events[1].scaled[299], volts(counts, 629));
    EXPECT_EQ(rec.events[2].kind, Event::Terminated);
}

} // namespace
} // namespace kro
