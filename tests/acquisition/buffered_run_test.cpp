#include "acquisition/run_fixture.h"
#include "support/wait_for.h"
#include "kro/devices/sim_signal.h"
#include "ondrel/graph/plot_setup.h"
#include <cstring>

namespace ondrel {
namespace {

// A buffered run: halves delivered by hand, the card's own events left queued.
class BufferedRun : public testing::RunFixture {
protected:
    void StartBuffered(double rate, bool cyclic)
    {
        setup.bSoftMode = false;
        setup.bFAICyclic = cyclic;
        ai.setChanCount(4);
        ai.setSampleRate(rate);
        graph.Plots().RemoveAll();
        for (int i = 0; i < 4; ++i)
            graph.Plots().Add();
        Flip(aiSwitch, true);
        run.BtnStart_Click();
        ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;
    }
    void Deliver(int32_t sampleCount)
    {
        const std::vector<int16_t> raw(static_cast<size_t>(sampleCount), 0);
        const std::vector<float> scaled(static_cast<size_t>(sampleCount), 0.5f);
        run.buffered().FirstBufferChange(raw, scaled, sampleCount);
    }
};

TEST_F(BufferedRun, TwentyFiveThousandSamplesASecondAlreadyTakesTheShortStrip)
{
    // At 25,000 S/s and above the axis spans 100,000 samples; below, ten seconds.
    StartBuffered(25000.0, true);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 4.0);
    EXPECT_EQ(graph.ChartLength(), 100000);
    EXPECT_DOUBLE_EQ(timeBase.dDIVValue, 0.4);
    EXPECT_DOUBLE_EQ(led.Value(), 0.4);
    run.BtnStart_Click();

    StartBuffered(24000.0, true);
    EXPECT_DOUBLE_EQ(graph.Axes().Item(kTimeAxis).Maximum(), 10.0);
    EXPECT_EQ(graph.ChartLength(), 240000);
    EXPECT_DOUBLE_EQ(timeBase.dDIVValue, 1.0);
    run.BtnStart_Click();
}

TEST_F(BufferedRun, ScansPerBufferRoundToTheEvenNeighbour)
{
    StartBuffered(1000.0, true);
    Deliver(10); // 2.5 scans of 4 channels: 2
    EXPECT_EQ(run.status().nScanCount, 2);
    Deliver(14); // 3.5: 4
    EXPECT_EQ(run.status().nScanCount, 6);
    Deliver(8);
    EXPECT_EQ(run.status().nScanCount, 8);
    run.BtnStart_Click();
}

TEST_F(BufferedRun, AnUnknownDataTypeIsReportedAndTheRunGoesOn)
{
    StartBuffered(1000.0, true);
    ai.reportDataReturnType(static_cast<SampleData>(3));
    Deliver(8);
    EXPECT_EQ(prompts.messages,
              (std::vector<testing::RecordedPrompts::Message>{{"Wrong Data Return Type", "OnFirstBufferChange"}}));
    EXPECT_TRUE(run.IsRunning());
    EXPECT_EQ(run.status().nScanCount, 2); // the scans the card said it delivered
    run.BtnStart_Click();
}

TEST_F(BufferedRun, ACardThatRefusesToStartIsNamedUnderBtnStart)
{
    setup.nAISampleCnt = 0; // no buffer at all
    setup.bSoftMode = false;
    for (int i = 0; i < ai.ChanCount(); ++i)
        graph.Plots().Add();
    Flip(aiSwitch, true);
    run.BtnStart_Click();
    EXPECT_FALSE(run.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BtnStart");
    EXPECT_EQ(prompts.messages[0].text, ai.ErrorMessage());
    EXPECT_FALSE(prompts.messages[0].text.empty());
    EXPECT_EQ(panel.calls.back(), "caption Start");
}

// A recording run on the card's own thread and event pump, stopped part-way
// through a half buffer: (cyclic, raw).
class StoppedMidHalf : public testing::RunFixture, public ::testing::WithParamInterface<std::tuple<bool, bool>> {
protected:
    static constexpr int32_t kChannels = 4;
    static constexpr double kRate = 5000.0; // halves of 2,048 samples take 0.41 s

    // The recorded samples as the card's signal gives them: a raw count is
    // stored as its unsigned 16-bit value.
    void ExpectTheCardsSignal(size_t samples, bool raw)
    {
        const auto bytes = Bytes(files.FAIFileName());
        ASSERT_EQ(bytes.size(), samples * 4);
        std::vector<kro::SimRange> ranges;
        for (int32_t ch = 0; ch < ai.MaxChanCount(); ++ch) {
            kro::SimRange r;
            ai.GetChannelRange(ch, r.low, r.high, r.code);
            ranges.push_back(r);
        }
        const int64_t period = kro::SimSignal::bufferedPeriod(kRate, kChannels);
        for (size_t k = 0; k < samples; ++k) {
            const kro::SimSample want =
                kro::SimSignal::runSample(*ai.card(), 0, kChannels, ranges, static_cast<int64_t>(k), period);
            if (raw) {
                int32_t value = 0;
                std::memcpy(&value, bytes.data() + k * 4, 4);
                ASSERT_EQ(value, static_cast<uint16_t>(want.raw)) << "sample " << k;
            } else {
                float value = 0;
                std::memcpy(&value, bytes.data() + k * 4, 4);
                ASSERT_EQ(value, static_cast<float>(want.value)) << "sample " << k;
            }
        }
    }
};

TEST_P(StoppedMidHalf, TheCardsLastScansAreRecordedAndCountedBeforeTheEnd)
{
    const auto [cyclic, raw] = GetParam();
    setup.bSoftMode = false;
    setup.bFAICyclic = cyclic;
    setup.nAISampleCnt = 4096;
    ai.setChanCount(kChannels);
    ai.setSampleRate(kRate);
    ai.setDataReturnType(raw ? SampleData::RawCounts : SampleData::Scaled);
    for (int i = 0; i < kChannels; ++i)
        graph.Plots().Add();
    Flip(aiSwitch, true);
    run.CkAISave2Disk_Click(true);
    run.BtnStart_Click();
    ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;

    // A first half recorded, and ten scans more acquired by the card.
    ASSERT_TRUE(waitFor(
        [&] { return run.status().nScanCount >= 512 && ai.samplesAcquired() >= run.status().nScanCount * 4 + 40; },
        20000));
    const int64_t acquired = ai.samplesAcquired();
    const size_t stopsBefore = std::count(panel.calls.begin(), panel.calls.end(), "caption Start");
    run.BtnStart_Click();
    ASSERT_FALSE(run.IsRunning());
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    // Stop ran once, even when the last buffer ended a single shot.
    EXPECT_EQ(std::count(panel.calls.begin(), panel.calls.end(), "caption Start"), stopsBefore + 1);

    const int64_t scans = run.status().nScanCount;
    EXPECT_GE(scans, acquired / kChannels);
    if (!cyclic) {
        EXPECT_LE(scans, 1024);
    }
    const ProjectDescription description = Description();
    ASSERT_TRUE(description.end.has_value());
    EXPECT_EQ(description.end->scanCount, scans);
    ExpectTheCardsSignal(static_cast<size_t>(scans) * kChannels, raw);
}

INSTANTIATE_TEST_SUITE_P(CyclicOrSingleRawOrScaled, StoppedMidHalf,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()), [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "cyclic" : "single")
                                    + (std::get<1>(info.param) ? "_raw" : "_scaled");
                         });

} // namespace
} // namespace ondrel
