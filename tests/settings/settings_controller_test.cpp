#include "acquisition/run_fixture.h"
#include "ondrel/settings/settings_controller.h"
#include <functional>

namespace ondrel {
namespace {

using Outcome = SettingsResult::Outcome;

class NoLegend final : public IPlotLegend {
public:
    void ShowRows(const std::vector<PlotListRow>& rows) override { shown = rows.size(); }
    size_t shown = 0;
};

// The dialog as a script: what it changes while open, and how it ends.
class ScriptedSettings final : public ISettingsView {
public:
    SettingsResult ShowSettingsDialog() override
    {
        if (whileOpen)
            whileOpen();
        return result;
    }
    std::function<void()> whileOpen;
    SettingsResult result;
};

class SettingsControllerTest : public testing::RunFixture {
protected:
    ReplayChart replay;
    NoLegend legend;
    PlotControl plots{graph, ai, setup, replay, legend};
    ScriptedSettings dialog;
    SettingsController settings{{setup, timeBase, replay, ai, thermo, graph, led, run, plots, prompts}, dialog};
};

TEST_F(SettingsControllerTest, FastOkShowsTenSecondsTurnsAIOnAndDIOff)
{
    SelectDILines();
    Flip(diSwitch, true);
    graph.Axes().Item(0).setMaximum(3);
    timeBase.dDIVValue = 0.3;
    led.setValue(0.3);
    dialog.result.outcome = Outcome::FastOk;
    settings.BtnSet_Click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(graph.Axes().Item(0).Minimum(), 0.0);
    EXPECT_EQ(graph.Axes().Item(0).Maximum(), 10.0);
    EXPECT_EQ(timeBase.dDIVValue, 1.0);
    EXPECT_EQ(led.Value(), 1.0);
    EXPECT_FALSE(timeBase.isNumEditEventFired);
    EXPECT_TRUE(aiSwitch.Value());
    EXPECT_TRUE(setup.bAIEnabled);
    EXPECT_FALSE(diSwitch.Value());
    EXPECT_FALSE(setup.bDIEnabled);
    EXPECT_FALSE(setup.bSoftMode);
    const auto& calls = panel.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "ai box on"), calls.end());
    EXPECT_EQ(calls.back(), "di box off");
    // Buffered AI on: only the AI plots are listed.
    EXPECT_EQ(legend.shown, static_cast<size_t>(ai.ChanCount()));
}

TEST_F(SettingsControllerTest, CyclicRunsBufferHalfASecondTiesToEven)
{
    dialog.result.outcome = Outcome::FastOk;
    for (const auto& [rate, expected] :
         std::vector<std::pair<double, int32_t>>{{10000, 5000}, {8191, 4096}, {8193, 4096}, {8195, 4098}}) {
        ai.setSampleRate(rate);
        setup.bFAICyclic = true;
        settings.BtnSet_Click();
        EXPECT_EQ(setup.nAISampleCnt, expected) << rate;
    }
    setup.bFAICyclic = false;
    setup.nAISampleCnt = 20000;
    settings.BtnSet_Click();
    EXPECT_EQ(setup.nAISampleCnt, 20000);
}

TEST_F(SettingsControllerTest, ClosingAppliesNothingButStillReadsConnectionsAndRebuildsPlots)
{
    dialog.whileOpen = [&] {
        ai.setChannel(4);
        ai.setSignalConnection(Connection::Differential); // as the range dialog leaves it
        ai.setChanCount(6);
    };
    dialog.result.outcome = Outcome::Closed;
    settings.BtnSet_Click();
    EXPECT_FALSE(aiSwitch.Value());
    EXPECT_TRUE(setup.bSoftMode);
    EXPECT_EQ(setup.aiChannels[4].nAIChanConnection, 1);
    EXPECT_EQ(setup.aiChannels[5].nAIChanConnection, 1);
    EXPECT_EQ(setup.aiChannels[3].nAIChanConnection, 0);
    EXPECT_EQ(graph.Plots().Count(), 6);
}

TEST_F(SettingsControllerTest, ThermocoupleChannelsReportTheirConnectionThroughTheThermocoupleDevice)
{
    UseAICard(kro::card::Thermo5340);
    thermo.setDeviceNumber(kro::card::Thermo5340);
    setup.aiChannels[2].bAIChanIsThermo = true;
    thermo.setThermoChannel(2);
    thermo.setSignalConnection(Connection::Differential);
    settings.BtnSet_Click();
    EXPECT_EQ(setup.aiChannels[2].nAIChanConnection, 1);
    EXPECT_EQ(setup.aiChannels[0].nAIChanConnection, 0);
}

TEST_F(SettingsControllerTest, PolledOkWithNoLineChosenTurnsDIOffAndLeavesAIAlone)
{
    SelectDILines();
    Flip(aiSwitch, true);
    Flip(diSwitch, true);
    dialog.result = {Outcome::PolledOk, true};
    settings.BtnSet_Click();
    EXPECT_FALSE(diSwitch.Value());
    EXPECT_FALSE(setup.bDIEnabled);
    EXPECT_TRUE(aiSwitch.Value());
    EXPECT_EQ(panel.calls.back(), "di box off");
}

} // namespace
} // namespace ondrel
