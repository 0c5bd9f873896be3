#include "demo_support.h"
#include "devices/buffered_support.h"
#include "kro/devices/all_devices_ai.h"
#include "kro/devices/sigrok/sigrok_ai.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "support/recorded_prompts.h"
#include <chrono>
#include <gtest/gtest.h>
#include <libsigrok/libsigrok.h>

namespace kro {
namespace {

using testing::Event;

// The AI component the program gets, with the demo device chosen in its chooser.
class DemoAITest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto number = testing::demoNumber(DeviceKind::AnalogInput);
        ASSERT_TRUE(number) << "libsigrok's demo driver found no device";
        demo = *number;
        prompts.deviceAnswers.push_back(demo);
        ai.SelectDevice();
        ai.setEvents(&recorder);
        ASSERT_EQ(ai.DeviceName(), testing::kDemoName);
    }
    void TearDown() override { ai.StopFAI(0); }

    std::vector<Event::Kind> kinds() const
    {
        std::vector<Event::Kind> k;
        for (const auto& e : recorder.events)
            k.push_back(e.kind);
        return k;
    }

    int32_t demo = -1;
    ondrel::testing::RecordedPrompts prompts;
    AllDevicesAI ai{DeviceRegistry::standard(), &prompts};
    testing::Recorder recorder;
};

TEST_F(DemoAITest, TheChooserOffersTheSimulatedCardsFirstAndTheDemoNumberedAfterThem)
{
    ASSERT_EQ(prompts.choosers.size(), 1u);
    const auto& offered = prompts.choosers[0].devices;
    ASSERT_GT(offered.size(), aiCatalogue().size());
    for (size_t i = 0; i < aiCatalogue().size(); ++i)
        EXPECT_EQ(offered[i].name, aiCatalogue()[i].name);
    EXPECT_GE(demo, static_cast<int32_t>(aiCatalogue().size()));
    EXPECT_EQ(ai.DeviceNumber(), demo);
    EXPECT_GE(ai.MaxChanCount(), 4); // A0 .. A3 at least

    ai.SelectDeviceNumber(card::Basic); // and back to a card
    EXPECT_EQ(ai.DeviceName(), aiCatalogue()[card::Basic].name);
    EXPECT_THROW(ai.SelectDeviceNumber(demo + 1000), ondrel::ComponentError);
    EXPECT_NE(ai.ErrorMessage().find("no analog input device"), std::string::npos);
}

TEST_F(DemoAITest, ASingleRunCutsTheStreamIntoTwoInterleavedHalvesOfWholeScansThenTerminates)
{
    ai.setChanStart(0);
    ai.setChanCount(4);
    ai.setSampleRate(4000.0); // 1 kS/s on each channel
    int32_t count = 398;      // not whole scans in each half: taken up to 400
    bool cyclic = false;
    ai.StartFAI(count, cyclic);
    EXPECT_EQ(count, 400);
    ASSERT_TRUE(testing::waitFor([&] { return recorder.events.size() >= 3; }));
    ASSERT_EQ(kinds(), (std::vector<Event::Kind>{Event::First, Event::Second, Event::Terminated}));
    EXPECT_FALSE(recorder.offThread);
    std::vector<float> all;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(recorder.events[i].count, 200);
        ASSERT_EQ(recorder.events[i].scaled.size(), 200u);
        EXPECT_TRUE(recorder.events[i].raw.empty());
        all.insert(all.end(), recorder.events[i].scaled.begin(), recorder.events[i].scaled.end());
    }
    testing::expectSquare(testing::column(all, 4, 0));
    testing::expectSawtooth(testing::column(all, 4, 3));
}

TEST_F(DemoAITest, ACyclicRunAlternatesHalvesWithoutAGapUntilStoppedAndNothingArrivesAfterStop)
{
    ai.setChanStart(2); // A2, A3
    ai.setChanCount(2);
    ai.setSampleRate(20000.0); // halves of 50 ms
    int32_t count = 2000;
    bool cyclic = true;
    ai.StartFAI(count, cyclic);
    ASSERT_TRUE(testing::waitFor([&] { return recorder.events.size() >= 6; }));
    const auto stopStarted = std::chrono::steady_clock::now();
    ai.StopFAI(0);
    EXPECT_LT(std::chrono::steady_clock::now() - stopStarted, std::chrono::seconds(1));
    const size_t atStop = recorder.events.size();
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.events.size(), atStop);

    std::vector<float> a3;
    for (size_t i = 0; i < atStop; ++i) {
        ASSERT_EQ(recorder.events[i].kind, i % 2 == 0 ? Event::First : Event::Second);
        const auto part = testing::column(recorder.events[i].scaled, 2, 1);
        a3.insert(a3.end(), part.begin(), part.end());
    }
    testing::expectSawtooth(a3); // continuous across every half
}

