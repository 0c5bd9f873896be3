#include "kro/devices/device_chooser.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "support/recorded_prompts.h"
#include "kro/devices/sim_signal.h"
#include <QListWidget>
#include <climits>
#include <gtest/gtest.h>

using namespace kro;
using namespace ondrel;
using ondrel::ComponentError;

namespace {

// Expects `call` to throw a ComponentError whose text is also the component's ErrorMessage.
template <typename F>
void expectRefused(SimAI& ai, F call)
{
    try {
        call();
        ADD_FAILURE() << "accepted";
    } catch (const ComponentError& e) {
        EXPECT_FALSE(std::string(e.what()).empty());
        EXPECT_EQ(ai.ErrorMessage(), e.what());
    }
}

// The settings dialog's probe: a card with the choice takes `probe` and reads it back.
template <typename Code>
bool probe(Code probe, Code (SimAI::*get)() const, void (SimAI::*set)(Code), SimAI& ai)
{
    const Code saved = (ai.*get)();
    (ai.*set)(probe);
    const bool accepted = (ai.*get)() == probe;
    if (accepted)
        (ai.*set)(saved);
    return accepted;
}

} // namespace

TEST(SimAI, StartsWithACardReadyForAQuickStart)
{
    SimAI ai;
    EXPECT_GE(ai.DeviceNumber(), 0);
    EXPECT_FALSE(ai.DeviceName().empty());
    EXPECT_GE(ai.ChanCount(), 1);
    EXPECT_GT(ai.SampleRate(), 0.0);
    EXPECT_EQ(ai.DataReturnType(), SampleData::Scaled);
    int32_t count = 4096;
    bool cyclic = false;
    EXPECT_NO_THROW(ai.StartFAI(count, cyclic));
    ai.StopFAI(0);
}

TEST(SimAI, SelectsByNumberAndCanBeLeftWithoutDevice)
{
    SimAI ai;
    ai.SelectDeviceNumber(card::Model5342);
    EXPECT_EQ(ai.DeviceNumber(), card::Model5342);
    EXPECT_EQ(ai.AIResolution(), 12);
    EXPECT_EQ(ai.MaxChanCount(), 16);

    expectRefused(ai, [&] { ai.SelectDeviceNumber(99); });
    EXPECT_EQ(ai.DeviceNumber(), card::Model5342);

    ai.SelectDeviceNumber(-1);
    EXPECT_LT(ai.DeviceNumber(), 0);
    EXPECT_EQ(ai.DeviceName(), "No Device");
    expectRefused(ai, [&] { ai.setChannel(0); });
    expectRefused(ai, [&] { ai.ReadScan(true); });
    double low = 1, high = 1;
    int32_t code = 0;
    ai.GetFirstRange(low, high, code);
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 0.0);
}

TEST(SimAI, PacerAndTriggerProbesReadBackTwoOnlyWhereTheCardHasThem)
{
    SimAI ai(card::Differential16);
    ai.setPacerSource(Pacer::ExternalClock);
    EXPECT_TRUE(probe(Pacer::Either, &SimAI::PacerSource, &SimAI::setPacerSource, ai));
    EXPECT_EQ(ai.PacerSource(), Pacer::ExternalClock); // the probe restored it
    ai.setTriggerMode(Trigger::About);
    EXPECT_TRUE(probe(Trigger::Delay, &SimAI::TriggerMode, &SimAI::setTriggerMode, ai));
    EXPECT_EQ(ai.TriggerMode(), Trigger::About);
    expectRefused(ai, [&] { ai.setPacerSource(static_cast<Pacer>(3)); });
    expectRefused(ai, [&] { ai.setTriggerMode(static_cast<Trigger>(4)); });

    ai.SelectDeviceNumber(card::Basic);
    EXPECT_FALSE(probe(Pacer::Either, &SimAI::PacerSource, &SimAI::setPacerSource, ai));
    EXPECT_FALSE(probe(Trigger::Delay, &SimAI::TriggerMode, &SimAI::setTriggerMode, ai));
    EXPECT_NO_THROW(ai.setPacerSource(Pacer::None)); // "no choice offered"
    EXPECT_EQ(ai.PacerSource(), Pacer::Internal);
}

