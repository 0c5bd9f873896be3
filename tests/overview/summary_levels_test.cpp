#include "overview/recording_fixture.h"
#include "ondrel/overview/summary_build.h"
#include <limits>

namespace ondrel::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Appends in pieces that end anywhere inside a block, as reads of whole scans do.
void AppendInPieces(OverviewSummary& summary, const Samples& samples, int64_t piece)
{
    for (int64_t s = 0; s < samples.AIScans(); s += piece) {
        const int64_t n = std::min(piece, samples.AIScans() - s);
        summary.AppendAI(
            std::span(samples.ai)
                .subspan(static_cast<size_t>(s * samples.channels), static_cast<size_t>(n * samples.channels)));
    }
    for (int64_t s = 0; s < samples.DIScans(); s += piece) {
        const int64_t n = std::min(piece, samples.DIScans() - s);
        summary.AppendDI(std::span(samples.di)
                             .subspan(static_cast<size_t>(s * samples.ports), static_cast<size_t>(n * samples.ports)));
    }
}

void ExpectEveryBlockAsBruteForce(const OverviewSummary& summary, const Samples& samples)
{
    for (int level = 0; level < summary.Levels(); ++level) {
        const int64_t scans = OverviewSummary::BlockScans(level);
        for (int64_t b = 0; b * scans < samples.AIScans(); ++b)
            for (int32_t ch = 0; ch < samples.channels; ++ch)
                ExpectSpan(summary.AIBlock(level, b, ch), samples.Extremes(ch, b * scans, (b + 1) * scans),
                           "level " + std::to_string(level) + " block " + std::to_string(b) + " channel "
                               + std::to_string(ch));
        for (int64_t b = 0; b * scans < samples.DIScans(); ++b)
            for (int32_t port = 0; port < samples.ports; ++port) {
                const auto [always, ever] = samples.Levels(port, b * scans, (b + 1) * scans);
                EXPECT_EQ(summary.DIBlock(level, b, port).always, always) << level << " " << b;
                EXPECT_EQ(summary.DIBlock(level, b, port).ever, ever) << level << " " << b;
            }
    }
}

// Two levels of whole blocks and a last block of 77 scans, a spike of one
// sample, a gap (NaN) that fills a whole finest block of one channel and
// single gaps elsewhere.
Samples Awkward()
{
    const int64_t scans = kSummaryBlockScans * kSummaryLevelFactor * kSummaryLevelFactor * 2 + 77;
    Samples s = Noise(scans, 3, 2);
    s.ai[static_cast<size_t>(5000 * 3 + 1)] = 250.0f; // channel 1, scan 5000
    for (int64_t scan = 3 * kSummaryBlockScans; scan < 4 * kSummaryBlockScans; ++scan)
        s.ai[static_cast<size_t>(scan * 3 + 2)] = kNaN;
    for (int64_t scan = 11; scan < scans; scan += 97)
        s.ai[static_cast<size_t>(scan * 3)] = kNaN;
    s.ai[s.ai.size() - 2] = -40.0f;                 // channel 1 in the last scan, inside the partial block
    s.di[static_cast<size_t>(9000 * 2 + 1)] = 0x80; // line 7 of port 1 high for one scan
    return s;
}

TEST(SummaryLevels, EveryBlockOfEveryLevelHoldsWhatABruteForcePassFinds)
{
    const Samples samples = Awkward();
    OverviewSummary summary({samples.AIScans(), 3, samples.DIScans(), 2});
    ASSERT_EQ(summary.Levels(), 4); // 2 top blocks need a fourth level of one
    AppendInPieces(summary, samples, 37);
    summary.Finish();
    ExpectEveryBlockAsBruteForce(summary, samples);

    // The spike, the gap and the last partial block, named once more.
    EXPECT_EQ(summary.AIBlock(3, 0, 1).max, 250.0f);
    EXPECT_TRUE(summary.AIBlock(0, 3, 2).Empty());
    EXPECT_FALSE(summary.AIBlock(1, 0, 2).Empty());
    const int64_t lastBlock = (samples.AIScans() - 1) / kSummaryBlockScans;
    EXPECT_EQ(summary.AIBlock(0, lastBlock, 1).min, -40.0f);
    EXPECT_EQ(summary.AIBlock(3, 0, 1).min, -40.0f);
    EXPECT_EQ(summary.DIBlock(3, 0, 1).ever & 0x80, 0x80);
    EXPECT_EQ(summary.DIBlock(0, 9000 / kSummaryBlockScans + 1, 1).ever & 0x80, 0);
}

