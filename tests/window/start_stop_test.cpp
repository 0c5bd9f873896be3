#include "window/window_fixture.h"
#include "support/frm_main_probe.h"

namespace ondrel {
namespace {

using StartStop = testing::WindowTest;
using Message = testing::RecordedPrompts::Message;

TEST_F(StartStop, SwitchRefusalsComeInOrderAndPutTheSwitchBack)
{
    components.aiCard = -1;
    Open();
    FlipAI(true);
    EXPECT_FALSE(state().bAIEnabled);
    EXPECT_FALSE(testing::Inside(*form).KroButton1().Value());
    FlipDI(true); // a device, but no port selected
    EXPECT_EQ(prompts.messages,
              (std::vector<Message>{{"No AI device is selected", ""}, {"No DI Port is selected", ""}}));
    EXPECT_FALSE(state().bDIEnabled);
    EXPECT_FALSE(testing::Inside(*form).KroButton2().Value());

    components.dio->SelectDeviceNumber(-1);
    FlipDI(true);
    EXPECT_EQ(prompts.messages.back().text, "No DI device is selected");
}

TEST_F(StartStop, BufferedAIRefusesDIAndPollingTakesBoth)
{
    Open();
    SelectDILines();
    state().bSoftMode = false;
    FlipAI(true);
    FlipDI(true);
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"FAI can't run together with DI", ""}}));
    EXPECT_FALSE(state().bDIEnabled);

    state().bSoftMode = true;
    FlipDI(true);
    EXPECT_TRUE(state().bDIEnabled);
    EXPECT_TRUE(Enabled("CkDISave2Disk"));
    // Switching off disables the box but keeps its tick.
    Tick("CkDISave2Disk");
    FlipDI(false);
    EXPECT_FALSE(Enabled("CkDISave2Disk"));
    EXPECT_TRUE(state().bDISaveToDisk);
}

TEST_F(StartStop, StartWithNothingSwitchedOnStaysIdle)
{
    Open();
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_EQ(prompts.messages, (std::vector<Message>{{"No Operation is enabled", ""}}));
    EXPECT_FALSE(testing::Inside(*form).run().status().isSystemRunning);
    EXPECT_EQ(StartCaption(), "Start");
}

TEST_F(StartStop, PolledAIRunRecordsEveryScanTheCardProduced)
{
    Open();
    FlipAI(true);
    Tick("CkAISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(testing::Inside(*form).run().status().isSystemRunning)
        << (prompts.messages.empty() ? "" : prompts.messages[0].text);
    EXPECT_EQ(StartCaption(), "Stop");
    for (const char* name : {"FrameSet", "BtnSet", "KroButton1", "BtnHistory", "BtnSaveAs"})
        EXPECT_FALSE(Enabled(name)) << name;

    // Ticks arrive on the polling thread; the count is safe to watch from here.
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 3; }));
    clock.Advance(300);
    testing::Inside(*form).run().BtnStart_Click();
    EXPECT_FALSE(testing::Inside(*form).run().status().isSystemRunning);
    EXPECT_EQ(StartCaption(), "Start");
    EXPECT_TRUE(Enabled("BtnSaveAs"));
    EXPECT_TRUE(Enabled("CkAISave2Disk"));
    EXPECT_FALSE(Enabled("CkDISave2Disk")); // the DI switch is off
    EXPECT_TRUE(prompts.messages.empty());
    const int32_t scans = testing::Inside(*form).run().status().nScanCount;
    EXPECT_EQ(testing::Inside(*form).run().status().nSoftTickCount, scans);

    const int32_t chanCount = components.ai->ChanCount();
    const auto values = FileValues<float>(testing::Inside(*form).files()->AIFileName());
    ASSERT_EQ(values.size(), static_cast<size_t>(scans * chanCount));
    const auto ranges = ChannelRanges();
    for (size_t k = 0; k < values.size(); ++k)
        ASSERT_EQ(
            values[k],
            static_cast<float>(
                kro::SimSignal::runSample(*components.ai->card(), 0, chanCount, ranges, static_cast<int64_t>(k)).value))
            << k;

    const ProjectDescription d = Description();
    EXPECT_TRUE(d.run.aiRecorded);
    EXPECT_FALSE(d.run.diRecorded);
    EXPECT_TRUE(d.run.softRecorded);
    EXPECT_TRUE(d.run.floatSamples);
    ASSERT_TRUE(d.run.ai.has_value());
    EXPECT_EQ(d.run.ai->plots.size(), static_cast<size_t>(chanCount));
    EXPECT_EQ(d.run.ai->plots[1].name, "AI 1");
    ASSERT_TRUE(d.end.has_value());
    EXPECT_EQ(d.end->scanCount, scans);
    EXPECT_DOUBLE_EQ(d.end->scanInterval, 300.0 / scans / 1000.0);
    EXPECT_FALSE(d.paths.has_value());
}

