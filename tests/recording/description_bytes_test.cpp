#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/working_folder.h"

#include "recording/expected_bytes.h"
#include "recording/file_content.h"
#include "common/scratch_folder.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace ondrel;

namespace {

// A started session: working folder with its files open, as after start-up.
class DescriptionBytes : public ::testing::Test {
protected:
    void SetUp() override { files.OpenAtStartUp(); }
    void TearDown() override { files.Shutdown(); }

    std::vector<std::byte> Written() const { return FileContent(files.ProjectFileName()); }
    void Start(const RunDescription& run) { files.WriteProjectInfo(run, nullptr); }

    ScratchFolder scratch;
    RecordingFiles files{CreateUniqueFolder(scratch.path(), "on")};
};

RunDescription AIAndDISaved()
{
    RunDescription run;
    run.aiRecorded = true;
    run.diRecorded = true;
    run.softRecorded = true;
    run.floatSamples = true;
    run.aiChanCount = 2;
    run.diChanCount = 3;
    run.ai = AIDescription{{{0x0000FF, 0, "AI 0"}, {0x00FF00, 2, "T\xC3\xA9mp"}},
                           {kVoltageChannel, kThermocoupleChannel, 0, 0}};
    run.di = DIDescription{{{0xFF0000, 1, "DI 0.0"}, {0x123456, 4, "DI 0.2"}, {-1, 3, ""}}, {0x05, 0x00, 0x80}};
    return run;
}

} // namespace

TEST_F(DescriptionBytes, AIEnabledButNotSavedKeepsOnlyTheChannelCount)
{
    RunDescription run;
    run.softRecorded = true;
    run.floatSamples = true;
    run.aiChanCount = 4;
    Start(run);
    files.WriteRunEnd({0, 0.0});

    const auto expected =
        ExpectedBytes().boolean(false).boolean(false).boolean(true).boolean(true).i32(4).i32(0).i32(0).f64(0.0);
    EXPECT_EQ(Written(), expected.bytes());
}

TEST_F(DescriptionBytes, AIAndDISavedDescribeTheirPlotsInChartOrder)
{
    Start(AIAndDISaved());
    files.WriteRunEnd({1234, 0.1});

    const auto expected = ExpectedBytes()
                              .boolean(true)
                              .boolean(true)
                              .boolean(true)
                              .boolean(true)
                              .i32(2)
                              .i32(3)
                              .plot(0x0000FF, 0, "AI 0")
                              .plot(0x00FF00, 2, "T\xE9mp")
                              .i32(4)
                              .byte(0)
                              .byte(1)
                              .byte(0)
                              .byte(0)
                              .plot(0xFF0000, 1, "DI 0.0")
                              .plot(0x123456, 4, "DI 0.2")
                              .plot(-1, 3, "")
                              .i32(3)
                              .byte(0x05)
                              .byte(0x00)
                              .byte(0x80)
                              .i32(1234)
                              .f64(0.1);
    // Only fields 1-14: a working folder's description has no path fields.
    EXPECT_EQ(Written(), expected.bytes());
}

TEST_F(DescriptionBytes, DIOnlyBuffersAndFloatFlagsStandAlone)
{
    RunDescription run;
    run.diRecorded = true;
    run.aiChanCount = 8; // AI switched on but not saved
    run.diChanCount = 1;
    run.di = DIDescription{{{7, 0, "Door"}}, {0x01}};
    Start(run);

    const auto expected = ExpectedBytes()
                              .boolean(false)
                              .boolean(true)
                              .boolean(false)
                              .boolean(false)
                              .i32(8)
                              .i32(1)
                              .plot(7, 0, "Door")
                              .i32(1)
                              .byte(0x01);
    EXPECT_EQ(Written(), expected.bytes());
}

TEST_F(DescriptionBytes, SecondStartEmptiesAllFourFiles)
{
    Start(AIAndDISaved());
    files.WriteDIHeader(0, 3);
    const float scan[] = {1.0f, 2.0f};
    const uint8_t ports[] = {1, 2, 3};
    const int32_t block[] = {1, 2, 3, 4};
    files.AppendAIRecord(scan);
    files.AppendDIRecord(ports);
    ASSERT_TRUE(files.AppendFAI(block));
    files.WriteRunEnd({1, 0.5});

    RunDescription second;
    second.aiChanCount = 1;
    Start(second);

    EXPECT_EQ(Written(), ExpectedBytes().i16(0).i16(0).i16(0).i16(0).i32(1).i32(0).bytes());
    EXPECT_TRUE(FileContent(files.AIFileName()).empty());
    EXPECT_TRUE(FileContent(files.DIFileName()).empty());
    EXPECT_TRUE(FileContent(files.FAIFileName()).empty());
}

TEST(DescriptionEncoding, TextIsSingleByteAndCannotEndEarly)
{
    RunDescription run;
    run.aiRecorded = true;
    run.aiChanCount = 1;
    run.ai = AIDescription{{{1, 2, std::string("a\0b\xE2\x82\xAC", 6)}}, {}};
    const auto expected = ExpectedBytes()
                              .boolean(true)
                              .boolean(false)
                              .boolean(false)
                              .boolean(false)
                              .i32(1)
                              .i32(0)
                              .plot(1, 2, "a?b?")
                              .i32(0);
    EXPECT_EQ(EncodeRunDescription(run), expected.bytes());

    EXPECT_EQ(EncodeSavedPaths({"/data/r\xC3\xBC"
                                "n/AI.ond",
                                "/data/DI.ond"}),
              ExpectedBytes().text("/data/r\xFCn/AI.ond").byte(0).text("/data/DI.ond").bytes());
}

TEST(DescriptionEncoding, RefusesDescriptionsThatCouldNotBeReadBack)
{
    RunDescription sectionWithoutFlag;
    sectionWithoutFlag.ai = AIDescription{};
    EXPECT_THROW(EncodeRunDescription(sectionWithoutFlag), std::invalid_argument);

    RunDescription flagWithoutSection;
    flagWithoutSection.diRecorded = true;
    EXPECT_THROW(EncodeRunDescription(flagWithoutSection), std::invalid_argument);

    RunDescription countMismatch = AIAndDISaved();
    countMismatch.aiChanCount = 3;
    EXPECT_THROW(EncodeRunDescription(countMismatch), std::invalid_argument);
}
