// Projects from a stranger: data paths that lead out of the project, links,
// pipes, and counts no device can have.
#include "history/replay_fixture.h"
#include "ondrel/history/recording_reader.h"
#include "ondrel/recording/description_reader.h"
#include "ondrel/common/file_error.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel::testing {
namespace {

namespace fs = std::filesystem;

class HostileProjectTest : public ReplayTest {
protected:
    std::string dir = folder / "p";
    std::string project = dir + "/Project.onp";

    HostileProjectTest() { fs::create_directories(dir); }

    // A saved AI+DI project whose description names `aiPath` and `diPath`.
    void Describe(const std::string& aiPath, const std::string& diPath)
    {
        IndexSpec spec;
        spec.di = true;
        spec.diChans = 1;
        spec.portMasks = {1};
        spec.scanCount = 4;
        spec.paths = {{aiPath, diPath}};
        WriteFile(project, IndexBytes(spec).bytes());
    }
    // What reading the project's data through the recording reader says.
    std::string Refusal(bool ai, bool di)
    {
        try {
            RecordingReader reader(project, ai, di);
        } catch (const FileError& error) {
            return error.what();
        }
        return "read";
    }
};

TEST_F(HostileProjectTest, OnlyRegularFilesNamedAsTheFormatNamesThemAreRead)
{
    // Nothing beside the description, so the stored paths would be used.
    WriteFile(folder / "secret", AIData(4, 2));
    const std::vector<std::string> elsewhere = {"/dev/zero", "/tmp/../../etc/passwd", folder / "secret"};
    for (const std::string& path : elsewhere) {
        SCOPED_TRACE(path);
        Describe(path, dir + "/DI.ond");
        const std::string refusal = Refusal(true, false);
        EXPECT_NE(refusal.find("\"AI.ond\""), std::string::npos) << refusal;
        EXPECT_NE(refusal.find(path), std::string::npos) << refusal;
    }
    // A DI path must name "DI.ond" as well, even when it is the AI file.
    WriteFile(dir + "/AI.ond", AIData(4, 2));
    Describe(dir + "/AI.ond", dir + "/AI.ond");
    EXPECT_NE(Refusal(false, true).find("\"DI.ond\""), std::string::npos);
    // A copy whose files changed letter case on the way still reads.
    fs::rename(dir + "/AI.ond", dir + "/ai.OND");
    Describe("C:\\run\\AI.ond", "C:\\run\\DI.ond");
    EXPECT_EQ(Refusal(true, false), "read");
}

TEST_F(HostileProjectTest, LinksPipesAndFoldersAreRefusedWithoutWaiting)
{
    Describe(dir + "/AI.ond", dir + "/DI.ond");
    WriteFile(folder / "secret", AIData(4, 2));
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    // A link as the data file beside the description: to a file elsewhere, to
    // a pipe (which would block open() for ever).
    for (const std::string& target : {folder / "secret", folder / "fifo"}) {
        SCOPED_TRACE(target);
        fs::remove(dir + "/AI.ond");
        fs::create_symlink(target, dir + "/AI.ond");
        const std::string refusal = Refusal(true, false);
        EXPECT_NE(refusal.find("link"), std::string::npos) << refusal;
        EXPECT_NE(refusal.find(dir + "/AI.ond"), std::string::npos) << refusal;
    }
    // A pipe or a folder of the right name.
    ASSERT_EQ(::mkfifo((dir + "/DI.ond").c_str(), 0600), 0);
    EXPECT_NE(Refusal(false, true).find("Not a regular file"), std::string::npos);
    fs::remove(dir + "/DI.ond");
    fs::create_directory(dir + "/DI.ond");
    EXPECT_NE(Refusal(false, true).find("Not a regular file"), std::string::npos);

    // Replay names the refused file and goes on without it, as for a missing one.
    fs::remove(dir + "/DI.ond");
    ASSERT_EQ(::mkfifo((dir + "/DI.ond").c_str(), 0600), 0);
    Open(project);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].title, "ReadHisAIFile");
    EXPECT_NE(prompts.messages[0].text.find(dir + "/AI.ond"), std::string::npos) << prompts.messages[0].text;
    EXPECT_EQ(prompts.messages[1].title, "ReadHisAIFile");
    EXPECT_NE(prompts.messages[1].text.find(dir + "/DI.ond"), std::string::npos) << prompts.messages[1].text;
    EXPECT_TRUE(state.bHistoryMode);
    EXPECT_EQ(state.nHisDataScanCount, 0);
}

