#include "demo_support.h"
#include "devices/all_devices_run.h"
#include "devices/buffered_support.h"
#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include <cstring>
#include <libsigrok/libsigrok.h>

namespace ondrel {
namespace {

// The demo instrument's AI (its first four channels) and DI.
class DemoRun : public testing::AllDevicesRun {
protected:
    int32_t demo = -1;

    DemoRun() : AllDevicesRun(kro::DeviceRegistry::standard()) {}
    void SetUp() override
    {
        const auto number = kro::testing::demoNumber(kro::DeviceKind::AnalogInput);
        ASSERT_TRUE(number) << "libsigrok's demo driver found no device";
        demo = *number;
        Choose(demo, demo, 4);
    }
    void StartBuffered(int32_t samples)
    {
        setup.bSoftMode = false;
        setup.bFAICyclic = true;
        setup.nAISampleCnt = samples;
        ai.setSampleRate(100000.0);
        SwitchAI();
        run.BtnStart_Click();
        ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;
    }
    void LimitDemo(uint64_t scans)
    {
        kro::SigrokDevice& device = *kro::testing::sigrokBackend().find(demo);
        kro::SigrokHost::instance().call(
            [&] { sr_config_set(device.instance(), nullptr, SR_CONF_LIMIT_SAMPLES, g_variant_new_uint64(scans)); });
    }
};

TEST_F(DemoRun, FourChannelsAtAHundredThousandSamplesASecondAreRecordedWholeAndInOrder)
{
    StartBuffered(20000); // halves of 2,500 scans
    ASSERT_TRUE(kro::testing::waitFor([&] { return run.status().nScanCount >= 12500 || !run.IsRunning(); }));
    ASSERT_TRUE(run.IsRunning()) << (prompts.messages.empty() ? "" : prompts.messages.back().text);
    run.BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;

    const std::vector<float> recorded = Recorded();
    ASSERT_EQ(static_cast<int64_t>(recorded.size()), run.status().nScanCount * 4);
    kro::testing::expectSquare(kro::testing::column(recorded, 4, 0));
    kro::testing::expectSawtooth(kro::testing::column(recorded, 4, 3));
}

TEST_F(DemoRun, AnInstrumentThatStopsSendingEndsTheRunWithItsMessageAndKeepsWhatWasRecorded)
{
    LimitDemo(11000); // four halves and part of a fifth, then the demo ends as an unplugged one would
    StartBuffered(20000);
    const bool stopped = kro::testing::waitFor([&] { return !run.IsRunning(); });
    LimitDemo(UINT64_MAX); // the demo takes no 0 for "no limit"
    ASSERT_TRUE(stopped);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("stopped sending data"), std::string::npos);
    EXPECT_EQ(run.status().nScanCount, 11000); // the part of a half too
    EXPECT_EQ(Recorded().size(), 44000u);
    std::ifstream in(files.ProjectFileName(), std::ios::binary);
    const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> description(chars.size());
    std::memcpy(description.data(), chars.data(), chars.size());
    EXPECT_TRUE(ParseProjectDescription(description).end.has_value()); // the run's description is complete
}

TEST_F(DemoRun, PollingTheAnalogAndLogicChannelsRecordsEveryTick)
{
    setup.bSoftMode = true;
    setup.nTimerInterval = 10;
    setup.nDIPortMask = {0xFF, 0, 0, 0};
    setup.nDIPortStart = 0;
    setup.nDIPortCount = 1;
    setup.nDIChanCount = 8;
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
    EXPECT_EQ(std::filesystem::file_size(files.DIFileName()), 8u + 20u); // header, then a byte a tick
    EXPECT_GT(std::filesystem::file_size(files.AIFileName()), 0u);
}

} // namespace
} // namespace ondrel
