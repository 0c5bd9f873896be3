#include "settings/fake_form_view.h"
#include "support/recorded_prompts.h"
#include "support/watched_ai.h"
#include "kro/devices/sim_ai.h"
#include "kro/devices/sim_dio.h"
#include "ondrel/settings/channel_tables.h"
#include <cmath>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

using Message = testing::RecordedPrompts::Message;
using Outcome = SettingsResult::Outcome;

// The settings dialog's behaviour on the simulated cards, its controls faked.
class SettingsFormTest : public ::testing::Test {
protected:
    testing::RecordedPrompts prompts;
    kro::SimAI ai{kro::card::Differential16, &prompts};
    kro::SimDIO dio{kro::card::Di3Ports, &prompts};
    AcquisitionSetup setup;
    AIColorTable colors = SetAIColors();
    testing::FakeFormView view{SettingsDialogControls()};
    SettingsForm form{view, {setup, ai, dio, colors, prompts}};

    void SetUp() override
    {
        LoadDefaultSetup(setup, ai, dio);
        InitChannelTables(setup, ai, dio, colors);
    }
    void Type(const std::string& box, const std::string& text) { view.SetText(box, text); }
    void Tick(const std::string& box, bool on) { view.SetChecked(box, on); }
};

TEST_F(SettingsFormTest, OpeningShowsTheCardOnBothTabsAndTheLastConfirmedTab)
{
    setup.nAISampleCnt = 5000;
    form.Form_Load();
    for (const char* i : {"_0", "_1"}) {
        EXPECT_EQ(view.Text(std::string("LabelAIDeviceNumber") + i), "0");
        EXPECT_EQ(view.Text(std::string("labAIDeviceName") + i), ai.DeviceName());
        EXPECT_EQ(view.Text(std::string("labAIResolution") + i), "16");
        EXPECT_EQ(view.Text(std::string("txtAIScanNumber") + i), "4");
    }
    EXPECT_EQ(view.Text("txtCount"), "5000");
    EXPECT_EQ(view.Text("txtSampleRate"), "1000");
    EXPECT_EQ(view.Items("cmbDataReturnType"), (std::vector<std::string>{"Digital ", "Analog "}));
    EXPECT_EQ(view.Selected("cmbDataReturnType"), 1);
    EXPECT_EQ(view.Items("cmbTriggerSource").size(), 5u);
    EXPECT_TRUE(view.IsEnabled("FrameFAITrigger"));
    EXPECT_EQ(view.Text("txtAITimeInterval"), "100");
    EXPECT_EQ(view.Text("LabelDIDevName"), "KroSim-DI24 3 ports");
    EXPECT_EQ(view.Items("ComboDIPort"), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(view.shownTab, 1); // polled mode at start

    setup.bSoftMode = false;
    form.Form_Load();
    EXPECT_EQ(view.shownTab, 0);
}

TEST_F(SettingsFormTest, PacerTwoAtOpeningIsShownAsExternalAndRewrittenAtOnce)
{
    ai.setPacerSource(Pacer::Either);
    form.Form_Load();
    EXPECT_EQ(view.Selected("cmbPacerSource"), 1);
    EXPECT_EQ(ai.PacerSource(), Pacer::ExternalClock);
}

TEST_F(SettingsFormTest, ACardWithoutPacerOrTriggersDisablesThemAndOkWritesNoTrigger)
{
    ai.SelectDeviceNumber(kro::card::Basic);
    InitChannelTables(setup, ai, dio, colors);
    form.Form_Load();
    EXPECT_FALSE(view.IsEnabled("cmbPacerSource"));
    EXPECT_FALSE(view.IsEnabled("Label23"));
    EXPECT_TRUE(view.Items("cmbPacerSource").empty());
    for (const char* name : {"FrameFAITrigger", "cmbTriggerMode", "txtTriggerVoltage", "Label18"})
        EXPECT_FALSE(view.IsEnabled(name)) << name;
    Type("txtTriggerVoltage", "not even checked");
    form.cmdFAIOK_Click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(view.closed, 1);
    EXPECT_EQ(form.result().outcome, Outcome::FastOk);
}

TEST_F(SettingsFormTest, NoAIDeviceDisablesTheGroupsAndFastOkWritesNothing)
{
    ai.SelectDeviceNumber(-1);
    form.Form_Load();
    for (const char* i : {"_0", "_1"}) {
        EXPECT_EQ(view.Text(std::string("LabelAIDeviceNumber") + i), "-1");
        EXPECT_EQ(view.Text(std::string("labAIDeviceName") + i), "No Device");
        EXPECT_FALSE(view.IsEnabled(std::string("txtAIScanStart") + i));
        EXPECT_FALSE(view.IsEnabled(std::string("cmdRange") + i));
    }
    EXPECT_FALSE(view.IsEnabled("NonSoftSetting"));
    EXPECT_FALSE(view.IsEnabled("txtTriggerDelayTime"));
    form.cmdFAIOK_Click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(form.result().outcome, Outcome::FastOk);
}

TEST_F(SettingsFormTest, FastOkWritesTheTabToTheCardAndShowsTheRateItKept)
{
    form.Form_Load();
    Type("txtAIScanStart_0", "2");
    Type("txtAIScanNumber_0", "3.5"); // whole numbers round ties to even
    Type("txtCount", "8192");
    Type("txtSampleRate", "2500.5");
    view.Select("cmbDataReturnType", 0);
    view.Select("cmbPacerSource", 1);
    view.Select("cmbTriggerMode", 3);
    view.Select("cmbTriggerEdge", 1);
    view.Select("cmbTriggerSource", 4);
    Type("txtTriggerDelayTime", "1.5");
    Type("txtTriggerAfterTimeinAboveMode", "2");
    Type("txtTriggerVoltage", "-0.25");
    Tick("chkCylic", false);
    form.cmdFAIOK_Click();
    ASSERT_EQ(form.result().outcome, Outcome::FastOk) << prompts.messages.at(0).text;
    EXPECT_EQ(ai.ChanStart(), 2);
    EXPECT_EQ(ai.ChanCount(), 4);
    EXPECT_EQ(ai.DataReturnType(), SampleData::RawCounts);
    EXPECT_EQ(ai.PacerSource(), Pacer::ExternalClock);
    EXPECT_EQ(ai.SampleRate(), 2500.5);
    EXPECT_EQ(ai.TriggerMode(), Trigger::About);
    EXPECT_EQ(ai.TriggerEdge(), Edge::Falling);
    EXPECT_EQ(ai.TriggerSource(), TriggerInput::AI3);
    EXPECT_EQ(ai.TriggerDelayTime(), 1.5);
    EXPECT_EQ(ai.TriggerAfterTime(), 2.0);
    EXPECT_EQ(ai.TriggerVoltage(), -0.25);
    EXPECT_EQ(setup.nAISampleCnt, 8192);
    EXPECT_FALSE(setup.bFAICyclic);
}

TEST_F(SettingsFormTest, ARefusedValueKeepsTheDialogOpenWithTheCardsMessage)
{
    form.Form_Load();
    Type("txtSampleRate", "1e9"); // passes the box check, the card refuses it
    form.cmdFAIOK_Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("exceeds the maximum"), std::string::npos);
    EXPECT_EQ(view.closed, 0);
    EXPECT_EQ(form.result().outcome, Outcome::Closed);
    EXPECT_EQ(ai.SampleRate(), 1000.0);
}

