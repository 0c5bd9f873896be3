#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"
#include "ondrel/common/working_folder.h"

#include "common/scoped_env.h"
#include "common/scratch_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace ondrel;

namespace {

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

unsigned ModeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
}

// A regular file where a folder is wanted: no folder can be made in it.
std::string NotAFolder(const ScratchFolder& scratch, const std::string& name)
{
    std::ofstream(scratch / name) << "x";
    return scratch / name;
}

} // namespace

TEST(WorkingFolder, EachCreationGivesANewFolderWithThePrefix)
{
    ScratchFolder parent;
    const std::string first = CreateUniqueFolder(parent.path(), "on");
    const std::string second = CreateUniqueFolder(parent.path(), "on");
    EXPECT_NE(first, second);
    EXPECT_TRUE(IsFolder(first));
    EXPECT_TRUE(IsFolder(second));
    EXPECT_EQ(FileNameOf(first).rfind("on", 0), 0u);
    EXPECT_EQ(FolderOf(first), parent.path());
    EXPECT_EQ(ModeOf(first), 0700u); // nobody else may look into a recording
}

TEST(WorkingFolder, FallsBackWhenAParentRefusesIt)
{
    ScratchFolder parent;
    const std::vector<std::string> parents{NotAFolder(parent, "file"), parent.path()};
    const std::string folder = CreateWorkingFolder(parents);
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ(FolderOf(folder), parent.path());
}

TEST(WorkingFolder, ReportsTheFailureWhenNoParentAcceptsIt)
{
    ScratchFolder parent;
    const std::vector<std::string> parents{NotAFolder(parent, "file"), NotAFolder(parent, "other")};
    try {
        CreateWorkingFolder(parents);
        FAIL() << "no folder can be created";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path().rfind(parent / "other/on", 0), 0u);
        EXPECT_NE(std::string(failure.what()).find("Not a directory"), std::string::npos);
    }
    EXPECT_THROW(CreateWorkingFolder(std::vector<std::string>{}), FileError);
}

TEST(WorkingFolder, GoesBesideTheProgramOnlyWhenNobodyElseCanWriteThereElseToTheUsersStateFolder)
{
    ScratchFolder scratch;
    // Memory-backed or shared places are never used, whatever is set.
    const ScopedEnv runtime("XDG_RUNTIME_DIR", (scratch / "runtime").c_str());
    const ScopedEnv tmp("TMPDIR", (scratch / "tmp").c_str());
    const ScopedEnv state("XDG_STATE_HOME", (scratch / "state").c_str());
    const std::string stateFolder = scratch / "state/ondrel";

    ASSERT_EQ(::mkdir((scratch / "own").c_str(), 0755), 0);
    EXPECT_EQ(WorkingFolderParents(scratch / "own"), (std::vector<std::string>{scratch / "own", stateFolder}));
    // A folder others may write, and one that cannot be written (an installed
    // program's, here one that is missing): the state folder alone.
    ASSERT_EQ(::mkdir((scratch / "shared").c_str(), 0777), 0);
    ASSERT_EQ(::chmod((scratch / "shared").c_str(), 01777), 0);
    EXPECT_EQ(WorkingFolderParents(scratch / "shared"), std::vector<std::string>{stateFolder});
    EXPECT_EQ(WorkingFolderParents(scratch / "installed"), std::vector<std::string>{stateFolder});

    // Made on first use, private at every level it makes.
    const std::string folder = CreateWorkingFolder(WorkingFolderParents(scratch / "installed"));
    EXPECT_EQ(FolderOf(folder), stateFolder);
    EXPECT_EQ(ModeOf(scratch / "state"), 0700u);
    EXPECT_EQ(ModeOf(stateFolder), 0700u);
    EXPECT_EQ(ModeOf(folder), 0700u);
}

TEST(WorkingFolder, TheStateFolderFollowsTheBaseDirectoryRules)
{
    const ScopedEnv home("HOME", "/home/someone");
    {
        const ScopedEnv state("XDG_STATE_HOME", nullptr);
        EXPECT_EQ(StateFolder(), "/home/someone/.local/state/ondrel");
    }
    {
        const ScopedEnv state("XDG_STATE_HOME", "relative/state"); // not absolute: ignored
        EXPECT_EQ(StateFolder(), "/home/someone/.local/state/ondrel");
    }
    {
        const ScopedEnv state("XDG_STATE_HOME", "/var/state/");
        EXPECT_EQ(StateFolder(), "/var/state/ondrel");
    }
}
