#include "session/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/project_export.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

namespace ondrel {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ondrel-convert run as a user runs it; its exit status and what it wrote.
class ConvertTool : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string project = folder / "Project.onp";

    void SetUp() override
    {
        testing::IndexSpec spec;
        spec.di = true;
        spec.diChans = 2;
        spec.portMasks = {0x03};
        spec.scanCount = 50;
        spec.paths = std::pair{std::string("C:\\Data\\run1\\AI.ond"), std::string("C:\\Data\\run1\\DI.ond")};
        testing::WriteFile(project, testing::IndexBytes(spec).bytes());
        testing::WriteFile(folder / "AI.ond", testing::AIData(50, 2));
        testing::WriteFile(folder / "DI.ond", testing::DIData(0, 1, std::vector<uint8_t>(50, 2)));
    }
    int Convert(const std::string& arguments)
    {
        const std::string command = std::string(ONDREL_CONVERT) + " " + arguments + " 2>" + (folder / "stderr");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Message() { return Text(folder / "stderr"); }
};

TEST_F(ConvertTool, WritesWhatTheProgramsConvertWrites)
{
    // The data lie beside the index although it names a Windows folder.
    ASSERT_EQ(Convert(project + " " + (folder / "cli")), 0) << Message();
    ASSERT_EQ(ExportProject({project, folder / "lib", true, true, '.'}, {}), ExportOutcome::Written);
    for (const char* file : {"/AI.xlt", "/DI.xlt"}) {
        EXPECT_FALSE(Text(folder / "cli" + file).empty()) << file;
        EXPECT_EQ(Text(folder / "cli" + file), Text(folder / "lib" + file)) << file;
    }

    ASSERT_EQ(Convert("--di " + project + " " + (folder / "di-only")), 0) << Message();
    EXPECT_FALSE(fs::exists(folder / "di-only/AI.xlt"));
    EXPECT_TRUE(fs::exists(folder / "di-only/DI.xlt"));
}

TEST_F(ConvertTool, RefusalsExitWithOneLineAndWriteNothing)
{
    fs::create_directory(folder / "there");
    EXPECT_EQ(Convert(project + " " + (folder / "there")), 1);
    EXPECT_TRUE(fs::is_empty(folder / "there"));
    const std::string message = Message();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;

    EXPECT_EQ(Convert(project + " " + (folder / "no/parent")), 1);
    EXPECT_EQ(Convert((folder / "missing.onp") + " " + (folder / "a")), 1);
    testing::WriteFile(folder / "cut.onp", std::vector<std::byte>(5));
    EXPECT_EQ(Convert((folder / "cut.onp") + " " + (folder / "b")), 1);
    fs::remove(folder / "DI.ond");
    EXPECT_EQ(Convert("--di " + project + " " + (folder / "c")), 1);
    EXPECT_FALSE(fs::exists(folder / "a") || fs::exists(folder / "b") || fs::exists(folder / "c"));

    EXPECT_EQ(Convert("--bogus " + project + " " + (folder / "d")), 2);
    EXPECT_EQ(Convert(project), 2);
}

} // namespace
} // namespace ondrel