TEST_F(SettingsFormTest, ATextTypedAndConfirmedAtOnceIsCheckedAndResetBeforeAnythingIsWritten)
{
    form.Form_Load();
    Type("txtAIScanStart_0", "5");
    Type("txtCount", "abc");
    form.cmdFAIOK_Click();
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"Please input a valid number", ""}}));
    EXPECT_EQ(view.Text("txtCount"), "4096");
    EXPECT_EQ(view.closed, 0);
    EXPECT_EQ(ai.ChanStart(), 0);

    Type("txtAITimeInterval", "0");
    form.cmdDIOK_Click();
    EXPECT_EQ(prompts.messages.back().text, "please input a number between 1 and 65535");
    EXPECT_EQ(view.Text("txtAITimeInterval"), "65535");
    EXPECT_EQ(view.closed, 0);
}

TEST_F(SettingsFormTest, FocusLossResetsABadBoxAndLeavesAGoodOneAsTyped)
{
    form.Form_Load();
    Type("txtSampleRate", "abc");
    EXPECT_FALSE(form.Box_LostFocus("txtSampleRate"));
    EXPECT_EQ(view.Text("txtSampleRate"), "1");
    Type("txtSampleRate", "0.5");
    EXPECT_FALSE(form.Box_LostFocus("txtSampleRate"));
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"Please input a valide number", ""},
                                                      {"Sample rate should not be less than 1", ""}}));
    Type("txtSampleRate", " 12.5 ");
    EXPECT_TRUE(form.Box_LostFocus("txtSampleRate"));
    EXPECT_EQ(view.Text("txtSampleRate"), " 12.5 ");
}