TEST_F(DemoAITest, RawRunsCarryCountsOfTheSixteenBitRange)
{
    ai.setChanStart(0);
    ai.setChanCount(1);
    ai.setSampleRate(1000.0);
    ai.setDataReturnType(ondrel::SampleData::RawCounts);
    int32_t count = 40;
    bool cyclic = false;
    ai.StartFAI(count, cyclic);
    ASSERT_TRUE(testing::waitFor([&] { return recorder.events.size() >= 3; }));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(recorder.events[i].scaled.empty());
        for (const int16_t r : recorder.events[i].raw) // -10 V and +10 V of -10 .. 10 V
            EXPECT_TRUE(static_cast<uint16_t>(r) == 0 || static_cast<uint16_t>(r) == 65535) << r;
    }
}

TEST_F(DemoAITest, ADeviceThatEndsItsStreamMidRunTakesTheFailurePath)
{
    SigrokDevice& device = *testing::sigrokBackend().find(demo);
    const auto limit = [&](uint64_t samples) {
        SigrokHost::instance().call(
            [&] { sr_config_set(device.instance(), nullptr, SR_CONF_LIMIT_SAMPLES, g_variant_new_uint64(samples)); });
    };
    limit(30); // the demo stops by itself after 30 scans, as an unplugged instrument would
    ai.setChanCount(1);
    ai.setSampleRate(1000.0);
    int32_t count = 100;
    bool cyclic = false;
    ai.StartFAI(count, cyclic);
    const bool ended =
        testing::waitFor([&] { return !recorder.events.empty() && recorder.events.back().kind == Event::Failure; });
    limit(UINT64_MAX); // the demo takes no 0 for "no limit"
    ASSERT_TRUE(ended);
    // 30 scans fill no half of 50: they come as a shorter first half, then the failure.
    ASSERT_EQ(kinds(), (std::vector<Event::Kind>{Event::First, Event::Failure}));
    EXPECT_EQ(recorder.events[0].count, 30);
    EXPECT_NE(recorder.events.back().message.find("stopped sending data"), std::string::npos);
    EXPECT_EQ(ai.ErrorMessage(), recorder.events.back().message);

    int32_t again = 100; // the device is usable again
    ai.StartFAI(again, cyclic);
    ASSERT_TRUE(testing::waitFor([&] { return recorder.events.size() >= 5; }));
    EXPECT_EQ(recorder.events[4].kind, Event::Terminated);
}

TEST_F(DemoAITest, AnInstrumentThatFallsSilentWithoutEndingItsStreamFailsRunsAndPolledReads)
{
    SigrokDevice& device = *testing::sigrokBackend().find(demo);
    device.setStallLimit(std::chrono::milliseconds(300)); // the demo at 1 S/s sends once a second
    ai.setChanCount(1);
    ai.setSampleRate(1.0);
    int32_t count = 100;
    bool cyclic = true;
    ai.StartFAI(count, cyclic);
    const bool failed =
        testing::waitFor([&] { return !recorder.events.empty() && recorder.events.back().kind == Event::Failure; });
    std::string polled; // polled reads, between the demo's samples, fail as soon as it is silent too long
    testing::waitFor([&] {
        try {
            ai.ReadScan(true);
        } catch (const ondrel::ComponentError& error) {
            polled = error.what();
        }
        return !polled.empty();
    });
    device.setStallLimit(std::chrono::milliseconds(0));
    ASSERT_TRUE(failed);
    // A sample the demo sent before falling silent comes first, as a shorter half.
    ASSERT_LE(recorder.events.size(), 2u);
    if (recorder.events.size() == 2) {
        EXPECT_EQ(recorder.events[0].kind, Event::First);
        EXPECT_LT(recorder.events[0].count, 50);
    }
    EXPECT_NE(recorder.events.back().message.find("sent nothing"), std::string::npos) << recorder.events.back().message;
    EXPECT_NE(polled.find("sent nothing"), std::string::npos) << polled;
}

