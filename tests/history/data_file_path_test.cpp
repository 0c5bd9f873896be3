#include "history/replay_fixture.h"
#include "ondrel/history/data_file_path.h"
#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/save_as.h"

namespace ondrel::testing {
namespace {

namespace fs = std::filesystem;

TEST(ResolveDataFile, TheFileBesideTheDescriptionWinsOverTheStoredPath)
{
    ScratchFolder folder;
    fs::create_directories(folder / "copy");
    fs::create_directories(folder / "original");
    WriteFile(folder / "copy/ai.OND", {std::byte{1}});
    WriteFile(folder / "original/AI.ond", {std::byte{2}});
    const std::string description = folder / "copy/Project.onp";

    // A copy replays its own data while the original still exists.
    EXPECT_EQ(ResolveDataFile(description, folder / "original/AI.ond"), folder / "copy/ai.OND");
    // A path saved on Windows: its last element, either separator, any case.
    EXPECT_EQ(ResolveDataFile(description, "C:\\Data\\run1\\AI.ond"), folder / "copy/ai.OND");
    // Nothing of that name beside it: the stored path as it is.
    EXPECT_EQ(ResolveDataFile(description, folder / "original/DI.ond"), folder / "original/DI.ond");
    // No path stored (a working folder's description): nothing to find.
    EXPECT_EQ(ResolveDataFile(description, ""), "");
}

TEST(ResolveDataFile, AnExactNameBeatsOneThatDiffersInCaseAndAFolderIsNoFile)
{
    ScratchFolder folder;
    WriteFile(folder / "ai.ond", {std::byte{1}});
    WriteFile(folder / "AI.ond", {std::byte{2}});
    fs::create_directories(folder / "DI.ond");
    EXPECT_EQ(ResolveDataFile(folder / "Project.onp", "/gone/AI.ond"), folder / "AI.ond");
    EXPECT_EQ(ResolveDataFile(folder / "Project.onp", "/gone/DI.ond"), "/gone/DI.ond");
}

class MovedProjectTest : public ReplayTest {};

TEST_F(MovedProjectTest, AFolderMovedAfterSavingReplaysItsOwnData)
{
    const std::string saved = folder / "run1";
    IndexSpec spec;
    spec.aiChans = 1;
    spec.scanCount = 3;
    Save(saved, spec, AIData(3, 1), {});
    fs::rename(saved, folder / "moved");

    Open(folder / "moved/Project.onp");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(state.bHistoryMode);
    EXPECT_EQ(state.szHisAIFile, saved + "/AI.ond"); // the stored path is kept as read
    EXPECT_EQ(state.nHisDataScanCount, 3);
    EXPECT_FALSE(fs::exists(saved)); // and nothing is created there
}

// A project saved by Save As under a folder name the single-byte text cannot
// hold: the description stores '?' for those letters, so only the file beside
// it can be found.
TEST_F(MovedProjectTest, AProjectSavedUnderANonLatinFolderNameReplays)
{
    const std::string work = folder / "work";
    fs::create_directories(work);
    RunDescription run;
    run.aiRecorded = run.softRecorded = run.floatSamples = true;
    run.aiChanCount = 2;
    run.ai = AIDescription{{{255, 0, "a"}, {65280, 0, "b"}}, std::vector<uint8_t>(16, 0)};
    std::vector<std::byte> description = EncodeRunDescription(run);
    const std::vector<std::byte> end = EncodeRunEnd({4, 0.5});
    description.insert(description.end(), end.begin(), end.end());
    WriteFile(work + "/Project.ond", description);
    WriteFile(work + "/AI.ond", AIData(4, 2));
    WriteFile(work + "/DI.ond", {});
    const std::string target = folder / "Запись 測定";
    SaveRunAs(
        SavedRun{work + "/Project.ond", work + "/AI.ond", work + "/FAI.ond", work + "/DI.ond", true, false, false},
        target);

    Open(target + "/Project.onp");
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages.front().text;
    EXPECT_NE(state.szHisAIFile.find('?'), std::string::npos);
    EXPECT_EQ(state.nHisDataScanCount, 4);
    Play();
    Tick(); // 2 scans/s at a 500 ms period: one scan
    EXPECT_EQ(valuesOf(PlotAt(1)), (std::vector<double>{0.1f}));
}

} // namespace
} // namespace ondrel::testing
