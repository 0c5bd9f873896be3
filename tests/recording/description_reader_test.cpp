#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/description_writer.h"

#include "recording/expected_bytes.h"

#include <gtest/gtest.h>
#include <random>

using namespace ondrel;

namespace {

std::vector<std::byte> Concat(std::initializer_list<std::vector<std::byte>> parts)
{
    std::vector<std::byte> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

ProjectDescription SavedProject()
{
    ProjectDescription project;
    project.run.aiRecorded = true;
    project.run.diRecorded = true;
    project.run.aiChanCount = 2;
    project.run.diChanCount = 1;
    project.run.ai = AIDescription{{{255, 0, "AI 0"}, {65280, 1, "T\xC3\xA9mp"}}, {0, kThermocoupleChannel, 0}};
    project.run.di = DIDescription{{{5, 2, "DI 1.0"}}, {0x00, 0x01}};
    project.end = RunEnd{100, 0.01};
    project.paths = SavedPaths{"/home/op/run/AI.ond", "/home/op/run/DI.ond"};
    return project;
}

std::vector<std::byte> Encode(const ProjectDescription& project)
{
    return Concat({EncodeRunDescription(project.run), EncodeRunEnd(*project.end), EncodeSavedPaths(*project.paths)});
}

} // namespace

TEST(DescriptionReader, ReadsAHandWrittenSavedProject)
{
    const auto bytes = ExpectedBytes()
                           .i16(-1)
                           .i16(0)
                           .i16(-1)
                           .i16(-1)
                           .i32(1)
                           .i32(7) // DI count stored although DI is off
                           .plot(0xABCDEF, 3, "Pressure \xB0")
                           .i32(2)
                           .byte(1)
                           .byte(0)
                           .i32(42)
                           .f64(0.25)
                           .text("C:\\Data\\run\\AI.ond")
                           .byte(0)
                           .text("C:\\Data\\run\\DI.ond")
                           .bytes();
    const ProjectDescription project = ParseProjectDescription(bytes);
    EXPECT_TRUE(project.run.aiRecorded);
    EXPECT_FALSE(project.run.diRecorded);
    EXPECT_TRUE(project.run.softRecorded);
    EXPECT_EQ(project.run.diChanCount, 7);
    ASSERT_TRUE(project.run.ai.has_value());
    EXPECT_EQ(project.run.ai->plots, (std::vector<PlotRecord>{{0xABCDEF, 3, "Pressure \xC2\xB0"}}));
    EXPECT_EQ(project.run.ai->channelKinds, (std::vector<uint8_t>{kThermocoupleChannel, kVoltageChannel}));
    EXPECT_FALSE(project.run.di.has_value());
    EXPECT_EQ(project.end, (RunEnd{42, 0.25}));
    EXPECT_EQ(project.paths, (SavedPaths{"C:\\Data\\run\\AI.ond", "C:\\Data\\run\\DI.ond"}));
}

TEST(DescriptionReader, ReadsBackWhatTheWriterWrote)
{
    const ProjectDescription project = SavedProject();
    EXPECT_EQ(ParseProjectDescription(Encode(project)), project);

    ProjectDescription working = project; // a working folder's description: no paths
    working.paths.reset();
    EXPECT_EQ(ParseProjectDescription(Concat({EncodeRunDescription(working.run), EncodeRunEnd(*working.end)})),
              working);

    ProjectDescription unfinished = working; // the run never stopped
    unfinished.end.reset();
    EXPECT_EQ(ParseProjectDescription(EncodeRunDescription(unfinished.run)), unfinished);
}

TEST(DescriptionReader, PathsEndAtTheirZeroByteOrAtTheEndOfTheFile)
{
    const auto head = ExpectedBytes().i16(0).i16(0).i16(0).i16(0).i32(0).i32(0).i32(0).f64(0.0);
    const auto onlyAI = Concat({head.bytes(), ExpectedBytes().text("/r/AI.ond").byte(0).bytes()});
    EXPECT_EQ(ParseProjectDescription(onlyAI).paths, (SavedPaths{"/r/AI.ond", ""}));
    const auto unterminated = Concat({head.bytes(), ExpectedBytes().text("/r/AI.ond").bytes()});
    EXPECT_EQ(ParseProjectDescription(unterminated).paths, (SavedPaths{"/r/AI.ond", ""}));
    const auto flagsNotMinusOne = ExpectedBytes().i16(1).i16(0).i16(0).i16(0).i32(0).i32(0).i32(0).bytes();
    EXPECT_TRUE(ParseProjectDescription(flagsNotMinusOne).run.aiRecorded);
}

TEST(DescriptionReader, EveryCutInsideARequiredFieldIsReported)
{
    const ProjectDescription project = SavedProject();
    const auto fields = EncodeRunDescription(project.run);
    const auto withEnd = Concat({fields, EncodeRunEnd(*project.end)});
    for (size_t length = 0; length < withEnd.size(); ++length) {
        const std::span<const std::byte> cut(withEnd.data(), length);
        if (length == fields.size())
            EXPECT_NO_THROW(ParseProjectDescription(cut));
        else
            EXPECT_THROW(ParseProjectDescription(cut), DescriptionFormatError) << "length " << length;
    }
}

TEST(DescriptionReader, CountsTheFileCannotHoldAreRefused)
{
    const auto hugePlots = ExpectedBytes().i16(-1).i16(0).i16(0).i16(0).i32(0x7FFFFFFF).i32(0).plot(1, 1, "x").bytes();
    const auto negativePlots = ExpectedBytes().i16(0).i16(-1).i16(0).i16(0).i32(0).i32(-3).bytes();
    const auto hugeKinds = ExpectedBytes().i16(-1).i16(0).i16(0).i16(0).i32(0).i32(0).i32(1000).byte(0).byte(1).bytes();
    const auto unterminatedName =
        ExpectedBytes().i16(-1).i16(0).i16(0).i16(0).i32(1).i32(0).i32(1).i32(1).text("abcdefgh").bytes();
    for (const auto* bytes : {&hugePlots, &negativePlots, &hugeKinds, &unterminatedName})
        EXPECT_THROW(ParseProjectDescription(*bytes), DescriptionFormatError);

    try {
        ParseProjectDescription(hugeKinds);
    } catch (const DescriptionFormatError& failure) {
        EXPECT_STREQ(failure.what(), "Project description: AIDevChanCount exceeds what the file holds (byte 16)");
    }
}

TEST(DescriptionReader, GarbageIsEitherReadOrReportedNeverMisread)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byteValue(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::byte> garbage(static_cast<size_t>(round % 97));
        for (std::byte& b : garbage)
            b = static_cast<std::byte>(byteValue(random));
        // A small flag word and count make the sections reachable now and then.
        if (garbage.size() >= 16 && round % 3 == 0) {
            garbage[0] = garbage[1] = std::byte{0xFF};
            garbage[12] = std::byte{static_cast<uint8_t>(round % 4)};
            garbage[13] = garbage[14] = garbage[15] = std::byte{0};
        }
        try {
            const ProjectDescription project = ParseProjectDescription(garbage);
            if (project.run.ai) {
                EXPECT_EQ(std::ssize(project.run.ai->plots), project.run.aiChanCount);
            }
        } catch (const DescriptionFormatError&) {
        }
    }
}
