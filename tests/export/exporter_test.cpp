#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/project_export.h"
#include <filesystem>
#include <gtest/gtest.h>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

// An export format that notes what it is handed, in order.
class RecordedExporter final : public IExporter {
public:
    void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) override
    {
        calls.push_back("begin " + std::to_string(recording.aiChanCount) + " " + std::to_string(kinds.ai)
                        + std::to_string(kinds.di));
        folderWasEmpty = fs::is_empty(folder);
        this->folder = folder;
        names = recording.aiNames;
        diPorts = {recording.diPortStart, recording.diPortCount};
    }
    void WriteAI(const AIScanBlock& block) override
    {
        calls.push_back("ai " + std::to_string(block.firstScan) + "+" + std::to_string(block.scans));
        for (float v : block.floats)
            samples.push_back(v);
    }
    void WriteDI(const DIScanBlock& block) override
    {
        calls.push_back("di " + std::to_string(block.firstScan) + "+" + std::to_string(block.scans)
                        + (block.end ? " end " + std::to_string(block.cutOff.size()) : ""));
        ports.insert(ports.end(), block.ports.begin(), block.ports.end());
    }
    void Finish() override
    {
        calls.push_back("finish");
        finishedBeforeTheFolderAppeared = !fs::exists(fs::path(folder).parent_path() / "out");
    }
    void Abandon() noexcept override { calls.push_back("abandon"); }

    std::vector<std::string> calls;
    bool folderWasEmpty = false;
    std::string folder;
    bool finishedBeforeTheFolderAppeared = false;
    std::vector<std::string> names;
    std::pair<int32_t, int32_t> diPorts;
    std::vector<float> samples;
    std::vector<uint8_t> ports;
};

class ExporterTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string project = folder / "Project.onp";

    // Whether anything of an export to "out" is left: the folder or the
    // hidden one it is written in first.
    bool AnythingLeft()
    {
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name == "out" || name.rfind(".out.partial-", 0) == 0)
                return true;
        }
        return false;
    }

    void SetUp() override
    {
        testing::IndexSpec spec;
        spec.aiChans = 4; // 16 bytes a scan: 25,000 scans a 400,000-byte block
        spec.di = true;
        spec.diChans = 1;
        spec.portMasks = {0, 0, 1};
        spec.scanCount = 60001;
        spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
        testing::WriteFile(project, testing::IndexBytes(spec).bytes());
        auto ai = testing::AIData(60001, 4);
        ai.resize(ai.size() + 5); // part of one more scan
        testing::WriteFile(folder / "AI.ond", ai);
        // Ports 2 and 3: 40,000 whole scans and one port of the next, fewer
        // than the description states.
        std::vector<uint8_t> di(80001);
        for (size_t i = 0; i < di.size(); ++i)
            di[i] = static_cast<uint8_t>(i);
        testing::WriteFile(folder / "DI.ond", testing::DIData(2, 2, di));
    }
};

TEST_F(ExporterTest, AFormatGetsTheDescriptionThenWholeScansInBlocksAIFirst)
{
    RecordingReader reader(project, true, true);
    RecordedExporter format;
    ASSERT_EQ(ExportRecording(reader, format, {true, true}, folder / "out", {}), ExportOutcome::Written);
    EXPECT_EQ(format.calls, (std::vector<std::string>{"begin 4 11", "ai 0+25000", "ai 25000+25000", "ai 50000+10001",
                                                      "di 0+40000 end 1", "finish"}));
    EXPECT_TRUE(format.folderWasEmpty);
    // Written beside the folder asked for, which appears only when complete.
    EXPECT_NE(format.folder, folder / "out");
    EXPECT_FALSE(fs::exists(format.folder));
    EXPECT_TRUE(format.finishedBeforeTheFolderAppeared);
    EXPECT_TRUE(fs::is_directory(folder / "out"));
    EXPECT_EQ(format.names, (std::vector<std::string>{"AI0", "AI1", "AI2", "AI3"}));
    EXPECT_EQ(format.diPorts, (std::pair<int32_t, int32_t>{2, 2}));
    ASSERT_EQ(format.samples.size(), 60001u * 4);
    EXPECT_EQ(format.samples[4 * 33333 + 3], 33333.0f + 3.0f / 10.0f);
    ASSERT_EQ(format.ports.size(), 80000u);
    EXPECT_EQ(format.ports[79999], static_cast<uint8_t>(79999));
}

TEST_F(ExporterTest, DIBlocksStopAtTheScansTheDescriptionStates)
{
    testing::IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    spec.scanCount = 3;
    spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
    testing::WriteFile(project, testing::IndexBytes(spec).bytes());
    testing::WriteFile(folder / "DI.ond", testing::DIData(0, 1, {1, 2, 3, 4, 5}));
    RecordingReader reader(project, false, true);
    RecordedExporter format;
    ASSERT_EQ(ExportRecording(reader, format, {false, true}, folder / "out", {}), ExportOutcome::Written);
    EXPECT_EQ(format.calls, (std::vector<std::string>{"begin 0 01", "di 0+3", "finish"}));
}

TEST_F(ExporterTest, ACancelOrAFailureAbandonsTheFormatAndRemovesTheFolder)
{
    {
        RecordingReader reader(project, true, true);
        RecordedExporter format;
        int reports = 0;
        EXPECT_EQ(ExportRecording(reader, format, {true, true}, folder / "out", [&](double) { return ++reports < 2; }),
                  ExportOutcome::Cancelled);
        EXPECT_EQ(format.calls, (std::vector<std::string>{"begin 4 11", "ai 0+25000", "ai 25000+25000", "abandon"}));
        EXPECT_FALSE(AnythingLeft());
    }
    // A format that fails is abandoned too, and its failure reaches the caller.
    struct Failing final : IExporter {
        void Begin(const RecordingInfo&, ExportKinds, const std::string& dir) override
        {
            testing::WriteFile(dir + "/part", {std::byte{1}});
        }
        void WriteAI(const AIScanBlock&) override { throw FileError(ENOSPC, "AI.xlt"); }
        void WriteDI(const DIScanBlock&) override {}
        void Finish() override {}
        void Abandon() noexcept override { abandoned = true; }
        bool abandoned = false;
    } failing;
    RecordingReader reader(project, true, false);
    EXPECT_THROW(ExportRecording(reader, failing, {true, false}, folder / "out", {}), FileError);
    EXPECT_TRUE(failing.abandoned);
    EXPECT_FALSE(AnythingLeft());
}

TEST_F(ExporterTest, TheReaderRefusesAKindThatIsNotRecorded)
{
    testing::IndexSpec spec;
    spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
    testing::WriteFile(project, testing::IndexBytes(spec).bytes());
    EXPECT_THROW(RecordingReader(project, false, true), std::invalid_argument);
    const RecordingInfo info = ReadRecordingInfo(project);
    EXPECT_TRUE(info.ai);
    EXPECT_FALSE(info.di);
    EXPECT_EQ(info.scanCount, 1000);
    EXPECT_DOUBLE_EQ(info.scanInterval, 0.01);
}

} // namespace
} // namespace ondrel
