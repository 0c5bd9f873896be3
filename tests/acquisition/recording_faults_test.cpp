#include "acquisition/run_fixture.h"
#include "recording/failing_writes.h"
#include <cerrno>
#include <cstring>

namespace ondrel {
namespace {

using testing::FailingWrites;

// Runs whose recording fails or fills up: what is on disk afterwards.
class RecordingFaults : public testing::RunFixture {
protected:
    void StartBuffered(int32_t chanCount, double rate)
    {
        setup.bSoftMode = false;
        setup.bFAICyclic = true;
        ai.setChanCount(chanCount);
        ai.setSampleRate(rate);
        graph.Plots().RemoveAll();
        for (int i = 0; i < chanCount; ++i)
            graph.Plots().Add();
        Flip(aiSwitch, true);
        run.CkAISave2Disk_Click(true);
        run.BtnStart_Click();
        ASSERT_TRUE(run.IsRunning()) << prompts.messages.back().text;
    }
    // A buffer that claims `sampleCount` samples but carries only `carried`.
    void Deliver(int32_t sampleCount, size_t carried, float value)
    {
        const std::vector<int16_t> raw(carried, 0);
        const std::vector<float> scaled(carried, value);
        run.buffered().BufferChange(raw, scaled, sampleCount);
    }
    void StartPolledAIAndDI()
    {
        SelectDILines();
        Flip(aiSwitch, true);
        Flip(diSwitch, true);
        run.CkAISave2Disk_Click(true);
        run.CkDISave2Disk_Click(true);
        run.BtnStart_Click();
    }
    size_t AIRecords() { return FileSize(files.AIFileName()) / (4 * static_cast<size_t>(ai.ChanCount())); }
};

TEST_F(RecordingFaults, ABufferedRunStopsWhenItsScanCountFillsTheIndexField)
{
    // Two buffers that claim 2^30 scans each carry 8 samples: the count goes
    // where eight gigabytes would take it, without writing them.
    StartBuffered(1, 200000.0);
    Deliver(1 << 30, 8, 1.0f);
    Deliver(1 << 30, 8, 2.0f);
    EXPECT_FALSE(run.IsRunning());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BufferChange");
    EXPECT_NE(prompts.messages[0].text.find("full"), std::string::npos);

    const ProjectDescription d = Description();
    ASSERT_TRUE(d.end.has_value());
    EXPECT_EQ(d.end->scanCount, 2147483647);
    EXPECT_DOUBLE_EQ(d.end->scanInterval, 1.0 / 200000.0);
    EXPECT_EQ(FileSize(files.FAIFileName()), 16u * 4u); // both blocks whole
}

TEST_F(RecordingFaults, AFailingBufferedAppendLeavesWholeBlocksAndStopsTheRun)
{
    for (const int error : {ENOSPC, EIO}) {
        StartBuffered(4, 1000.0);
        Deliver(40, 40, 1.0f);
        {
            FailingWrites disk(1, error);
            Deliver(40, 40, 2.0f);
        }
        EXPECT_FALSE(run.IsRunning());
        ASSERT_FALSE(prompts.messages.empty());
        EXPECT_EQ(prompts.messages.back().title, "BufferChange");
        EXPECT_NE(prompts.messages.back().text.find(std::strerror(error)), std::string::npos);
        EXPECT_EQ(FileSize(files.FAIFileName()), 40u * 4u);
        ASSERT_TRUE(Description().end.has_value());
        EXPECT_EQ(Description().end->scanCount, 10);
        prompts.messages.clear();
    }
}

TEST_F(RecordingFaults, EveryFailingWriteOfAPolledRunLeavesWholeScansAndAnIndexThatCoversThem)
{
    for (const int error : {ENOSPC, EIO}) {
        for (long k = 1;; ++k) {
            prompts.messages.clear();
            bool failed = false;
            {
                FailingWrites disk(k, error);
                StartPolledAIAndDI();
                for (int tick = 0; tick < 4 && run.IsRunning(); ++tick) {
                    clock.Advance(400);
                    polling.Tick();
                }
                failed = FailingWrites::Failed();
                // A write that fails on the polling thread stops the run from
                // there; one at Start never lets it begin.
                EXPECT_TRUE(!failed || !run.IsRunning()) << "write " << k;
                run.StopIfRunning();
            }
            if (!failed)
                break;
            const std::string where = "write " + std::to_string(k) + ", error " + std::to_string(error);
            ASSERT_FALSE(prompts.messages.empty()) << where;
            EXPECT_NE(prompts.messages[0].text.find(std::strerror(error)), std::string::npos) << where;
            EXPECT_FALSE(run.IsRunning()) << where;
            // AI and DI hold the same whole scans, and the index names them.
            const size_t aiRecords = AIRecords();
            EXPECT_EQ(FileSize(files.AIFileName()) % (4 * static_cast<size_t>(ai.ChanCount())), 0u) << where;
            if (FileSize(files.DIFileName()) >= 8) {
                EXPECT_EQ(FileSize(files.DIFileName()) - 8, aiRecords) << where;
            }
            ProjectDescription d;
            try {
                d = Description();
            } catch (const DescriptionFormatError&) {
                continue; // the failure hit the index itself at Start: no run
            }
            if (d.end) {
                EXPECT_EQ(static_cast<size_t>(d.end->scanCount), aiRecords) << where;
            }
        }
    }
}

TEST_F(RecordingFaults, APolledRunCutShortKeepsTheIntervalOfTheScansItRecorded)
{
    setup.nTimerInterval = 10;
    StartPolledAIAndDI();
    prompts.whileShown = [this] { clock.Advance(30000); }; // the operator reads the message for 30 s
    {
        FailingWrites disk(26, ENOSPC); // the DI record of the 13th tick
        for (int tick = 0; tick < 13; ++tick) {
            clock.Advance(10);
            polling.Tick();
        }
    }
    ASSERT_EQ(prompts.messages.size(), 1u);
    ASSERT_FALSE(run.IsRunning());
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, 12);
    // 12 scans in the 120 ms up to the last of them, not until the message was dismissed.
    EXPECT_DOUBLE_EQ(Description().end->scanInterval, 0.120 / 12);
}

TEST_F(RecordingFaults, WhileRecordingTheIndexNamesTheScansOnDiskAndStopWritesTheSameBytesAsOnce)
{
    StartPolledAIAndDI();
    polling.Tick();
    EXPECT_FALSE(Description().end.has_value()); // not a second yet
    const size_t fields1To12 = FileSize(files.ProjectFileName());
    for (int tick = 0; tick < 11; ++tick) {
        clock.Advance(100);
        polling.Tick();
    }
    ProjectDescription d = Description();
    ASSERT_TRUE(d.end.has_value());
    // Written at the tick a second after Start: 11 scans in 1000 ms.
    EXPECT_EQ(d.end->scanCount, 11);
    EXPECT_LE(static_cast<size_t>(d.end->scanCount), AIRecords());
    EXPECT_DOUBLE_EQ(d.end->scanInterval, 1000.0 / 11 / 1000.0);
    EXPECT_EQ(FileSize(files.ProjectFileName()), fields1To12 + 12);

    clock.Advance(50);
    run.BtnStart_Click();
    d = Description();
    EXPECT_EQ(d.end->scanCount, 12);
    EXPECT_DOUBLE_EQ(d.end->scanInterval, 1150.0 / 12 / 1000.0);
    EXPECT_EQ(FileSize(files.ProjectFileName()), fields1To12 + 12);
}

} // namespace
} // namespace ondrel
