#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include "common/scoped_env.h"
#include "common/scratch_folder.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace ondrel;

namespace {

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

TEST(FileNameOf, TakesThePartAfterTheLastSeparatorOfEitherKind)
{
    EXPECT_EQ(FileNameOf("/home/op/run1/Project.onp"), "Project.onp");
    EXPECT_EQ(FileNameOf("C:\\Data\\run1\\Project.onp"), "Project.onp");
    EXPECT_EQ(FileNameOf("/home/op\\run1/AI.ond"), "AI.ond");
    EXPECT_EQ(FileNameOf("C:\\Data/DI.ond"), "DI.ond");
    EXPECT_EQ(FileNameOf("Project.onp"), "Project.onp");
    EXPECT_EQ(FileNameOf("/home/op/run1/"), "");
    EXPECT_EQ(FileNameOf("C:\\"), "");
    EXPECT_EQ(FileNameOf(""), "");
}

TEST(FolderIn, PutsATypedNameInsideTheFolderUnlessItIsAWholePath)
{
    EXPECT_EQ(FolderIn("/home/op", "run1"), "/home/op/run1");
    EXPECT_EQ(FolderIn("/", "run1"), "/run1");
    EXPECT_EQ(FolderIn("/home/op", "/data/run1"), "/data/run1");
}

TEST(FileExists, FindsRegularFilesIgnoringLetterCase)
{
    ScratchFolder folder;
    std::ofstream(folder / "Project.onp") << "x";
    ::mkdir((folder / "Sub").c_str(), 0700);

    EXPECT_TRUE(FileExists(folder / "Project.onp"));
    EXPECT_TRUE(FileExists(folder / "PROJECT.ONP"));
    EXPECT_FALSE(FileExists(folder / "Project.on"));
    EXPECT_FALSE(FileExists(folder / "Sub"));      // a folder is not a file
    EXPECT_FALSE(FileExists(folder.path() + "/")); // no file name
    EXPECT_FALSE(FileExists(folder / "missing/Project.onp"));
    EXPECT_FALSE(FileExists(""));
}

TEST(TempPath, FollowsTmpdirAndDefaultsToTmp)
{
    {
        ScopedEnv env("TMPDIR", "/var/tmp/");
        EXPECT_EQ(TempPath(), "/var/tmp");
    }
    {
        ScopedEnv env("TMPDIR", nullptr);
        EXPECT_EQ(TempPath(), "/tmp");
    }
    {
        ScopedEnv env("TMPDIR", "");
        EXPECT_EQ(TempPath(), "/tmp");
    }
}

TEST(TempFileName, GivesNewNamesWithThePrefixAndKeepsTheFileOnlyWhenAsked)
{
    ScratchFolder folder;
    const std::string kept = TempFileName(true, "on", folder.path());
    const std::string dropped = TempFileName(false, "on", folder.path());

    EXPECT_EQ(kept.rfind(folder.path() + "/on", 0), 0u);
    EXPECT_EQ(dropped.rfind(folder.path() + "/on", 0), 0u);
    EXPECT_NE(kept, dropped);
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(Exists(dropped));
    EXPECT_EQ(FileNameOf(TempFileName(false)).rfind("tmp", 0), 0u);

    EXPECT_THROW(TempFileName(true, "on", folder / "missing"), FileError);
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}