TEST_F(SettingsFormTest, CyclicDisablesTheDataCount)
{
    setup.bFAICyclic = true;
    form.Form_Load();
    EXPECT_TRUE(view.Checked("chkCylic"));
    EXPECT_FALSE(view.IsEnabled("txtCount"));
    Tick("chkCylic", false);
    form.chkCylic_Click();
    EXPECT_TRUE(view.IsEnabled("txtCount"));
}

TEST_F(SettingsFormTest, ChoosingADeviceRebuildsTheTablesAndTheSameOneAgainRefreshesNothing)
{
    form.Form_Load();
    setup.aiChannels[0].bAIChanIsThermo = true;
    Type("txtAIScanNumber_0", "9");
    prompts.deviceAnswers = {kro::card::Differential16};
    form.cmdAISelectDevice_Click(0);
    EXPECT_EQ(view.Text("txtAIScanNumber_0"), "9"); // same device: the boxes keep what they showed
    EXPECT_EQ(setup.nAISampleCnt, 4096);
    EXPECT_TRUE(setup.bFAICyclic);
    EXPECT_FALSE(setup.aiChannels[0].bAIChanIsThermo);

    prompts.deviceAnswers = {kro::card::Basic};
    form.cmdAISelectDevice_Click(1);
    EXPECT_EQ(view.Text("labAIDeviceName_0"), ai.DeviceName());
    EXPECT_EQ(view.Text("txtAIScanNumber_0"), "4");
    ASSERT_EQ(setup.aiChannels.size(), 9u); // 8 channels and the spare
    EXPECT_EQ(setup.aiChannels[7].szAIChanName, "AI 7");
    EXPECT_EQ(setup.aiChannels[8].szAIChanName, "");

    prompts.deviceAnswers = {std::nullopt}; // cancelled: the card stays
    form.cmdAISelectDevice_Click(0);
    EXPECT_EQ(ai.DeviceNumber(), kro::card::Basic);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SettingsFormTest, PortListShowsEachPortsOwnLinesAndChecksChangeOnlyThatPort)
{
    form.Form_Load();
    setup.nDIPortMask = {0x01, 0x00, 0x00, 0x00};
    view.Select("ComboDIPort", 0);
    form.ComboDIPort_Click();
    EXPECT_TRUE(view.Checked("CheckDIChannel_0"));
    view.Select("ComboDIPort", 1);
    form.ComboDIPort_Click();
    EXPECT_FALSE(view.Checked("CheckDIChannel_0"));
    Tick("CheckDIChannel_2", true);
    form.CheckDIChannel_Click(2);
    Tick("CheckDIChannel_5", true);
    form.CheckDIChannel_Click(5);
    EXPECT_EQ(setup.nDIPortMask, (std::vector<uint8_t>{0x01, 0x24, 0x00, 0x00}));
    view.Select("ComboDIPort", 0);
    form.ComboDIPort_Click();
    EXPECT_TRUE(view.Checked("CheckDIChannel_0"));
    EXPECT_FALSE(view.Checked("CheckDIChannel_2"));
    Tick("CheckDIChannel_0", false);
    form.CheckDIChannel_Click(0);
    EXPECT_EQ(setup.nDIPortMask, (std::vector<uint8_t>{0x00, 0x24, 0x00, 0x00}));

    Type("txtAITimeInterval", "10");
    Type("txtAIScanNumber_1", "2");
    form.cmdDIOK_Click();
    EXPECT_EQ(form.result().outcome, Outcome::PolledOk);
    EXPECT_FALSE(form.result().diSwitchOff);
    EXPECT_TRUE(setup.bSoftMode);
    EXPECT_EQ(setup.nDIChanCount, 2);
    EXPECT_EQ(setup.nDIPortStart, 1);
    EXPECT_EQ(setup.nDIPortCount, 1);
    EXPECT_EQ(setup.nTimerInterval, 10);
    EXPECT_EQ(ai.ChanCount(), 2);
}