TEST_F(StartStop, PolledAIAndDIRecordTheirFilesAndTheDIHeader)
{
    Open();
    SelectDILines();
    FlipAI(true);
    FlipDI(true);
    Tick("CkDISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 2; }));
    testing::Inside(*form).run().BtnStart_Click();
    const int32_t scans = testing::Inside(*form).run().status().nScanCount;

    const auto di = FileValues<uint8_t>(testing::Inside(*form).files()->DIFileName());
    ASSERT_EQ(di.size(), 8u + 2u * static_cast<size_t>(scans));
    EXPECT_EQ(FileValues<int32_t>(testing::Inside(*form).files()->DIFileName())[0], 0); // first port
    EXPECT_EQ(FileValues<int32_t>(testing::Inside(*form).files()->DIFileName())[1], 2); // ports per scan
    for (int32_t s = 0; s < scans; ++s)
        for (int32_t b = 0; b < 2; ++b)
            EXPECT_EQ(di[8 + 2 * s + b], kro::SimSignal::diPort(b, s));
    EXPECT_TRUE(FileBytes(testing::Inside(*form).files()->AIFileName()).empty()); // AI was on but not saved

    const ProjectDescription d = Description();
    EXPECT_FALSE(d.run.aiRecorded);
    EXPECT_TRUE(d.run.diRecorded);
    EXPECT_EQ(d.run.aiChanCount, components.ai->ChanCount());
    ASSERT_TRUE(d.run.di.has_value());
    EXPECT_EQ(d.run.di->plots[2].name, "DI 1:7");
    EXPECT_EQ(d.run.di->portMasks, (std::vector<uint8_t>{0x05, 0x80, 0x00}));

    // The DI plots were drawn on the stacked levels: line 7 of port 1 sits at
    // 1.5 * 15 + 3 = 25.5, plus one when set. The last scans reach the chart
    // from the polling thread once this thread's events run.
    IKroPlot& line17 = testing::Inside(*form).KroGraph1().Plots().Item(components.ai->ChanCount() + 2);
    EXPECT_TRUE(waitFor([&] { return line17.PointCount() == scans; })) << line17.PointCount() << " of " << scans;
}

TEST_F(StartStop, NonCyclicBufferedRunStopsItselfWithEverySampleRecorded)
{
    Open();
    state().bSoftMode = false;
    FlipAI(true);
    Tick("CkAISave2Disk");
    components.ai->setSampleRate(100000);
    state().nAISampleCnt = 8192;
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(testing::Inside(*form).run().status().isSystemRunning);
    ASSERT_TRUE(waitFor([&] { return !testing::Inside(*form).run().status().isSystemRunning; }));
    EXPECT_TRUE(prompts.messages.empty());

    const int32_t chanCount = components.ai->ChanCount();
    EXPECT_EQ(testing::Inside(*form).run().status().nScanCount, 8192 / chanCount);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().ChartLength(), 8192);
    const auto values = FileValues<float>(testing::Inside(*form).files()->FAIFileName());
    ASSERT_EQ(values.size(), 8192u);
    const auto ranges = ChannelRanges();
    const int64_t period = kro::SimSignal::bufferedPeriod(100000, chanCount);
    for (size_t k = 0; k < values.size(); ++k)
        ASSERT_EQ(values[k], static_cast<float>(kro::SimSignal::runSample(*components.ai->card(), 0, chanCount, ranges,
                                                                          static_cast<int64_t>(k), period)
                                                    .value))
            << k;
    const ProjectDescription d = Description();
    EXPECT_FALSE(d.run.softRecorded);
    EXPECT_TRUE(d.run.floatSamples);
    ASSERT_TRUE(d.end.has_value());
    EXPECT_DOUBLE_EQ(d.end->scanInterval, chanCount / 100000.0);
    EXPECT_TRUE(Enabled("BtnSaveAs"));
}

