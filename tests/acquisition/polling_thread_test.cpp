#include "acquisition/run_fixture.h"
#include "recording/failing_writes.h"
#include "support/counted_polling_thread.h"
#include "kro/devices/sim_signal.h"
#include <cerrno>
#include <cstring>

namespace ondrel {
namespace {

constexpr int kTicks = 200;

// Polled runs whose ticks run on a polling thread of their own, as the
// program's do; the chart and the messages stay on the test's thread.
class ThreadedPolling : public testing::RunFixture {
protected:
    void TearDown() override
    {
        threaded.StopIfRunning();
        RunFixture::TearDown();
    }
    void StartAIAndDI()
    {
        SelectDILines();           // port 1, lines 2 and 5
        setup.nTimerInterval = 10; // a strip of 1,001 points holds every tick
        aiSwitch.setValue(true);
        threaded.KroButton1_SwitchChanged();
        diSwitch.setValue(true);
        threaded.KroButton2_SwitchChanged();
        threaded.CkAISave2Disk_Click(true);
        threaded.CkDISave2Disk_Click(true);
        threaded.BtnStart_Click();
        ASSERT_TRUE(threaded.IsRunning());
    }
    size_t AIRecords() { return FileSize(files.AIFileName()) / (4 * static_cast<size_t>(ai.ChanCount())); }
    size_t DIRecords() { return FileSize(files.DIFileName()) - 8; } // one port

    testing::CountedPollingThread pollingThread{kTicks};
    RunControl threaded{AcquisitionParts{setup, timeBase, ai, dio, thermo, graph, led, aiSwitch, diSwitch, prompts,
                                         clock, pollingThread, &files},
                        panel};
};

TEST_F(ThreadedPolling, EveryTickIsRecordedThereAndDrawnOnlyWhenHandedOver)
{
    StartAIAndDI();
    EXPECT_EQ(pollingThread.intervals, std::vector<int32_t>{setup.nTimerInterval});
    ASSERT_TRUE(pollingThread.WaitForTicks());
    EXPECT_EQ(graph.Plots().Item(0).PointCount(), 0); // nothing drawn from the polling thread

    pollingThread.RunPosted();
    for (int plot = 0; plot < ai.ChanCount() + 2; ++plot)
        EXPECT_EQ(graph.Plots().Item(plot).PointCount(), kTicks) << plot;
    threaded.BtnStart_Click();

    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, kTicks);
    EXPECT_EQ(AIRecords(), static_cast<size_t>(kTicks));
    const auto di = Bytes(files.DIFileName());
    ASSERT_EQ(di.size(), 8u + kTicks);
    for (int scan = 0; scan < kTicks; ++scan)
        ASSERT_EQ(std::to_integer<uint8_t>(di[8 + static_cast<size_t>(scan)]), kro::SimSignal::diPort(1, scan)) << scan;
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ThreadedPolling, AFailingWriteStopsTheRecordingWholeAndIsShownOnceOnTheProgramThread)
{
    pollingThread.Hold();
    StartAIAndDI();
    {
        testing::FailingWrites disk(26, ENOSPC); // the DI record of the 13th tick
        pollingThread.Release();
        ASSERT_TRUE(pollingThread.WaitForTicks());
    }
    EXPECT_TRUE(prompts.messages.empty()); // not shown from the polling thread
    pollingThread.RunPosted();
    EXPECT_FALSE(threaded.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "SoftPoolTimerProc");

    // The ticks after the failure recorded nothing: both files end on the
    // same whole scan, no scan is missing before it, and the index counts it.
    EXPECT_EQ(AIRecords(), DIRecords());
    EXPECT_LT(AIRecords(), static_cast<size_t>(kTicks));
    const auto di = Bytes(files.DIFileName());
    for (size_t scan = 0; scan < DIRecords(); ++scan)
        ASSERT_EQ(std::to_integer<uint8_t>(di[8 + scan]), kro::SimSignal::diPort(1, static_cast<int64_t>(scan)))
            << scan;
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(static_cast<size_t>(Description().end->scanCount), AIRecords());
}

TEST_F(ThreadedPolling, AFailureHandedOverAfterTheOperatorStoppedIsStillShown)
{
    pollingThread.Hold();
    StartAIAndDI();
    {
        testing::FailingWrites disk(26, ENOSPC);
        pollingThread.Release();
        ASSERT_TRUE(pollingThread.WaitForTicks());
    }
    threaded.BtnStart_Click(); // Stop comes before the program thread hears of it
    pollingThread.RunPosted();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(std::strerror(ENOSPC)), std::string::npos);
    EXPECT_EQ(prompts.messages[0].title, "SoftPoolTimerProc");
    EXPECT_FALSE(threaded.IsRunning());
}

TEST_F(ThreadedPolling, FieldsThirteenAndFourteenAreKeptByTheProgramThreadForScansAlreadyWritten)
{
    pollingThread.Hold();
    StartAIAndDI();
    clock.Advance(1000); // the first tick finds a progress write due
    pollingThread.Release();
    ASSERT_TRUE(pollingThread.WaitForTicks());
    EXPECT_FALSE(Description().end.has_value()); // no sync on the polling thread
    pollingThread.RunPosted();
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, 1);

    // One still to run when the run stops does not overwrite the final count.
    threaded.BtnStart_Click();
    pollingThread.Hold();
    threaded.BtnStart_Click();
    clock.Advance(1000);
    pollingThread.Release();
    ASSERT_TRUE(pollingThread.WaitForTicks());
    threaded.BtnStart_Click();
    pollingThread.RunPosted();
    EXPECT_EQ(Description().end->scanCount, kTicks);
}

TEST_F(ThreadedPolling, ScansOfAnEarlierRunNeverReachTheChartOfTheNextOne)
{
    StartAIAndDI();
    ASSERT_TRUE(pollingThread.WaitForTicks());
    threaded.BtnStart_Click(); // Stop, with the first run's scans still to draw
    threaded.BtnStart_Click();
    ASSERT_TRUE(pollingThread.WaitForTicks());
    pollingThread.RunPosted();
    EXPECT_EQ(graph.Plots().Item(0).PointCount(), kTicks);
}

} // namespace
} // namespace ondrel
