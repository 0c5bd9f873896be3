#include "comedi_support.h"
#include "devices/all_devices_run.h"
#include "devices/buffered_support.h"
#include "ondrel/settings/dialog_controls.h"
#include "ondrel/settings/settings_form.h"
#include "settings/fake_form_view.h"
#include <cstring>

namespace ondrel {
namespace {

using kro::testing::kCard;
using kro::testing::kDio;

// The fake's boards, made before the components that find them.
struct FakeBoards {
    kro::testing::Boards boards;
};

// The card's analog input (channels 0 to 2 at -10 .. 10 V) and the DI board.
class ComediRun : public FakeBoards, public testing::AllDevicesRun {
protected:
    ComediRun() : AllDevicesRun(*boards.registry) {}
    void SetUp() override { Choose(kCard, kDio, 3); }
};

TEST_F(ComediRun, ACyclicBufferedRunRecordsEveryScanTheBoardDeliveredUntilStop)
{
    setup.bSoftMode = false;
    setup.bFAICyclic = true;
    setup.nAISampleCnt = 600; // halves of 100 scans
    ai.setSampleRate(3000);
    SwitchAI();
    run.BtnStart_Click();
    ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;

    const auto counts = kro::testing::countsFor(250, 3);
    fake_comedi::deliver(counts, 333);
    ASSERT_TRUE(
        kro::testing::waitFor([&] { return run.status().nScanCount >= 200 && fake_comedi::unreadBytes() == 0; }));
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;

    EXPECT_EQ(run.status().nScanCount, 250);
    const std::vector<float> recorded = Recorded();
    ASSERT_EQ(recorded.size(), counts.size());
    for (size_t k = 0; k < counts.size(); ++k)
        ASSERT_FLOAT_EQ(recorded[k], static_cast<float>(-10.0 + 20.0 * counts[k] / 65535.0)) << k;
}

// The settings dialog offers what the board's commands offer, and shows the
// rate the board's timer keeps once OK wrote it.
TEST_F(ComediRun, TheSettingsDialogOffersThePacerAndTriggersAndShowsTheRateTheBoardKeeps)
{
    testing::FakeFormView view{SettingsDialogControls()};
    const AIColorTable colors = SetAIColors();
    SettingsForm form{view, {setup, ai, dio, colors, prompts}};
    setup.bSoftMode = false;
    form.Form_Load();
    EXPECT_TRUE(view.IsEnabled("cmbPacerSource"));
    EXPECT_TRUE(view.IsEnabled("FrameFAITrigger"));

    view.SetText("txtSampleRate", "7000");
    view.SetText("txtCount", "4098");
    view.Select("cmbTriggerMode", 0);
    form.cmdFAIOK_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    EXPECT_EQ(form.result().outcome, SettingsResult::Outcome::FastOk);
    // 428571 ns a scan of three channels, rounded to the timer's 1000 ns steps.
    EXPECT_NEAR(std::stod(view.Text("txtSampleRate")), 3e9 / 429000, 1e-6) << view.Text("txtSampleRate");
}

TEST_F(ComediRun, AStartTheBoardRefusesShowsItsReasonAndLeavesTheProgramStopped)
{
    setup.bSoftMode = false;
    setup.bFAICyclic = true;
    setup.nAISampleCnt = 600;
    ai.setChanStart(8); // channels 8 and 9 pair with 0 and 1: no differential scan of them
    ai.setChannel(8);
    ai.setSignalConnection(Connection::Differential);
    SwitchAI();
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("cannot scan these channels"), std::string::npos)
        << prompts.messages[0].text;
    EXPECT_FALSE(fake_comedi::commandRunning());
}

TEST_F(ComediRun, PollingTheCardsAnalogInputAndTheDiBoardRecordsEveryTick)
{
    setup.bSoftMode = true;
    setup.nTimerInterval = 10;
    setup.nDIPortMask = {0xFF, 0, 0, 0, 0, 0, 0, 0};
    setup.nDIPortStart = 0;
    setup.nDIPortCount = 1;
    setup.nDIChanCount = 8;
    fake_comedi::setReading(0, 65535);
    fake_comedi::setDigital(1, 0x5A);
    SwitchAI();
    diSwitch.setValue(true);
    run.KroButton2_SwitchChanged();
    run.CkDISave2Disk_Click(true);
    run.BtnStart_Click();
    ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(polling.Tick());
    run.BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    EXPECT_EQ(run.status().nScanCount, 20);
    std::ifstream di(files.DIFileName(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(di)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 8u + 20u); // header, then a byte a tick
    EXPECT_EQ(static_cast<uint8_t>(bytes.back()), 0x5A);
    EXPECT_GT(std::filesystem::file_size(files.AIFileName()), 0u);
}

} // namespace
} // namespace ondrel
