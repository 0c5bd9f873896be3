#include "acquisition/run_fixture.h"
#include "ondrel/graph/plot_setup.h"

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
    ai.reportDataReturnType(3);
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

} // namespace
} // namespace ondrel