TEST(SummaryLevels, ARecordingOfWholeBlocksOnlyEndsWithTheBlocksItClosed)
{
    const Samples samples = Noise(kSummaryBlockScans * kSummaryLevelFactor * 3, 2, 1, 11);
    OverviewSummary summary({samples.AIScans(), 2, samples.DIScans(), 1});
    AppendInPieces(summary, samples, 100);
    summary.Finish();
    ExpectEveryBlockAsBruteForce(summary, samples);
}

// 31 channels are summed up 16, 8 and 4 at a time and 3 alone: a spike, a dip
// and a gap in every channel, each in a block of its own, must land in that
// channel's block and no other.
TEST(SummaryLevels, EveryChannelOfAWideRecordingKeepsItsOwnSpikesAndGaps)
{
    constexpr int32_t kChannels = 31;
    Samples samples = Noise(kSummaryBlockScans * kSummaryLevelFactor + 50, kChannels, 0, 5);
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        const auto at = [&](int64_t scan) { return static_cast<size_t>(scan * kChannels + ch); };
        samples.ai[at(ch * 29 + 3)] = 10.0f + static_cast<float>(ch);
        samples.ai[at(ch * 31 + 7)] = -10.0f - static_cast<float>(ch);
        samples.ai[at(ch * 17 + 1)] = kNaN;
    }
    for (int64_t scan = 0; scan < kSummaryBlockScans; ++scan)
        samples.ai[static_cast<size_t>(scan * kChannels + 20)] = kNaN; // a whole block of channel 20 is a gap
    OverviewSummary summary({samples.AIScans(), kChannels, 0, 0});
    AppendInPieces(summary, samples, 45);
    summary.Finish();
    ExpectEveryBlockAsBruteForce(summary, samples);
    EXPECT_TRUE(summary.AIBlock(0, 0, 20).Empty());

    // Counts go through the same groups, as their values.
    std::vector<int32_t> counts(static_cast<size_t>(kSummaryBlockScans) * kChannels);
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<int32_t>(i % kChannels);
    counts[static_cast<size_t>(70 * kChannels + 9)] = 5000;
    counts[static_cast<size_t>(90 * kChannels + 27)] = -5000;
    OverviewSummary fromCounts({kSummaryBlockScans, kChannels, 0, 0});
    fromCounts.AppendAI(counts);
    fromCounts.Finish();
    for (int32_t ch = 0; ch < kChannels; ++ch) {
        const ValueSpan span = fromCounts.AIBlock(0, 0, ch);
        EXPECT_EQ(span.min, ch == 27 ? -5000.0f : static_cast<float>(ch)) << ch;
        EXPECT_EQ(span.max, ch == 9 ? 5000.0f : static_cast<float>(ch)) << ch;
    }
}

