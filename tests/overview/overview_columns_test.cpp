#include "overview/recording_fixture.h"
#include "ondrel/overview/overview_columns.h"
#include "ondrel/overview/summary_build.h"
#include <limits>

namespace ondrel::testing {
namespace {

class Columns : public ::testing::Test {
protected:
    void Open(const Samples& s)
    {
        samples = s;
        saved = std::make_unique<SavedRecording>(samples);
        auto reader = std::make_unique<RecordingReader>(saved->Project(), true, samples.ports > 0);
        summary = std::make_shared<OverviewSummary>(ShapeOf(*reader));
        BuildSummary(*reader, *summary);
        columns = std::make_unique<OverviewColumns>(
            summary, std::make_unique<RecordingReader>(saved->Project(), true, samples.ports > 0));
    }
    // What each column of `picture` must show at the least (its own scans) and
    // at the most (the finest blocks that meet them).
    void ExpectColumnsHoldTheirScans(const OverviewPicture& picture, int32_t channel, int64_t reach)
    {
        for (int c = 0; c < picture.width; ++c) {
            const int64_t from = OverviewColumns::ColumnStart(picture.first, picture.end, picture.width, c);
            const int64_t to = OverviewColumns::ColumnStart(picture.first, picture.end, picture.width, c + 1);
            const auto own = samples.Extremes(channel, from, to);
            const auto most = samples.Extremes(channel, from / reach * reach, (to + reach - 1) / reach * reach);
            const ValueSpan& shown = picture.ai[static_cast<size_t>(channel)][static_cast<size_t>(c)];
            if (!own)
                continue;
            EXPECT_LE(shown.min, own->first) << "column " << c;
            EXPECT_GE(shown.max, own->second) << "column " << c;
            EXPECT_GE(shown.min, most->first) << "column " << c;
            EXPECT_LE(shown.max, most->second) << "column " << c;
        }
    }

    Samples samples;
    std::unique_ptr<SavedRecording> saved;
    std::shared_ptr<OverviewSummary> summary;
    std::unique_ptr<OverviewColumns> columns;
    OverviewPicture picture;
};

TEST_F(Columns, ASpikeOfOneSampleStaysVisibleWhenTheWholeRecordingIsShown)
{
    Samples s = Noise(400000, 2, 0);
    s.ai[static_cast<size_t>(123457 * 2 + 1)] = 80.0f;
    Open(s);
    columns->Draw(0, 400000, 1600, picture);
    EXPECT_FALSE(picture.fromData);
    ASSERT_EQ(picture.ai.size(), 2u);
    ASSERT_EQ(picture.ai[1].size(), 1600u);
    const int spikeColumn = static_cast<int>(123457.0 / 400000.0 * 1600.0);
    EXPECT_EQ(picture.ai[1][static_cast<size_t>(spikeColumn)].max, 80.0f);
    int columnsWithSpike = 0;
    for (const ValueSpan& column : picture.ai[1])
        columnsWithSpike += column.max == 80.0f;
    EXPECT_LE(columnsWithSpike, 2); // a block may reach into the next column, no further
    ExpectColumnsHoldTheirScans(picture, 0, OverviewSummary::BlockScans(2));
}

TEST_F(Columns, ZoomedInBelowABlockAColumnIsReadFromTheDataExactly)
{
    Open(Noise(100000, 3, 1));
    columns->Draw(1000.5, 1000.5 + 64.0 * 700, 700, picture);
    EXPECT_TRUE(picture.fromData);
    EXPECT_FALSE(picture.samples);
    for (int32_t ch = 0; ch < 3; ++ch)
        ExpectColumnsHoldTheirScans(picture, ch, 1);
    for (int c = 0; c < 700; c += 7) {
        const int64_t from = OverviewColumns::ColumnStart(picture.first, picture.end, 700, c);
        const int64_t to = OverviewColumns::ColumnStart(picture.first, picture.end, 700, c + 1);
        const auto [always, ever] = samples.Levels(0, from, to);
        EXPECT_EQ(picture.di[0][static_cast<size_t>(c)].always, always);
        EXPECT_EQ(picture.di[0][static_cast<size_t>(c)].ever, ever);
    }
}

TEST_F(Columns, AtTheFinestZoomTheScansThemselvesAreGiven)
{
    Open(Noise(5000, 2, 0));
    columns->Draw(4990.0, 5000.0, 800, picture);
    ASSERT_TRUE(picture.samples);
    EXPECT_EQ(picture.firstScan, 4990);
    ASSERT_EQ(picture.ai[1].size(), 10u);
    for (int64_t i = 0; i < 10; ++i) {
        EXPECT_EQ(picture.ai[1][static_cast<size_t>(i)].min, samples.At(4990 + i, 1));
        EXPECT_EQ(picture.ai[1][static_cast<size_t>(i)].max, samples.At(4990 + i, 1));
    }
}

TEST_F(Columns, AGapIsNoValueAndTheColumnsBeyondWhatIsSummedUpAreEmpty)
{
    Samples s = Noise(300000, 1, 0);
    for (int64_t scan = 150000; scan < 160000; ++scan)
        s.ai[static_cast<size_t>(scan)] = std::numeric_limits<float>::quiet_NaN();
    Open(s);
    columns->Draw(0, 300000, 300, picture);
    EXPECT_TRUE(picture.ai[0][152].Empty());
    EXPECT_FALSE(picture.ai[0][149].Empty());

    // A summary only half built: what it has not reached shows nothing yet.
    auto half = std::make_shared<OverviewSummary>(summary->Shape());
    half->AppendAI(std::span(samples.ai).first(100000));
    OverviewColumns partial(half, std::make_unique<RecordingReader>(saved->Project(), true, false));
    partial.Draw(0, 300000, 300, picture);
    EXPECT_FALSE(picture.ai[0][90].Empty());
    EXPECT_TRUE(picture.ai[0][120].Empty());
}

} // namespace
} // namespace ondrel::testing
