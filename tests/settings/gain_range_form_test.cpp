#include "settings/fake_form_view.h"
#include "support/recorded_prompts.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "kro/devices/sim_thermo.h"
#include "ondrel/settings/channel_tables.h"
#include "ondrel/settings/gain_range_form.h"
#include <gtest/gtest.h>

namespace ondrel {
namespace {

enum Column { kChannel, kLogical, kConnection, kKind, kRangeOrType, kExpChan };

// The range dialog's behaviour on the simulated cards, its controls faked.
class GainRangeTest : public ::testing::Test {
protected:
    testing::RecordedPrompts prompts;
    kro::SimAI ai{kro::card::Differential16};
    kro::SimDIO dio;
    kro::SimThermo thermo;
    AcquisitionSetup setup;
    testing::FakeFormView view{GainRangeDialogControls()};
    std::unique_ptr<GainRangeForm> form;

    void Open(int32_t card, bool fromFastTab = false)
    {
        ai.SelectDeviceNumber(card);
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, SetAIColors());
        Reopen(fromFastTab);
    }
    // A fresh dialog over the devices and set-up as they are.
    void Reopen(bool fromFastTab = false)
    {
        view = testing::FakeFormView(GainRangeDialogControls());
        form = std::make_unique<GainRangeForm>(view, GainRangeParts{setup, ai, thermo, prompts, fromFastTab});
        form->Form_Load();
    }
    void Choose(const std::string& list, int position) { view.Select(list, position); }
};

TEST_F(GainRangeTest, OpeningListsEveryChannelAndTheRangesInWalkOrder)
{
    Open(kro::card::Differential16);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(view.Items("ComboRange"), (std::vector<std::string>{"-10. ~ 10. V", "-5. ~ 5. V", "-2.5 ~ 2.5 V",
                                                                  "-1.25 ~ 1.25 V", "0. ~ 10. V", "4. ~ 20. mA"}));
    EXPECT_EQ(view.Selected("ComboRange"), 0);
    EXPECT_EQ(view.Items("ComboTCType").size(), 7u);
    EXPECT_EQ(view.Items("ComboExpChan").back(), "15");
    const auto channels = view.Column(kChannel);
    ASSERT_EQ(channels.size(), 16u);
    EXPECT_EQ(channels[15], "Chan15");
    EXPECT_EQ(view.Column(kRangeOrType)[3], "-10. ~ 10. V");
    EXPECT_EQ(view.Column(kExpChan)[3], "NA");
    EXPECT_EQ(view.Column(kKind)[3], "AI");
    EXPECT_TRUE(view.Checked("optSingle"));
    EXPECT_TRUE(view.Checked("OptAI"));
    EXPECT_FALSE(view.IsEnabled("FrameThermo"));
    EXPECT_FALSE(view.IsEnabled("OptThermo")); // no thermocouples on this card
    EXPECT_TRUE(view.IsEnabled("optDifferent"));
    EXPECT_EQ(ai.Channel(), 0);
}

TEST_F(GainRangeTest, ChoosingARangeSetsTheCurrentChannelAtOnce)
{
    Open(kro::card::Differential16);
    form->lstViewGain_ItemClick(2);
    Choose("ComboRange", 5);
    form->ComboRange_Click();
    double low = 0, high = 0;
    int32_t code = 0;
    ai.GetChannelRange(2, low, high, code);
    EXPECT_EQ(low, 4.0);
    EXPECT_EQ(high, 20.0);
    EXPECT_EQ(view.Column(kRangeOrType)[2], "4. ~ 20. mA");
    form->lstViewGain_ItemClick(3);
    EXPECT_EQ(view.Selected("ComboRange"), 0);
    form->lstViewGain_ItemClick(2);
    EXPECT_EQ(view.Selected("ComboRange"), 5);
}

TEST_F(GainRangeTest, LogicalColumnSharesAPairsNumber)
{
    Open(kro::card::Differential16);
    form->lstViewGain_ItemClick(0);
    view.SetChecked("optDifferent", true);
    form->optDifferent_Click();
    const auto logical = view.Column(kLogical);
    EXPECT_EQ(std::vector<std::string>(logical.begin(), logical.begin() + 3),
              (std::vector<std::string>{"Chan00", "Chan00", "Chan01"}));
    EXPECT_EQ(view.Column(kConnection)[1], "Differential");
    EXPECT_EQ(view.Column(kConnection)[2], "Single-Ended");
    view.SetChecked("optSingle", true);
    form->optSingle_Click();
    EXPECT_EQ(view.Column(kLogical)[1], "Chan01");
}

TEST_F(GainRangeTest, CardsCountingTheirOwnChannelsNumberEveryChannelAndKeepTheConnection)
{
    // The 5348QX is wired differential throughout and its name contains "48".
    Open(kro::card::Thermo5348);
    const auto logical = view.Column(kLogical);
    EXPECT_EQ(std::vector<std::string>(logical.begin(), logical.begin() + 3),
              (std::vector<std::string>{"Chan00", "Chan01", "Chan02"}));
    EXPECT_FALSE(view.IsEnabled("FrameSignalConnection"));
    EXPECT_FALSE(view.IsEnabled("optSingle"));
}

TEST_F(GainRangeTest, ACardRefusingTheOtherConnectionDisablesTheGroupAndLosesNothing)
{
    Open(kro::card::Basic); // wired single-ended only
    EXPECT_FALSE(view.IsEnabled("FrameSignalConnection"));
    EXPECT_FALSE(view.IsEnabled("optDifferent"));

    // On a card that takes both, the probe puts channel 1's range back after pairing.
    Open(kro::card::Differential16);
    double lowIn = 0, highIn = 10;
    ai.SetChannelRange(1, lowIn, highIn);
    Reopen();
    ai.setChannel(0);
    EXPECT_EQ(ai.SignalConnection(), Connection::SingleEnded);
    double low = 0, high = 0;
    int32_t code = 0;
    ai.GetChannelRange(1, low, high, code);
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 10.0);
    EXPECT_TRUE(view.IsEnabled("optDifferent"));
}