TEST_F(SettingsFormTest, ConfirmedRealsReopenInPlainDigits)
{
    form.Form_Load();
    Type("txtSampleRate", "100000");
    view.Select("cmbTriggerMode", 2);
    Type("txtTriggerDelayTime", "0.0001");
    form.cmdFAIOK_Click();
    ASSERT_EQ(form.result().outcome, Outcome::FastOk) << prompts.messages.at(0).text;
    EXPECT_EQ(view.Text("txtSampleRate"), "100000"); // shown back as the card kept it
    form.Form_Load();
    EXPECT_EQ(view.Text("txtSampleRate"), "100000");
    EXPECT_EQ(view.Text("txtTriggerDelayTime"), "0.0001");
}

TEST_F(SettingsFormTest, APolledOkAfterChangingTheDICardKeepsDIWhenLinesAreChosen)
{
    form.Form_Load();
    prompts.deviceAnswers = {kro::card::Di0Ports};
    form.DISelectDevice_Click();
    prompts.deviceAnswers = {kro::card::Di3Ports};
    form.DISelectDevice_Click();
    ASSERT_TRUE(form.result().diSwitchOff); // closing now would leave DI off
    view.Select("ComboDIPort", 2);
    form.ComboDIPort_Click();
    Tick("CheckDIChannel_3", true);
    form.CheckDIChannel_Click(3);
    form.cmdDIOK_Click();
    EXPECT_EQ(form.result().outcome, Outcome::PolledOk);
    EXPECT_FALSE(form.result().diSwitchOff);
    EXPECT_EQ(setup.nDIPortStart, 2);
    EXPECT_EQ(setup.nDIPortCount, 1);
    EXPECT_EQ(setup.nDIChanCount, 1);
}

TEST_F(SettingsFormTest, PolledOkWithNothingChosenTurnsDIOff)
{
    form.Form_Load();
    form.cmdDIOK_Click();
    EXPECT_TRUE(form.result().diSwitchOff);
    EXPECT_EQ(setup.nDIPortStart, 3);
    EXPECT_EQ(setup.nDIPortCount, 0);
}

TEST_F(SettingsFormTest, DIDevicesWithoutPortsOrWithoutADeviceDisableThePortGroup)
{
    setup.nDIPortMask = {0x00, 0x24, 0x00, 0x00};
    form.Form_Load();
    prompts.deviceAnswers = {kro::card::Di0Ports};
    form.DISelectDevice_Click();
    EXPECT_TRUE(view.Items("ComboDIPort").empty());
    for (const char* name : {"FrameDIScan", "ComboDIPort", "CheckDIChannel_7", "Label13_0"})
        EXPECT_FALSE(view.IsEnabled(name)) << name;
    // The old card's lines are gone with it: nothing is polled from ports this one lacks.
    EXPECT_EQ(setup.nDIMaxPortCount, 0);
    EXPECT_EQ(setup.nDIPortMask, (std::vector<uint8_t>{0}));
    EXPECT_EQ(setup.nDIPortCount, 0);
    EXPECT_TRUE(form.result().diSwitchOff);

    prompts.deviceAnswers = {kro::card::Di3Ports};
    form.DISelectDevice_Click();
    EXPECT_TRUE(view.IsEnabled("ComboDIPort"));
    ASSERT_EQ(setup.diLines.size(), 25u);
    EXPECT_EQ(setup.diLines[13].szDIChanName, "DI 1:5");
    EXPECT_EQ(setup.diLines[13].nDIChanColor, 65535u);
    EXPECT_EQ(setup.diLines[7].nDIChanColor, 16777215u);

    dio.SelectDeviceNumber(-1);
    form.Form_Load();
    EXPECT_EQ(view.Text("LabelDIDevNum"), "-1");
    EXPECT_EQ(view.Text("LabelDIDevName"), "No Device");
    const int32_t before = setup.nDIPortCount;
    form.cmdDIOK_Click();
    EXPECT_EQ(setup.nDIPortCount, before);
}