TEST(SimAI, DifferentialConnectionTakesEvenOddPairs)
{
    SimAI ai(card::Differential16);
    double low = -2.5, high = 2.5;
    ai.SetChannelRange(2, low, high);
    ai.setChannel(2);
    ai.setSignalConnection(Connection::Differential);
    for (int32_t ch = 0; ch < 5; ++ch) {
        ai.setChannel(ch);
        EXPECT_EQ(ai.SignalConnection(), ch == 2 || ch == 3 ? Connection::Differential : Connection::SingleEnded) << ch;
    }
    int32_t code = 0;
    ai.GetChannelRange(3, low, high, code); // a pair measures in its even channel's range
    EXPECT_EQ(low, -2.5);
    EXPECT_EQ(high, 2.5);

    ai.setChannel(3);
    ai.setSignalConnection(Connection::SingleEnded);
    ai.setChannel(2);
    EXPECT_EQ(ai.SignalConnection(), Connection::SingleEnded);
    expectRefused(ai, [&] { ai.setSignalConnection(static_cast<Connection>(2)); });
}

TEST(SimAI, FixedConnectionCardsRefuseTheOtherValueSilently)
{
    struct Case {
        int32_t number;
        Connection fixed;
    };
    for (const Case c : {Case{card::Thermo5348, Connection::Differential},
                         Case{card::Thermo9948, Connection::SingleEnded}, Case{card::Basic, Connection::SingleEnded}}) {
        SimAI ai(c.number);
        ai.setChannel(5);
        EXPECT_EQ(ai.SignalConnection(), c.fixed);
        EXPECT_NO_THROW(ai.setSignalConnection(c.fixed == Connection::Differential ? Connection::SingleEnded
                                                                                   : Connection::Differential));
        EXPECT_EQ(ai.SignalConnection(), c.fixed) << ai.DeviceName();
    }
}

TEST(SimAI, RangeWalkIsInCardOrderAndEndsWithZeros)
{
    SimAI ai(card::Differential16);
    const std::vector<std::pair<double, double>> expected{{-10, 10},     {-5, 5}, {-2.5, 2.5},
                                                          {-1.25, 1.25}, {0, 10}, {4, 20}};
    for (int round = 0; round < 2; ++round) { // GetFirstRange restarts the walk
        std::vector<std::pair<double, double>> walked;
        std::vector<int32_t> codes;
        double low = 0, high = 0;
        int32_t code = 0;
        ai.GetFirstRange(low, high, code);
        while (!(low == 0.0 && high == 0.0) && walked.size() < 20) {
            walked.emplace_back(low, high);
            codes.push_back(code);
            ai.GetNextRange(low, high, code);
        }
        EXPECT_EQ(walked, expected);
        ai.GetNextRange(low, high, code); // stays at the end
        EXPECT_EQ(low, 0.0);
        EXPECT_EQ(high, 0.0);

        // Each walked entry can be set and reads back as that entry.
        for (size_t i = 0; i < walked.size(); ++i) {
            double l = walked[i].first, h = walked[i].second;
            ai.SetChannelRange(7, l, h);
            double gl = 0, gh = 0;
            int32_t gc = -1;
            ai.GetChannelRange(7, gl, gh, gc);
            EXPECT_EQ(std::make_pair(gl, gh), walked[i]);
            EXPECT_EQ(gc, codes[i]);
        }
    }
}

TEST(SimAI, RefusesValuesTheCardCannotTake)
{
    SimAI ai(card::Differential16);
    double low = -3, high = 3;
    expectRefused(ai, [&] { ai.SetChannelRange(0, low, high); });
    low = -10;
    high = 10;
    expectRefused(ai, [&] { ai.SetChannelRange(16, low, high); });
    expectRefused(ai, [&] { ai.setChannel(16); });
    expectRefused(ai, [&] { ai.setChannel(-1); });
    expectRefused(ai, [&] { ai.setChanStart(16); });
    expectRefused(ai, [&] { ai.setChanCount(0); });
    expectRefused(ai, [&] { ai.setChanCount(17); });
    expectRefused(ai, [&] { ai.setSampleRate(250e3 + 1); });
    expectRefused(ai, [&] { ai.setSampleRate(0); });
    expectRefused(ai, [&] { ai.setSampleRate(std::numeric_limits<double>::quiet_NaN()); });
    expectRefused(ai, [&] { ai.setDataReturnType(static_cast<SampleData>(3)); });
    expectRefused(ai, [&] { ai.setTriggerDelayTime(-1); });
    expectRefused(ai, [&] { ai.setTriggerEdge(static_cast<Edge>(2)); });
    expectRefused(ai, [&] { ai.setTriggerSource(static_cast<TriggerInput>(5)); });
    EXPECT_EQ(ai.SampleRate(), 1000.0); // refused values leave the setting alone

    ai.setSampleRate(250e3);
    EXPECT_EQ(ai.SampleRate(), 250e3);
    ai.SelectDeviceNumber(card::Fast);
    ai.setSampleRate(20e6);
    EXPECT_EQ(ai.SampleRate(), 20e6);
}