TEST_F(StartStop, RawCountsOfThe5342KeepTheirLowTwelveBits)
{
    components.aiCard = kro::card::Model5342;
    Open();
    state().bSoftMode = false;
    components.ai->setDataReturnType(SampleData::RawCounts);
    components.ai->setSampleRate(100000);
    FlipAI(true);
    Tick("CkAISave2Disk");
    state().nAISampleCnt = 4096;
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return !testing::Inside(*form).run().status().isSystemRunning; }));
    const auto counts = FileValues<int32_t>(testing::Inside(*form).files()->FAIFileName());
    ASSERT_EQ(counts.size(), 4096u);
    const auto ranges = ChannelRanges();
    const int64_t period = kro::SimSignal::bufferedPeriod(100000, components.ai->ChanCount());
    for (size_t k = 0; k < counts.size(); ++k) {
        const auto expected = kro::SimSignal::runSample(*components.ai->card(), 0, components.ai->ChanCount(), ranges,
                                                        static_cast<int64_t>(k), period);
        ASSERT_EQ(counts[k], expected.raw & 4095) << k;
    }
    EXPECT_FALSE(Description().run.floatSamples);
}

TEST_F(StartStop, CyclicRunSetsTheTimeBaseAndAFailingCardStopsTheRun)
{
    Open();
    state().bSoftMode = false;
    state().bFAICyclic = true;
    FlipAI(true);
    Tick("CkAISave2Disk");
    components.ai->setSampleRate(50000);
    components.ai->setFailAfterHalves(3);
    testing::Inside(*form).run().BtnStart_Click();
    // 50 kS/s is a high rate: two seconds across the chart, 100000 points.
    EXPECT_DOUBLE_EQ(testing::Inside(*form).KroGraph1().Axes().Item(0).Maximum(), 2.0);
    EXPECT_EQ(testing::Inside(*form).KroGraph1().ChartLength(), 100000);
    EXPECT_DOUBLE_EQ(testing::Inside(*form).timeBase().dDIVValue, 0.2);

    ASSERT_TRUE(waitFor([&] { return !testing::Inside(*form).run().status().isSystemRunning; }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "BufferChange");
    EXPECT_FALSE(prompts.messages[0].text.empty());
    // What arrived before the failure is kept and the description is complete.
    const int32_t scans = testing::Inside(*form).run().status().nScanCount;
    EXPECT_GT(scans, 0);
    EXPECT_EQ(FileValues<float>(testing::Inside(*form).files()->FAIFileName()).size(),
              static_cast<size_t>(scans * components.ai->ChanCount()));
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, scans);
}

TEST_F(StartStop, StopWithoutScansWritesZerosAndLeavesSaveAsOff)
{
    Open();
    FlipAI(true);
    testing::Inside(*form).run().BtnStart_Click();
    testing::Inside(*form).run().BtnStart_Click(); // before the first tick
    ASSERT_TRUE(Description().end.has_value());
    EXPECT_EQ(Description().end->scanCount, 0);
    EXPECT_EQ(Description().end->scanInterval, 0.0);
    EXPECT_FALSE(Enabled("BtnSaveAs"));
}

TEST_F(StartStop, SecondStartEmptiesTheFilesOfTheFirst)
{
    Open();
    FlipAI(true);
    Tick("CkAISave2Disk");
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(waitFor([&] { return testing::Inside(*form).run().status().nScanCount >= 3; }));
    testing::Inside(*form).run().BtnStart_Click();
    testing::Inside(*form).run().BtnStart_Click();
    testing::Inside(*form).run().BtnStart_Click(); // stopped at once: no scan in the second run
    EXPECT_TRUE(FileBytes(testing::Inside(*form).files()->AIFileName()).empty());
    EXPECT_EQ(Description().end->scanCount, 0);
}

TEST_F(StartStop, ClosingDuringARunStopsItFirst)
{
    Open();
    FlipAI(true);
    testing::Inside(*form).run().BtnStart_Click();
    ASSERT_TRUE(testing::Inside(*form).run().status().isSystemRunning);
    const std::string folder = testing::Inside(*form).files()->Folder();
    form->close();
    EXPECT_FALSE(testing::Inside(*form).run().status().isSystemRunning);
    EXPECT_EQ(StartCaption(), "Start");
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_TRUE(prompts.messages.empty());
}

} // namespace
} // namespace ondrel
