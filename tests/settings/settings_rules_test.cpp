#include "kro/devices/sim_ai.h"
#include "ondrel/settings/box_validation.h"
#include "ondrel/settings/cyclic_sample_count.h"
#include "ondrel/settings/device_probes.h"
#include "ondrel/settings/di_selection.h"
#include "ondrel/settings/gain_list.h"
#include "ondrel/settings/box_numbers.h"
#include "ondrel/settings/range_text.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

TEST(NumberText, WholeNumbersRoundTiesToEvenAndRefuseWhatIsNoNumber)
{
    EXPECT_EQ(ParseWholeNumber("12"), 12);
    EXPECT_EQ(ParseWholeNumber(" 2.5 "), 2);
    EXPECT_EQ(ParseWholeNumber("3.5"), 4);
    EXPECT_EQ(ParseWholeNumber("-1.5"), -2);
    EXPECT_EQ(ParseWholeNumber("+7"), 7);
    for (const char* bad : {"", " ", "abc", "12abc", "1 2", "++1", "inf", "nan", "3e10", "-3e10"})
        EXPECT_EQ(ParseWholeNumber(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseReal("1e3"), 1000.0);
    EXPECT_EQ(ShortestReal(1000.0), "1000");
    EXPECT_EQ(ShortestReal(1234.5), "1234.5");
}

TEST(NumberText, RealsShowPlainDigitsUnlessVerySmallOrVeryLarge)
{
    // The general form at 15 significant digits: an exponent only below 1e-4
    // or from 1e15 on, never because it happens to be shorter.
    EXPECT_EQ(ShortestReal(100000.0), "100000");
    EXPECT_EQ(ShortestReal(0.0001), "0.0001");
    EXPECT_EQ(ShortestReal(250000.0), "250000");
    EXPECT_EQ(ShortestReal(-0.25), "-0.25");
    EXPECT_EQ(ShortestReal(0.1), "0.1");
    EXPECT_EQ(ShortestReal(123456789012345.0), "123456789012345");
    EXPECT_EQ(ShortestReal(1e15), "1e+15");
    EXPECT_EQ(ShortestReal(0.00001), "1e-05");
    EXPECT_EQ(ShortestReal(0.0), "0");
}

TEST(RangeText, LimitsKeepTheDecimalPointAndFourDecimalsAtMost)
{
    EXPECT_EQ(RangeLimitText(2.5), "2.5");
    EXPECT_EQ(RangeLimitText(10), "10.");
    EXPECT_EQ(RangeLimitText(0.00001), "0.");
    EXPECT_EQ(RangeLimitText(-0.3125), "-0.3125");
    EXPECT_EQ(RangeLimitText(-10), "-10.");
    EXPECT_EQ(RangeLimitText(0.12345678), "0.1235");
    EXPECT_EQ(RangeText(-10, 10), "-10. ~ 10. V");
    EXPECT_EQ(RangeText(-0.5, 0.5), "-0.5 ~ 0.5 V");
    EXPECT_EQ(RangeText(4, 20), "4. ~ 20. mA");
    EXPECT_EQ(RangeText(0, 20.5), "0. ~ 20.5 V"); // only exactly 20 is a current range
    EXPECT_EQ(RangeText(4, 20, true), "4. ~ 20. V");
}

TEST(RangeWalk, ListsTheCardsRangesAndFindsAChannelsPosition)
{
    kro::SimAI ai(kro::card::Differential16);
    const auto ranges = WalkRanges(ai);
    ASSERT_EQ(ranges.size(), 6u);
    EXPECT_EQ(RangeText(ranges[5].low, ranges[5].high), "4. ~ 20. mA");
    EXPECT_EQ(RangePosition(ai, 4, 20), 5);
    EXPECT_EQ(RangePosition(ai, -2.5, 2.5), 2);
    EXPECT_EQ(RangePosition(ai, -3, 3), std::nullopt);
    double low = 0, high = 10;
    ai.SetChannelRange(3, low, high);
    EXPECT_EQ(ChannelRangePosition(ai, 3), 4);
}

TEST(DeviceProbes, PacerValueTwoIsRewrittenAsExternalClockZero)
{
    kro::SimAI ai(kro::card::Differential16);
    ai.setPacerSource(Pacer::Either);
    EXPECT_EQ(ProbePacer(ai).position, 1);
    EXPECT_EQ(ai.PacerSource(), Pacer::ExternalClock);
    ai.setPacerSource(Pacer::Internal);
    const PacerProbe internal = ProbePacer(ai);
    EXPECT_TRUE(internal.offersChoice);
    EXPECT_EQ(internal.position, 0);
    EXPECT_EQ(ai.PacerSource(), Pacer::Internal); // the probe's Either was taken back

    kro::SimAI basic(kro::card::Basic);
    EXPECT_FALSE(ProbePacer(basic).offersChoice);
    EXPECT_EQ(ProbePacer(basic).position, -1);
}

TEST(DeviceProbes, TriggersAreFoundOnlyWhereTheModeTakesTwoAndTheModeIsKept)
{
    kro::SimAI ai(kro::card::Differential16);
    ai.setTriggerMode(Trigger::About);
    EXPECT_TRUE(ProbeTrigger(ai));
    EXPECT_EQ(ai.TriggerMode(), Trigger::About);
    kro::SimAI basic(kro::card::Basic);
    EXPECT_FALSE(ProbeTrigger(basic));
}

TEST(DISelection, MasksReduceToPortSpanAndLineCount)
{
    EXPECT_EQ(CountBit1(0), 0);
    EXPECT_EQ(CountBit1(0x24), 2);
    EXPECT_EQ(CountBit1(0xFF), 8);

    const uint8_t port1[] = {0x00, 0x24, 0x00, 0x00}; // lines 2 and 5 of port 1
    DISpan s = ReduceDIMasks(port1, 3);
    EXPECT_EQ(s.nDIChanCount, 2);
    EXPECT_EQ(s.nDIPortStart, 1);
    EXPECT_EQ(s.nDIPortCount, 1);

    const uint8_t ends[] = {0x01, 0x00, 0x81, 0x00}; // empty middle port is polled too
    s = ReduceDIMasks(ends, 3);
    EXPECT_EQ(s.nDIChanCount, 3);
    EXPECT_EQ(s.nDIPortStart, 0);
    EXPECT_EQ(s.nDIPortCount, 3);

    const uint8_t none[] = {0, 0, 0, 0};
    s = ReduceDIMasks(none, 3);
    EXPECT_EQ(s.nDIChanCount, 0);
    EXPECT_EQ(s.nDIPortStart, 3);
    EXPECT_EQ(s.nDIPortCount, 0);

    const uint8_t spare[] = {0, 0, 0, 0x10}; // the spare entry is counted, never polled
    s = ReduceDIMasks(spare, 3);
    EXPECT_EQ(s.nDIChanCount, 1);
    EXPECT_EQ(s.nDIPortCount, 0);
}

TEST(CyclicSampleCount, HalfTheRateTiesToEvenWithAFloorOf4096)
{
    EXPECT_EQ(CyclicSampleCount(10000), 5000);
    EXPECT_EQ(CyclicSampleCount(8191), 4096);
    EXPECT_EQ(CyclicSampleCount(8193), 4096);
    EXPECT_EQ(CyclicSampleCount(8195), 4098);
    EXPECT_EQ(CyclicSampleCount(100), 4096);
}

TEST(BoxValidation, EachBoxHasItsMessageAndResetText)
{
    struct Case {
        const char* box;
        const char* text;
        const char* message;
        const char* reset;
    };
    const Case refused[] = {
        {"txtAIScanStart_0", "x", "please input a valid number", "0"},
        {"txtAIScanStart_1", "", "please input a valid number", "0"},
        {"txtAIScanNumber_1", "two", "please input a valid number", "1"},
        {"txtCount", "lots", "Please input a valid number", "4096"},
        {"txtCount", "4095", "DataCount should be at least 4096 for FAI", "4096"},
        {"txtSampleRate", "abc", "Please input a valide number", "1"},
        {"txtSampleRate", "0.5", "Sample rate should not be less than 1", "1"},
        {"txtTriggerDelayTime", "soon", "Invalid delay time", "0"},
        {"txtTriggerAfterTimeinAboveMode", "-", "Invalid after time for about mode", "0"},
        {"txtTriggerVoltage", "5V", "Invalid trigger voltage", "1"},
        {"txtAITimeInterval", "0", "please input a number between 1 and 65535", "65535"},
        {"txtAITimeInterval", "65536", "please input a number between 1 and 65535", "65535"},
        {"txtAITimeInterval", "x", "please input a number between 1 and 65535", "65535"},
    };
    for (const Case& c : refused) {
        const auto rejection = CheckBox(c.box, c.text);
        ASSERT_TRUE(rejection.has_value()) << c.box << " " << c.text;
        EXPECT_EQ(rejection->message, c.message) << c.box;
        EXPECT_EQ(rejection->resetText, c.reset) << c.box;
    }
    // No upper bounds, no channel range checks: the device judges those.
    for (const auto& [box, text] : std::vector<std::pair<const char*, const char*>>{{"txtAIScanStart_0", "999"},
                                                                                    {"txtAIScanNumber_0", "-3"},
                                                                                    {"txtCount", "4096"},
                                                                                    {"txtSampleRate", "1"},
                                                                                    {"txtSampleRate", "1e9"},
                                                                                    {"txtTriggerVoltage", "-100"},
                                                                                    {"txtAITimeInterval", "65535"},
                                                                                    {"txtAITimeInterval", "1"}})
        EXPECT_EQ(CheckBox(box, text), std::nullopt) << box << " " << text;
}

TEST(GainList, LogicalNumbersShareAPairsNumberExceptOnCardsThatCountTheirOwn)
{
    const int32_t pairThenSingle[] = {1, 1, 0};
    EXPECT_EQ(GainListLogicalNumbers(pairThenSingle, false), (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(GainListLogicalNumbers(pairThenSingle, true), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(ChannelLabel(0), "Chan00");
    EXPECT_EQ(ChannelLabel(15), "Chan15");
    EXPECT_EQ(ChannelLabel(-1), "Chan-1");
}

TEST(GainList, APairTakesTheEvenChannelsThermocoupleSettings)
{
    AcquisitionSetup setup;
    setup.aiChannels.resize(5);
    AIChannelSetting& even = setup.aiChannels[2];
    even.bAIChanIsThermo = true;
    even.nAIChanExpChan = 7;
    even.nAIChanTempScale = 2;
    even.nAIChanTCType = 3;
    CopyPairSettings(setup, 3); // from the odd half as from the even one
    EXPECT_TRUE(setup.aiChannels[3].bAIChanIsThermo);
    EXPECT_EQ(setup.aiChannels[3].nAIChanTCType, 3);
    EXPECT_EQ(setup.aiChannels[3].nAIChanExpChan, 7);
    EXPECT_EQ(setup.aiChannels[3].nAIChanTempScale, 0); // the scale is not a pair setting
    CopyPairSettings(setup, 4);                         // no partner in the table: nothing happens
    EXPECT_EQ(PairPartner(2), 3);
    EXPECT_EQ(PairPartner(3), 2);
}

} // namespace
} // namespace ondrel
