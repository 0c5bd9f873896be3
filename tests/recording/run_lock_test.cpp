#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/interrupted_run.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/working_folder.h"

#include "recording/interrupted_runs.h"
#include "common/scratch_folder.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>

using namespace ondrel;
using namespace ondrel::testing;
namespace fs = std::filesystem;

namespace {

// Acts out another program starting at the same moment: `peer` runs after
// every open and folder creation, and before every lock, of the code under
// test (not of itself).
class PeerBetweenCalls {
public:
    explicit PeerBetweenCalls(std::function<void(const std::string& path)> peer)
    {
        peer_ = std::move(peer);
        real_ = SetCalls(SystemCalls());
        FileCalls hooked = real_;
        hooked.open = [](const char* path, int flags, mode_t mode) {
            const int fd = real_.open(path, flags, mode);
            After(path);
            return fd;
        };
        hooked.mkdir = [](const char* path, mode_t mode) {
            const int result = real_.mkdir(path, mode);
            After(path);
            return result;
        };
        hooked.flock = [](int fd, int operation) {
            After("");
            return real_.flock(fd, operation);
        };
        SetCalls(hooked);
    }
    ~PeerBetweenCalls() { SetCalls(real_); }
    PeerBetweenCalls(const PeerBetweenCalls&) = delete;
    PeerBetweenCalls& operator=(const PeerBetweenCalls&) = delete;

private:
    static void After(const char* path)
    {
        if (inside_)
            return;
        const int error = errno;
        inside_ = true;
        peer_(path);
        inside_ = false;
        errno = error;
    }

    static inline FileCalls real_{};
    static inline std::function<void(const std::string&)> peer_;
    static inline bool inside_ = false;
};

TEST(RunLock, APeerLookingForInterruptedRunsAtEveryStepOfAStartUpLeavesTheFolderAlone)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    int looks = 0;
    PeerBetweenCalls peer([&](const std::string&) {
        ++looks;
        EXPECT_TRUE(FindInterruptedRuns(parents).empty());
    });
    RecordingFiles files(CreateWorkingFolder(parents));
    files.OpenAtStartUp();
    files.WriteProjectInfo(PolledAIAndDIRun(), {});
    files.WriteDIHeader(0, 1);
    RecordScans(files, 0, 3);
    files.WriteRunEnd({3, 0.1});
    EXPECT_GE(looks, 5); // the folder, the lock, three files
    for (const std::string& path : {files.ProjectFileName(), files.AIFileName(), files.DIFileName()})
        EXPECT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(fs::file_size(files.AIFileName()), 3u * kRunChannels * 4);
    files.Shutdown();
}

TEST(RunLock, AProgramThatLosesTheLockToAPeerRecordsNothingAndLeavesTheFolderToIt)
{
    ScratchFolder scratch;
    const std::string folder = CreateUniqueFolder(scratch.path(), "on");
    RunLock winner;
    RecordingFiles files(folder);
    {
        PeerBetweenCalls peer([&](const std::string& path) {
            if (path.ends_with(RunLock::kFileName) && !winner.IsHeld()) {
                EXPECT_TRUE(winner.TryAcquire(folder));
            }
        });
        try {
            files.OpenAtStartUp();
            FAIL() << "started without the lock";
        } catch (const FileError& refusal) {
            EXPECT_EQ(std::string(refusal.what()).find(RecordingFiles::kNotOurs), 0u) << refusal.what();
        }
    }
    ASSERT_TRUE(winner.IsHeld());
    EXPECT_THROW(files.WriteProjectInfo(PolledAIAndDIRun(), {}), FileError);
    files.Shutdown();
    EXPECT_TRUE(fs::exists(folder + "/" + RunLock::kFileName)); // the winner's
}

} // namespace