TEST_F(HostileProjectTest, ReadsStopAtTheSizeTheFileHadWhenOpened)
{
    Describe(dir + "/AI.ond", dir + "/DI.ond");
    WriteFile(dir + "/AI.ond", AIData(3, 2));
    WriteFile(dir + "/DI.ond", DIData(0, 1, {1, 2, 3}));
    RecordingReader reader(project, true, true);
    // The files grow after they were opened, as one another program appends to would.
    WriteFile(dir + "/AI.ond", AIData(300, 2));
    WriteFile(dir + "/DI.ond", DIData(0, 1, std::vector<uint8_t>(300, 1)));
    EXPECT_EQ(reader.AI().ScanCount(), 3);
    const AIScanBlock ai = reader.AI().Read(1000);
    EXPECT_EQ(ai.scans, 3);
    EXPECT_TRUE(ai.end);
    EXPECT_EQ(reader.AI().Read(1000).scans, 0);
    const DIScanBlock di = reader.DI().Read(1000);
    EXPECT_EQ(di.scans, 3);
    EXPECT_TRUE(di.end);
    EXPECT_TRUE(di.cutOff.empty());
}

TEST_F(HostileProjectTest, ChannelCountsNoDeviceHasAreACorruptProject)
{
    // At the maximum a project replays; one more is refused before anything changes.
    for (const auto& [aiChans, diChans, refused] : std::vector<std::tuple<int32_t, int32_t, bool>>{
             {1024, 1, false}, {1, 2048, false}, {1025, 1, true}, {1, 2049, true}}) {
        SCOPED_TRACE(std::to_string(aiChans) + " AI, " + std::to_string(diChans) + " DI");
        IndexSpec spec;
        spec.aiChans = aiChans;
        spec.di = true;
        spec.diChans = diChans;
        spec.portMasks = {1};
        spec.scanCount = 1;
        Save(dir, spec, AIData(1, aiChans), DIData(0, 1, {1}));
        prompts.messages.clear();
        replay.BtnModeSwitch_Click();
        Open(project);
        if (!refused) {
            EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
            EXPECT_TRUE(state.bHistoryMode);
            continue;
        }
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, "BtnHistory");
        EXPECT_EQ(prompts.messages[0].text.rfind("Project description: ", 0), 0u) << prompts.messages[0].text;
        EXPECT_FALSE(state.bHistoryMode);
        EXPECT_THROW(RecordingReader(project, true, false), DescriptionFormatError);
    }
}

TEST_F(HostileProjectTest, DIPortsMustBeNumberedWithinADevice)
{
    IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {1};
    spec.scanCount = 2;
    // The last port a device can have is 255.
    for (const auto& [start, count, refused] : std::vector<std::tuple<int32_t, int32_t, bool>>{
             {255, 1, false}, {254, 2, false}, {255, 2, true}, {2147483647, 2, true}, {2147483647, 256, true}}) {
        SCOPED_TRACE(std::to_string(start) + " + " + std::to_string(count));
        Save(dir, spec, {}, DIData(start, count, std::vector<uint8_t>(static_cast<size_t>(2 * count), 1)));
        prompts.messages.clear();
        Open(project);
        const std::string refusal = Refusal(false, true);
        if (!refused) {
            EXPECT_EQ(refusal, "read");
            EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
            continue;
        }
        EXPECT_NE(refusal.find("port"), std::string::npos) << refusal;
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, "ReadHisAIFile");
        EXPECT_NE(prompts.messages[0].text.find(dir + "/DI.ond"), std::string::npos);
    }
}

} // namespace
} // namespace ondrel::testing
