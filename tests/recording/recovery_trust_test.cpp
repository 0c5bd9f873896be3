#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/interrupted_run.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"

#include "recording/file_content.h"
#include "recording/interrupted_runs.h"
#include "common/scratch_folder.h"
#include "support/wait_for.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ondrel;
using namespace ondrel::testing;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kAnotherUser = 54321;

// Looks for interrupted runs in a child, so that a look that blocks (a FIFO
// opened for reading) is seen and ended. The number found, or -1 when it blocked.
int RunsFoundWithoutBlocking(const std::vector<std::string>& parents)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(static_cast<int>(FindInterruptedRuns(parents).size()));
    int status = 0;
    if (!waitFor([&] { return ::waitpid(child, &status, WNOHANG) == child; })) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

TEST(RecoveryTrust, OnlyTheUsersOwnPrivateFoldersAreLookedAtAndOnlyRegularFilesOpened)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};

    // Planted as another account would: open to all, its "DI.ond" a FIFO.
    const std::string open = LeaveInterruptedRun(scratch.path(), 5);
    ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(::unlink((open + "/DI.ond").c_str()), 0);
    ASSERT_EQ(::mkfifo((open + "/DI.ond").c_str(), 0666), 0);
    EXPECT_EQ(RunsFoundWithoutBlocking(parents), 0);

    // Our own mode, but the FIFO still there, or a link to a file elsewhere.
    ASSERT_EQ(::chmod(open.c_str(), 0700), 0);
    EXPECT_EQ(RunsFoundWithoutBlocking(parents), 0);
    const std::string linked = LeaveInterruptedRun(scratch.path(), 5);
    fs::rename(linked + "/AI.ond", scratch / "elsewhere");
    fs::create_symlink(scratch / "elsewhere", linked + "/AI.ond");
    EXPECT_EQ(RunsFoundWithoutBlocking(parents), 0);

    // Private, but another user's (only root can make one here).
    const std::string foreign = LeaveInterruptedRun(scratch.path(), 5);
    if (::chown(foreign.c_str(), kAnotherUser, kAnotherUser) != 0)
        fs::remove_all(foreign);
    EXPECT_EQ(RunsFoundWithoutBlocking(parents), 0);
    EXPECT_TRUE(!fs::exists(foreign) || fs::exists(foreign + "/Project.ond")); // not ours to remove either
    EXPECT_TRUE(fs::exists(open + "/Project.ond"));

    // A folder that is ours is offered.
    fs::remove_all(open);
    const std::string own = LeaveInterruptedRun(scratch.path(), 5);
    const std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].folder, own);
}

TEST(RecoveryTrust, ARunSavedBeforeItsProgramEndedIsNotOfferedUntilANewRunStarts)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    std::string folder;
    {
        RecordingFiles files(CreateWorkingFolder(parents));
        files.OpenAtStartUp();
        folder = files.Folder();
        files.WriteProjectInfo(PolledAIAndDIRun(), {});
        files.WriteDIHeader(0, 1);
        RecordScans(files, 0, 4);
        files.WriteRunEnd({4, 0.1});
        files.CloseProjectFile();
        SaveRunAs(
            {files.ProjectFileName(), files.AIFileName(), files.FAIFileName(), files.DIFileName(), true, false, true},
            scratch / "saved");
    } // killed: no shut-down
    EXPECT_TRUE(FindInterruptedRuns(parents).empty());
    EXPECT_FALSE(fs::exists(folder)); // nothing left in it to save

    {
        RecordingFiles files(CreateWorkingFolder(parents));
        files.OpenAtStartUp();
        files.WriteProjectInfo(PolledAIAndDIRun(), {});
        files.WriteDIHeader(0, 1);
        RecordScans(files, 0, 4);
        files.WriteRunEnd({4, 0.1});
        files.CloseProjectFile();
        SaveRunAs(
            {files.ProjectFileName(), files.AIFileName(), files.FAIFileName(), files.DIFileName(), true, false, true},
            scratch / "first");
        // The next run is not saved: the mark of the first is gone.
        files.WriteProjectInfo(PolledAIAndDIRun(), {});
        files.WriteDIHeader(0, 1);
        RecordScans(files, 0, 6);
        files.WriteProgress({6, 0.1});
    }
    const std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].wholeScans, 6);
}

TEST(RecoveryTrust, ARunWithoutAWholeScanIsNotOffered)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    const std::string none = LeaveInterruptedRun(scratch.path(), 0);
    const std::string torn = LeaveInterruptedRun(scratch.path(), 0, false);
    fs::resize_file(torn + "/AI.ond", 4 * kRunChannels - 1); // most of a scan, and the DI record missing
    EXPECT_TRUE(FindInterruptedRuns(parents).empty());
    EXPECT_FALSE(fs::exists(none));
    EXPECT_FALSE(fs::exists(torn));
}

TEST(RecoveryTrust, EveryRecoveredProjectGetsAnIntervalReplayAccepts)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    // A failed Start leaves 0.0; a damaged file anything.
    for (const double kept :
         {0.0, -0.5, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300}) {
        LeaveInterruptedRun(scratch.path(), 8, true, kept);
        std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
        ASSERT_EQ(runs.size(), 1u) << kept;
        const std::string target = scratch / "saved";
        SaveInterruptedRun(runs[0], target);
        DiscardInterruptedRun(runs[0]);
        const ProjectDescription saved = ParseProjectDescription(FileContent(target + "/Project.onp"));
        ASSERT_TRUE(saved.end.has_value());
        EXPECT_EQ(saved.end->scanCount, 8);
        EXPECT_TRUE(std::isfinite(saved.end->scanInterval) && saved.end->scanInterval > 0.0
                    && saved.end->scanInterval <= 86400.0)
            << kept << " gave " << saved.end->scanInterval;
        fs::remove_all(target);
    }
    // A usable interval is kept as it was.
    LeaveInterruptedRun(scratch.path(), 8, true, 0.05);
    const std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].description.end, (RunEnd{8, 0.05}));
}

} // namespace