TEST_F(DemoAITest, PolledReadsGiveTheNewestValueOfEachScannedChannelAndWaitForNoRun)
{
    ai.setChanStart(0);
    ai.setChanCount(4);
    ai.setSampleRate(4000.0);
    for (int read = 0; read < 5; ++read) {
        const std::vector<double> scan = ai.ReadScan(true);
        ASSERT_EQ(scan.size(), 4u);
        EXPECT_TRUE(scan[0] == 10.0 || scan[0] == -10.0) << scan[0];
        EXPECT_GE(scan[3], -10.0);
        EXPECT_LE(scan[3], 9.0);
    }
    const std::vector<double> raw = ai.ReadScan(false);
    EXPECT_TRUE(raw[0] == 0.0 || raw[0] == 65535.0) << raw[0];

    int32_t count = 2000;
    bool cyclic = true;
    ai.StartFAI(count, cyclic);
    EXPECT_THROW(ai.ReadScan(true), ondrel::ComponentError); // as on the cards
    ai.StopFAI(0);
    EXPECT_EQ(ai.ReadScan(true).size(), 4u); // and back to polling
}

TEST_F(DemoAITest, SettingsReadBackAsTheDeviceTakesThemAndTriggersItCannotDoAreRefused)
{
    ai.setChanCount(4);
    ai.setSampleRate(4000.0);
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 4000.0);
    ai.setSampleRate(10.0); // 2.5 Hz a channel: the device runs each at a whole 3 Hz
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 12.0);
    ai.setChanCount(2); // the aggregate asked for is kept over the new count
    EXPECT_DOUBLE_EQ(ai.SampleRate(), 10.0);
    EXPECT_THROW(ai.setSampleRate(-1.0), ondrel::ComponentError);

    EXPECT_THROW(ai.setTriggerMode(ondrel::Trigger::Post), ondrel::ComponentError);
    EXPECT_EQ(ai.TriggerMode(), ondrel::Trigger::None);
    EXPECT_NE(ai.ErrorMessage().find("cannot trigger"), std::string::npos);
    ai.setSignalConnection(ondrel::Connection::Differential); // nothing to wire differentially
    EXPECT_EQ(ai.SignalConnection(), ondrel::Connection::SingleEnded);

    double low = 0, high = 0;
    int32_t code = -1;
    ai.GetFirstRange(low, high, code);
    EXPECT_EQ(code, 0);
    EXPECT_LT(low, high);
    ai.GetNextRange(low, high, code);
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 0.0);
    double wrongLow = -3, wrongHigh = 3;
    EXPECT_THROW(ai.SetChannelRange(0, wrongLow, wrongHigh), ondrel::ComponentError);
}

TEST_F(DemoAITest, StopHandsOverEveryWholeScanTheInstrumentDeliveredSinceTheLastHalf)
{
    ai.SelectDeviceNumber(card::Basic); // the demo's own component, to see what it has taken
    SigrokAI demoAI(*testing::sigrokBackend().find(demo), demo);
    testing::Recorder rec;
    demoAI.setEvents(&rec);
    demoAI.setChanStart(0);
    demoAI.setChanCount(4);
    demoAI.setSampleRate(40000.0); // 10 kS/s a channel
    int32_t count = 40000;         // halves of 5,000 scans: half a second
    bool cyclic = true;
    demoAI.StartFAI(count, cyclic);
    int64_t delivered = 0;
    rec.onEvent = [&](const Event& e) { delivered += e.count; };
    // A half delivered and more scans taken from the instrument since.
    ASSERT_TRUE(testing::waitFor([&] { return delivered >= 20000 && demoAI.scansReceived() * 4 > delivered; }));
    const int64_t received = demoAI.scansReceived();
    demoAI.StopFAI(0);
    testing::drainEvents();

    EXPECT_GE(delivered, received * 4);
    EXPECT_EQ(delivered % 4, 0);
    std::vector<float> all;
    for (size_t i = 0; i < rec.events.size(); ++i) {
        ASSERT_EQ(rec.events[i].kind, i % 2 == 0 ? Event::First : Event::Second);
        all.insert(all.end(), rec.events[i].scaled.begin(), rec.events[i].scaled.end());
    }
    EXPECT_EQ(static_cast<int64_t>(all.size()), delivered);
    testing::expectSquare(testing::column(all, 4, 0));
    testing::expectSawtooth(testing::column(all, 4, 3)); // no gap before the last, shorter half
}

} // namespace
} // namespace kro