TEST_F(SettingsFormTest, SetRangeRemembersWhichTabOpenedIt)
{
    form.cmdRange_Click(1);
    EXPECT_EQ(form.nRangeIndex(), 1);
    form.cmdRange_Click(0);
    EXPECT_EQ(form.nRangeIndex(), 0);
    EXPECT_EQ(view.gainRangeOpened, 2);
}

TEST_F(SettingsFormTest, ThePolledTabOpensOnPortZeroWithItsLinesTicked)
{
    setup.nDIPortMask = {0x05, 0x80, 0x00, 0x00};
    form.Form_Load();
    EXPECT_EQ(view.Selected("ComboDIPort"), 0);
    for (int b = 0; b < 8; ++b)
        EXPECT_EQ(view.Checked("CheckDIChannel_" + std::to_string(b)), b == 0 || b == 2) << b;
}

TEST_F(SettingsFormTest, ChoosingTheSameDICardAgainKeepsItsLinesAndTables)
{
    setup.nDIPortMask = {0x00, 0x24, 0x00, 0x00};
    setup.diLines[13].nDIChanColor = 0x00FF00; // as the graph settings left it
    form.Form_Load();
    prompts.deviceAnswers = {kro::card::Di3Ports};
    form.DISelectDevice_Click();
    EXPECT_EQ(setup.nDIPortMask, (std::vector<uint8_t>{0x00, 0x24, 0x00, 0x00}));
    EXPECT_EQ(setup.diLines[13].nDIChanColor, 0x00FF00u);
    EXPECT_FALSE(form.result().diSwitchOff);
    EXPECT_TRUE(prompts.messages.empty());
}

// The same dialog over a card the test watches.
class WatchedCardSettings : public SettingsFormTest {
protected:
    testing::WatchedAI watched{ai};
    SettingsForm watchedForm{view, {setup, watched, dio, colors, prompts}};
};

TEST_F(WatchedCardSettings, FastOkWritesNoPacerWhenTheListIsEmptyAndShowsTheRateTheCardKept)
{
    ai.SelectDeviceNumber(kro::card::Basic); // no pacer choice
    InitChannelTables(setup, watched, dio, colors);
    watched.keptRate = [](double hz) { return std::floor(hz / 100.0) * 100.0; };
    watchedForm.Form_Load();
    ASSERT_TRUE(view.Items("cmbPacerSource").empty());
    Type("txtSampleRate", "2550.5");
    watchedForm.cmdFAIOK_Click();
    ASSERT_EQ(watchedForm.result().outcome, Outcome::FastOk) << prompts.messages.at(0).text;
    // The probe's 2 at opening (not taken, not restored), then -1 for no choice.
    EXPECT_EQ(watched.pacerWrites, (std::vector<Pacer>{Pacer::Either, Pacer::None}));
    EXPECT_EQ(view.Text("txtSampleRate"), "2500");
}

TEST_F(WatchedCardSettings, ChannelsFromSixteenOnRepeatTheColoursInTheNextLineStyle)
{
    watched.channels = 40;
    InitChannelTables(setup, watched, dio, colors);
    ASSERT_EQ(setup.aiChannels.size(), 41u);
    const std::vector<std::pair<size_t, std::pair<int32_t, ColorRef>>> expected{
        {0, {0, 0x0000FF}},  {15, {0, 0xFF0000}}, {16, {1, 0x0000FF}},
        {31, {1, 0xFF0000}}, {33, {2, 0xFFC0FF}}, {39, {2, 0xFFFFFF}}};
    for (const auto& [channel, styleAndColor] : expected) {
        EXPECT_EQ(setup.aiChannels[channel].nAIChanLineStyle, styleAndColor.first) << channel;
        EXPECT_EQ(setup.aiChannels[channel].nAIChanColor, styleAndColor.second) << channel;
    }
    EXPECT_EQ(setup.aiChannels[39].szAIChanName, "AI 39");
    EXPECT_EQ(setup.aiChannels[40].szAIChanName, "");
}

} // namespace
} // namespace ondrel