TEST(SummaryLevels, CountsAreSummedUpAsTheirValues)
{
    OverviewSummary summary({300, 1, 0, 0});
    std::vector<int32_t> counts(300);
    for (size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<int32_t>(i % 50) - 20;
    counts[200] = 32767;
    summary.AppendAI(counts);
    summary.Finish();
    EXPECT_EQ(summary.AIBlock(0, 1, 0).max, 32767.0f);
    EXPECT_EQ(summary.AIBlock(0, 2, 0).min, -14.0f); // scans 256 .. 299: 6 - 20 .. 49 - 20
    EXPECT_EQ(summary.AIBlock(0, 2, 0).max, 29.0f);
}

TEST(SummaryLevels, WhileGrowingOnlyWholeBlocksAreShownAndARangeTakesTheFinerLevelsAtTheFrontier)
{
    const Samples samples = Awkward();
    OverviewSummary summary({samples.AIScans(), 3, 0, 0});
    // 10 whole finest blocks and part of the eleventh: one whole level-1 block.
    summary.AppendAI(std::span(samples.ai).first(static_cast<size_t>((10 * kSummaryBlockScans + 50) * 3)));
    EXPECT_EQ(summary.AIDone(), 10 * kSummaryBlockScans);
    EXPECT_FALSE(summary.Finished());
    for (int32_t ch = 0; ch < 3; ++ch)
        ExpectSpan(summary.AIRange(ch, 0, samples.AIScans(), summary.Levels() - 1),
                   samples.Extremes(ch, 0, 10 * kSummaryBlockScans), "growing, channel " + std::to_string(ch));
    summary.AppendAI(std::span(samples.ai).subspan(static_cast<size_t>((10 * kSummaryBlockScans + 50) * 3)));
    summary.Finish();
    EXPECT_EQ(summary.AIDone(), samples.AIScans());
    ExpectSpan(summary.AIRange(1, 0, samples.AIScans(), summary.Levels() - 1), samples.Extremes(1, 0, 1 << 30),
               "finished");
}

TEST(SummaryLevels, ARangeCoversTheWholeBlocksOfItsLevelThatItMeets)
{
    const Samples samples = Awkward();
    OverviewSummary summary({samples.AIScans(), 3, 0, 0});
    AppendInPieces(summary, samples, 1000);
    summary.Finish();
    const int64_t block = OverviewSummary::BlockScans(1);
    // Scans 1500 .. 2500 meet level-1 blocks 1 and 2 (1024 .. 3072).
    ExpectSpan(summary.AIRange(0, 1500, 2500, 1), samples.Extremes(0, block, 3 * block), "level 1");
    ExpectSpan(summary.AIRange(0, 1500, 2500, 0), samples.Extremes(0, 1408, 2560), "level 0");
    EXPECT_TRUE(summary.AIRange(0, 2500, 1500, 0).Empty());
    EXPECT_TRUE(summary.AIRange(5, 0, 100, 0).Empty()); // no such channel
}

TEST(SummaryLevels, TheLevelsTakeUnderTwoPercentOfTheDataTheySumUp)
{
    const OverviewSummary ai({1 << 22, 16, 0, 0});
    EXPECT_LE(static_cast<double>(ai.Bytes()), 0.02 * (uint64_t{1} << 22) * 16 * 4);
    const OverviewSummary di({0, 0, 1 << 22, 4});
    EXPECT_LE(static_cast<double>(di.Bytes()), 0.02 * (uint64_t{1} << 22) * 4);
}

TEST(SummaryBuildThread, ReadsTheDataFilesOnceIntoTheLevelsAndReportsWhenDone)
{
    const Samples samples = Awkward();
    SavedRecording saved(samples);
    auto reader = std::make_unique<RecordingReader>(saved.Project(), true, true);
    auto summary = std::make_shared<OverviewSummary>(ShapeOf(*reader));
    std::atomic<int> done{0};
    {
        SummaryBuild build(std::move(reader), summary, [&](const OverviewSummary& built) {
            EXPECT_TRUE(built.Finished());
            ++done;
        });
        // Drawn from while it grows: never more than the data hold.
        const auto whole = samples.Extremes(1, 0, samples.AIScans());
        while (build.Running()) {
            const ValueSpan partial = summary->AIRange(1, 0, samples.AIScans(), summary->Levels() - 1);
            if (!partial.Empty()) {
                EXPECT_GE(partial.min, whole->first);
                EXPECT_LE(partial.max, whole->second);
            }
        }
        EXPECT_FALSE(build.Failure());
        EXPECT_EQ(build.Fraction(), 1.0);
    }
    EXPECT_EQ(done, 1);
    ExpectEveryBlockAsBruteForce(*summary, samples);
}

TEST(SummaryBuildThread, ABuildAskedToStopStopsUnfinishedAndOneDestroyedMidwayWaitsForItsWorker)
{
    SavedRecording saved(Noise(200000, 4, 0));
    RecordingReader reader(saved.Project(), true, false);
    OverviewSummary summary(ShapeOf(reader));
    const Progress stopAtOnce = [](double) { return false; };
    EXPECT_THROW(BuildSummary(reader, summary, stopAtOnce), Cancelled);
    EXPECT_FALSE(summary.Finished());

    auto growing = std::make_shared<OverviewSummary>(ShapeOf(reader));
    {
        SummaryBuild build(std::make_unique<RecordingReader>(saved.Project(), true, false), growing);
    }
    // Whatever it reached, nothing writes to the summary any more.
    const int64_t reached = growing->AIDone();
    EXPECT_EQ(growing->AIDone(), reached);
}

} // namespace
} // namespace ondrel::testing
