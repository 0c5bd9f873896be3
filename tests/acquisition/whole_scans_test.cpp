#include "acquisition/run_fixture.h"
#include "support/wait_for.h"
#include "kro/devices/sim_signal.h"
#include <cstring>

namespace ondrel {
namespace {

// Buffered runs at the card's top rate, recorded and checked sample by sample.
class BufferedRecording : public testing::RunFixture {
protected:
    double rate = 250000.0; // the card's top rate: a single buffer is over in 20 ms

    std::vector<float> RecordedSamples()
    {
        const auto bytes = Bytes(files.FAIFileName());
        std::vector<float> values(bytes.size() / sizeof(float));
        if (!values.empty())
            std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
        return values;
    }
    void ExpectTheCardsSignal(const std::vector<float>& values, int32_t chanCount)
    {
        std::vector<kro::SimRange> ranges;
        for (int32_t ch = 0; ch < ai.MaxChanCount(); ++ch) {
            kro::SimRange r;
            ai.GetChannelRange(ch, r.low, r.high, r.code);
            ranges.push_back(r);
        }
        const int64_t period = kro::SimSignal::bufferedPeriod(rate, chanCount);
        for (size_t k = 0; k < values.size(); ++k)
            ASSERT_EQ(
                values[k],
                static_cast<float>(
                    kro::SimSignal::runSample(*ai.card(), 0, chanCount, ranges, static_cast<int64_t>(k), period).value))
                << "sample " << k << " of " << chanCount << " channels";
    }
    void Begin(int32_t chanCount, int32_t count, bool cyclic)
    {
        ai.setChanCount(chanCount);
        ai.setSampleRate(rate);
        setup.bSoftMode = false;
        setup.bFAICyclic = cyclic;
        setup.nAISampleCnt = count;
        for (int i = 0; i < chanCount; ++i)
            graph.Plots().Add();
        Flip(aiSwitch, true);
        run.CkAISave2Disk_Click(true);
        run.BtnStart_Click();
        ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;
    }
};

// Every sample a buffered run delivers is recorded once, in its own channel,
// whatever the channel count and the Data Count asked for.
class WholeScans : public BufferedRecording, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(WholeScans, ASingleBufferIsRecordedWholeInItsChannels)
{
    const auto [chanCount, count] = GetParam();
    Begin(chanCount, count, false);
    ASSERT_TRUE(waitFor([&] { return !run.IsRunning(); }));
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;

    // The card takes the smallest count of whole scans per half that holds the request.
    const int32_t perHalf = 2 * chanCount;
    const int32_t adjusted = (count + perHalf - 1) / perHalf * perHalf;
    EXPECT_EQ(setup.nAISampleCnt, adjusted);
    EXPECT_EQ(graph.ChartLength(), adjusted);
    EXPECT_EQ(run.status().nScanCount, adjusted / chanCount);
    const auto values = RecordedSamples();
    ASSERT_EQ(values.size(), static_cast<size_t>(adjusted));
    ExpectTheCardsSignal(values, chanCount);
}

INSTANTIATE_TEST_SUITE_P(ChannelsAndCounts, WholeScans,
                         ::testing::Combine(::testing::Range(1, 17), ::testing::Range(4096, 4101)));

TEST_F(BufferedRecording, ACyclicRunOfThreeChannelsKeepsEverySampleInItsChannel)
{
    rate = 30000.0;       // slow enough that a busy machine never overruns the card
    Begin(3, 4096, true); // halves of 2,048 samples before the card adjusted its count
    ASSERT_TRUE(waitFor([&] { return run.status().nScanCount >= 5 * 4098 / 3 || !run.IsRunning(); }));
    run.BtnStart_Click();
    EXPECT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;

    const auto values = RecordedSamples();
    EXPECT_EQ(values.size(), static_cast<size_t>(run.status().nScanCount) * 3);
    EXPECT_EQ(values.size() % 3, 0u); // whole scans, the last buffer shorter than a half
    ExpectTheCardsSignal(values, 3);
}

} // namespace
} // namespace ondrel