TEST_F(GainRangeTest, FromTheFastTabThermocouplesAreOffNeverAndTheDeviceNumberIsRestored)
{
    thermo.setDeviceNumber(-1);
    Open(kro::card::Thermo5340, true);
    EXPECT_FALSE(view.IsEnabled("OptThermo"));
    EXPECT_FALSE(view.IsEnabled("FrameAIorThermo"));
    EXPECT_EQ(thermo.DeviceNumber(), -1);

    Open(kro::card::Thermo5340, false);
    EXPECT_TRUE(view.IsEnabled("OptThermo"));
    EXPECT_EQ(thermo.DeviceNumber(), kro::card::Thermo5340);
}

TEST_F(GainRangeTest, AThermocoupleOnAnOddDifferentialChannelMakesThePairThermocouples)
{
    Open(kro::card::Thermo5340);
    form->lstViewGain_ItemClick(3);
    view.SetChecked("optDifferent", true);
    form->optDifferent_Click();
    view.SetChecked("OptThermo", true);
    form->OptThermo_Click();
    EXPECT_TRUE(setup.aiChannels[2].bAIChanIsThermo);
    EXPECT_TRUE(setup.aiChannels[3].bAIChanIsThermo);
    EXPECT_FALSE(setup.aiChannels[4].bAIChanIsThermo);
    EXPECT_EQ(view.Column(kKind)[2], "Thermo");
    EXPECT_EQ(view.Column(kRangeOrType)[3], "J");
    EXPECT_EQ(view.Column(kExpChan)[3], "0");
    EXPECT_FALSE(view.IsEnabled("ComboRange"));
    EXPECT_TRUE(view.IsEnabled("ComboTCType"));

    Choose("ComboTCType", 1);
    form->ComboTCType_Click();
    EXPECT_EQ(setup.aiChannels[2].nAIChanTCType, 1); // the partner follows
    EXPECT_EQ(view.Column(kRangeOrType)[2], "K");
    Choose("ComboExpChan", 9);
    form->ComboExpChan_Click();
    EXPECT_EQ(setup.aiChannels[3].nAIChanExpChan, 9);
    EXPECT_EQ(view.Column(kExpChan)[3], "9");

    view.SetChecked("OptAI", true);
    form->OptAI_Click();
    EXPECT_FALSE(setup.aiChannels[2].bAIChanIsThermo);
    EXPECT_FALSE(setup.aiChannels[3].bAIChanIsThermo);
    EXPECT_EQ(view.Column(kExpChan)[3], "NA");
    EXPECT_TRUE(view.IsEnabled("ComboRange"));
}

TEST_F(GainRangeTest, TheScaleIsOneSettingForAllChannels)
{
    Open(kro::card::Thermo5340);
    form->lstViewGain_ItemClick(4);
    view.SetChecked("OptThermo", true);
    form->OptThermo_Click();
    Choose("ComboScale", 3);
    form->ComboScale_Click();
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(setup.aiChannels[static_cast<size_t>(ch)].nAIChanTempScale, 3) << ch;
    EXPECT_EQ(setup.aiChannels[16].nAIChanTempScale, 0); // the spare entry
}

TEST_F(GainRangeTest, ReopeningOnAThermocoupleChannelShowsItsTypeAndScale)
{
    Open(kro::card::Thermo5340);
    setup.aiChannels[0].bAIChanIsThermo = true;
    setup.aiChannels[0].nAIChanTCType = 6;
    setup.aiChannels[0].nAIChanTempScale = 2;
    Reopen();
    EXPECT_TRUE(view.Checked("OptThermo"));
    EXPECT_EQ(view.Selected("ComboTCType"), 6);
    EXPECT_EQ(view.Selected("ComboScale"), 2);
    EXPECT_EQ(view.Column(kRangeOrType)[0], "E");
    EXPECT_TRUE(view.IsEnabled("FrameThermo"));
}

TEST_F(GainRangeTest, NoDeviceIsReportedAndTheDialogStillOpens)
{
    Open(-1);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("no analog input device"), std::string::npos);
    EXPECT_TRUE(view.Column(kChannel).empty());
}

} // namespace
} // namespace ondrel
