#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/export/project_export.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <chrono>
#include <csignal>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

TEST_F(ConvertTool, AnInterruptedExportLeavesNoOutdir)
{
    // 16 channels x 10,000,000 scans of zeros (a sparse file): far longer to
    // export than the moment the test lets it run.
    testing::IndexSpec spec;
    spec.aiChans = 16;
    spec.scanCount = 10000000;
    spec.paths = std::pair{folder / "AI.ond", folder / "DI.ond"};
    testing::WriteFile(project, testing::IndexBytes(spec).bytes());
    testing::WriteFile(folder / "AI.ond", {});
    fs::resize_file(folder / "AI.ond", uint64_t{16} * 4 * 10000000);
    fs::create_directory(folder / "exports");
    const std::string outdir = folder / "exports/text";

    for (int signal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        std::vector<std::string> args = {ONDREL_CONVERT, project, outdir};
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t child = 0;
        ASSERT_EQ(::posix_spawn(&child, ONDREL_CONVERT, nullptr, nullptr, argv.data(), environ), 0);
        // Interrupted once it has begun to write.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (fs::is_empty(folder / "exports") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        ASSERT_FALSE(fs::is_empty(folder / "exports"));
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_FALSE(fs::exists(outdir));
        if (signal != SIGKILL) {
            EXPECT_TRUE(fs::is_empty(folder / "exports")) << fs::directory_iterator(folder / "exports")->path();
        } else {
            // Nothing can clean up after SIGKILL; what is left is hidden and is not OUTDIR.
            for (const auto& entry : fs::directory_iterator(folder / "exports"))
                EXPECT_EQ(entry.path().filename().string().rfind(".text.partial-", 0), 0u) << entry.path();
        }
    }
    // A retry is not refused.
    spec.scanCount = 3;
    testing::WriteFile(project, testing::IndexBytes(spec).bytes());
    testing::WriteFile(folder / "AI.ond", testing::AIData(3, 16));
    EXPECT_EQ(Convert(project + " " + outdir), 0) << Message();
}

} // namespace
} // namespace ondrel
