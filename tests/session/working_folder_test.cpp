#include "ondrel/session/file_error.h"
#include "ondrel/session/file_paths.h"
#include "ondrel/session/working_folder.h"

#include "session/scratch_folder.h"

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
}

TEST(WorkingFolder, FallsBackWhenAParentRefusesIt)
{
    ScratchFolder parent;
    const std::vector<std::string> parents{parent / "missing", parent.path()};
    const std::string folder = CreateWorkingFolder(parents);
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ(FolderOf(folder), parent.path());
}

TEST(WorkingFolder, ReportsTheFailureWhenNoParentAcceptsIt)
{
    ScratchFolder parent;
    const std::vector<std::string> parents{parent / "missing", parent / "gone"};
    try {
        CreateWorkingFolder(parents);
        FAIL() << "no folder can be created";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path().rfind(parent / "gone/on", 0), 0u);
        EXPECT_NE(std::string(failure.what()).find("No such file"), std::string::npos);
    }
    EXPECT_THROW(CreateWorkingFolder(std::vector<std::string>{}), FileError);
}

TEST(WorkingFolder, DefaultPlacesArePreferredInOrderAndEndWithTheTempFolder)
{
    const std::vector<std::string> parents = WorkingFolderParents();
    ASSERT_GE(parents.size(), 2u);
    EXPECT_EQ(parents.front(), ProgramFolder());
    EXPECT_EQ(parents.back(), TempPath());

    const std::string folder = CreateWorkingFolder();
    EXPECT_TRUE(IsFolder(folder));
    EXPECT_EQ(::rmdir(folder.c_str()), 0);
}