TEST(SimAI, ReadScanReturnsOneValuePerScannedChannelFromTheSignal)
{
    SimAI ai(card::Basic); // 8 channels: the scan wraps past the last one
    ai.setChanStart(6);
    ai.setChanCount(3);
    double low = -5, high = 5;
    ai.SetChannelRange(0, low, high);
    const auto& c = *ai.card();
    std::vector<SimRange> ranges(8, c.ranges[0]);
    ranges[0] = c.ranges[1];
    for (int64_t scan = 0; scan < 3; ++scan) {
        const std::vector<double> values = ai.ReadScan(true);
        ASSERT_EQ(values.size(), 3u);
        for (int64_t i = 0; i < 3; ++i)
            EXPECT_EQ(values[static_cast<size_t>(i)], SimSignal::runSample(c, 6, 3, ranges, scan * 3 + i).value);
    }
    const std::vector<double> raw = ai.ReadScan(false);
    EXPECT_EQ(raw[0], SimSignal::runSample(c, 6, 3, ranges, 9).code);
}

TEST(DeviceChooser, ListsNumberAndNameWithTheCurrentCardSelected)
{
    const std::vector<ondrel::DeviceEntry> devices{{0, "first"}, {1, "second"}, {2, "third"}, {3, "Add...", true}};
    DeviceChooser chooser("Select AI Device", devices, 1);
    EXPECT_EQ(chooser.list()->count(), 4);
    EXPECT_EQ(chooser.chosenNumber(), 1);
    EXPECT_EQ(chooser.list()->item(2)->text(), "2: third");
    EXPECT_EQ(chooser.list()->item(3)->text(), "Add..."); // an action, not a device
    chooser.list()->setCurrentRow(3);
    EXPECT_EQ(chooser.chosenNumber(), 3);
    chooser.list()->setCurrentRow(2);
    EXPECT_EQ(chooser.chosenNumber(), 2);
    chooser.list()->setCurrentRow(-1);
    EXPECT_EQ(chooser.chosenNumber(), std::nullopt);
}

TEST(DeviceChooser, SelectDeviceAsksThePromptsAndKeepsTheCardOnCancel)
{
    ondrel::testing::RecordedPrompts prompts;
    SimAI ai(card::Differential16, &prompts);
    ai.setChanCount(7);

    prompts.deviceAnswers = {std::nullopt, card::Differential16, card::Basic};
    ai.SelectDevice(); // cancelled
    ai.SelectDevice(); // the same card again
    EXPECT_EQ(ai.DeviceNumber(), card::Differential16);
    EXPECT_EQ(ai.ChanCount(), 7); // its settings kept
    ai.SelectDevice();
    EXPECT_EQ(ai.DeviceNumber(), card::Basic);

    ASSERT_EQ(prompts.choosers.size(), 3u);
    EXPECT_EQ(prompts.choosers[0].title, "Select AI Device");
    EXPECT_EQ(prompts.choosers[0].current, card::Differential16);
    ASSERT_EQ(prompts.choosers[0].devices.size(), aiCatalogue().size());
    EXPECT_EQ(prompts.choosers[0].devices[card::Basic].number, card::Basic);
    EXPECT_EQ(prompts.choosers[0].devices[card::Basic].name, aiCatalogue()[card::Basic].name);

    SimDIO dio(card::Di3Ports, &prompts);
    prompts.deviceAnswers = {std::nullopt, card::Di0Ports};
    dio.SelectDevice();
    EXPECT_EQ(dio.DeviceNumber(), card::Di3Ports);
    dio.SelectDevice();
    EXPECT_EQ(dio.PortCount(), 0);
    EXPECT_EQ(prompts.choosers.back().title, "Select DI Device");
    EXPECT_EQ(prompts.choosers.back().devices[card::Di0Ports].name, "KroSim-DI00 no ports");

    SimAI unowned; // no chooser to ask: refused with a message, not a crash
    expectRefused(unowned, [&] { unowned.SelectDevice(); });
}
