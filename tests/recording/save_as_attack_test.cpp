#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/working_folder.h"

#include "recording/file_content.h"
#include "recording/interrupted_runs.h"
#include "common/scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ondrel;
using namespace ondrel::testing;
namespace fs = std::filesystem;

namespace {

// A working folder after a polled run of five scans, ready for Save As.
class SaveAsTarget : public ::testing::Test {
protected:
    ScratchFolder scratch;
    RecordingFiles files{CreateUniqueFolder(scratch.path(), "on")};
    const std::string victim = scratch / "victim";

    void SetUp() override
    {
        files.OpenAtStartUp();
        files.WriteProjectInfo(PolledAIAndDIRun(), {});
        files.WriteDIHeader(0, 1);
        RecordScans(files, 0, 5);
        files.WriteRunEnd({5, 0.1});
        files.CloseProjectFile();
        std::ofstream(victim) << "the user's own file";
    }
    void TearDown() override { files.Shutdown(); }

    SavedRun Run() const
    {
        return {
            files.ProjectFileName(), files.AIFileName(), files.FAIFileName(), files.DIFileName(), true, false, true};
    }
    void ExpectSavedWhole(const std::string& target)
    {
        for (const char* name : {"AI.ond", "DI.ond", "Project.onp"})
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target + "/" + name))) << name;
        EXPECT_EQ(FileContent(target + "/AI.ond"), FileContent(files.AIFileName()));
        EXPECT_EQ(FileContent(target + "/DI.ond"), FileContent(files.DIFileName()));
        std::ifstream in(victim);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, "the user's own file");
    }
};

TEST_F(SaveAsTarget, LinksPlantedInTheTargetFolderAreNeverWrittenThrough)
{
    // The temporary names an earlier version used and the final names, each
    // a link to the user's file; a note beside keeps the folder from being
    // replaced whole, so each file is published by name.
    const std::string shared = scratch / "shared";
    fs::create_directory(shared);
    std::ofstream(shared + "/notes.txt") << "kept";
    for (const char* name : {"AI.ond.partial", "DI.ond.partial", "Project.onp.partial", "AI.ond", "DI.ond"})
        fs::create_symlink(victim, shared + "/" + name);
    ASSERT_NO_THROW(SaveRunAs(Run(), shared));
    ExpectSavedWhole(shared);
    EXPECT_TRUE(fs::exists(shared + "/notes.txt"));

    // A folder holding only a project's names, links among them.
    const std::string project = scratch / "project";
    fs::create_directory(project);
    for (const char* name : {"AI.ond", "DI.ond", "Project.onp"})
        fs::create_symlink(victim, project + "/" + name);
    ASSERT_NO_THROW(SaveRunAs(Run(), project));
    ExpectSavedWhole(project);
}

TEST_F(SaveAsTarget, AFolderOfAnotherUserIsRefusedAndLeftAsItWas)
{
    const std::string foreign = scratch / "foreign";
    fs::create_directory(foreign);
    if (::chown(foreign.c_str(), 54321, 54321) != 0)
        GTEST_SKIP() << "only root can give a folder to another user here";
    try {
        SaveRunAs(Run(), foreign);
        FAIL() << "saved into another user's folder";
    } catch (const FileError& refusal) {
        EXPECT_EQ(refusal.path(), foreign);
        EXPECT_NE(std::string(refusal.what()).find(kOtherUsersFolder), std::string::npos) << refusal.what();
    }
    EXPECT_TRUE(fs::is_empty(foreign));
}

} // namespace
