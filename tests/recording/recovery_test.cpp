#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/interrupted_run.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/recovery_offer.h"
#include "ondrel/common/working_folder.h"

#include "recording/file_content.h"
#include "recording/interrupted_runs.h"
#include "common/scratch_folder.h"
#include "support/recorded_prompts.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace ondrel;
namespace fs = std::filesystem;

namespace {

using ondrel::testing::LeaveInterruptedRun;
using ondrel::testing::PolledAIAndDIRun;
constexpr int kChannels = ondrel::testing::kRunChannels;
float Sample(int64_t scan, int channel) { return ondrel::testing::RunSample(scan, channel); }
uint8_t PortByte(int64_t scan) { return ondrel::testing::RunPortByte(scan); }

// Records until killed, keeping fields 13-14 current every 64 scans. Tells
// the parent through `ready` once the first whole scan is written. Never returns.
[[noreturn]] void RecordInChild(const std::string& parent, int ready)
{
    RecordingFiles files(CreateWorkingFolder(std::vector<std::string>{parent}));
    files.OpenAtStartUp();
    files.WriteProjectInfo(PolledAIAndDIRun(), {});
    files.WriteDIHeader(0, 1);
    for (int64_t scan = 0;; ++scan) {
        float values[kChannels];
        for (int c = 0; c < kChannels; ++c)
            values[c] = Sample(scan, c);
        const uint8_t ports[] = {PortByte(scan)};
        files.BeginPolledScan();
        files.AppendAIRecord(values);
        files.AppendDIRecord(ports);
        if ((scan + 1) % 64 == 0)
            files.WriteProgress({static_cast<int32_t>(scan + 1), 0.001});
        if (scan == 0) {
            // A run without a whole scan needs no recovery and is not offered:
            // the kill comes after the first.
            const char go = 1;
            (void)!::write(ready, &go, 1);
        }
    }
}

pid_t StartRecordingChild(const std::string& parent)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        try {
            RecordInChild(parent, pipeEnds[1]);
        } catch (...) {
        }
        ::_exit(3);
    }
    ::close(pipeEnds[1]);
    char go = 0;
    (void)!::read(pipeEnds[0], &go, 1); // blocks until the child records (or dies)
    ::close(pipeEnds[0]);
    return child;
}

TEST(Recovery, EveryRunKilledAtARandomMomentIsSavedWithWholeScansOfItsSignal)
{
    ScratchFolder scratch;
    const std::string parent = scratch / "work";
    fs::create_directory(parent);
    const std::vector<std::string> parents{parent};
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayUs(0, 40000);

    for (int round = 0; round < 100; ++round) {
        const pid_t child = StartRecordingChild(parent);
        ASSERT_GT(child, 0);
        {
            // While its program lives, a folder is nobody else's.
            EXPECT_TRUE(FindInterruptedRuns(parents).empty());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random))); // a random kill moment, not a wait
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;

        std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
        ASSERT_EQ(runs.size(), 1u) << "round " << round;
        InterruptedRun& run = runs[0];
        const std::string target = scratch / ("saved" + std::to_string(round));
        SaveInterruptedRun(run, target);
        DiscardInterruptedRun(run);
        EXPECT_FALSE(fs::exists(run.folder));

        const ProjectDescription saved = ParseProjectDescription(FileContent(target + "/Project.onp"));
        ASSERT_TRUE(saved.end.has_value());
        const int32_t scans = saved.end->scanCount;
        EXPECT_EQ(scans, run.wholeScans);
        EXPECT_GT(saved.end->scanInterval, 0.0) << "round " << round; // also before the first progress write
        EXPECT_EQ(saved.run, PolledAIAndDIRun());
        const auto ai = FileContent(target + "/AI.ond");
        const auto di = FileContent(target + "/DI.ond");
        ASSERT_EQ(ai.size(), static_cast<size_t>(scans) * kChannels * 4) << "round " << round;
        ASSERT_EQ(di.size(), 8u + static_cast<size_t>(scans)) << "round " << round;
        for (int32_t s = 0; s < scans; ++s) {
            for (int c = 0; c < kChannels; ++c) {
                float value;
                std::memcpy(&value, ai.data() + (static_cast<size_t>(s) * kChannels + c) * 4, 4);
                ASSERT_EQ(value, Sample(s, c)) << "round " << round << " scan " << s;
            }
            ASSERT_EQ(std::to_integer<uint8_t>(di[8 + static_cast<size_t>(s)]), PortByte(s))
                << "round " << round << " scan " << s;
        }
        fs::remove_all(target);
    }
}

// Stamps a file's modification time, seconds since the epoch.
void Stamp(const std::string& path, time_t seconds, long nanoseconds)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(Recovery, ARunKilledBeforeItsFirstProgressWriteGetsItsIntervalFromItsFilesTimes)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    // 10 scans from the start of the run to the last write, 2.5 s later.
    const std::string folder = LeaveInterruptedRun(scratch.path(), 10, false);
    Stamp(folder + "/Run.lock", 1700000000, 500000000);
    Stamp(folder + "/AI.ond", 1700000002, 900000000);
    Stamp(folder + "/DI.ond", 1700000003, 0);
    std::vector<InterruptedRun> runs = FindInterruptedRuns(parents);
    ASSERT_EQ(runs.size(), 1u);
    SaveInterruptedRun(runs[0], scratch / "timed");
    const ProjectDescription saved = ParseProjectDescription(FileContent(scratch / "timed/Project.onp"));
    ASSERT_TRUE(saved.end.has_value());
    EXPECT_EQ(saved.end->scanCount, 10);
    EXPECT_NEAR(saved.end->scanInterval, 0.25, 1e-6);
    DiscardInterruptedRun(runs[0]);

    // Times that tell nothing (the data older than the start): the shortest
    // polling period, never the zero replay refuses.
    const std::string other = LeaveInterruptedRun(scratch.path(), 4, false);
    Stamp(other + "/Run.lock", 1700000010, 0);
    Stamp(other + "/AI.ond", 1700000000, 0);
    Stamp(other + "/DI.ond", 1700000000, 0);
    runs = FindInterruptedRuns(parents);
    ASSERT_EQ(runs.size(), 1u);
    SaveInterruptedRun(runs[0], scratch / "untimed");
    const ProjectDescription untimed = ParseProjectDescription(FileContent(scratch / "untimed/Project.onp"));
    ASSERT_TRUE(untimed.end.has_value());
    EXPECT_EQ(untimed.end->scanInterval, 0.001);
}

TEST(Recovery, TheOfferNamesTheRunAndEachAnswerDoesWhatItSays)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    const std::string folder = LeaveInterruptedRun(scratch.path(), 10);
    ondrel::testing::RecordedPrompts prompts;

    OfferInterruptedRuns(prompts, parents); // Later: kept
    ASSERT_EQ(prompts.recoveryQuestions.size(), 1u);
    const std::string& question = prompts.recoveryQuestions[0];
    EXPECT_NE(question.find("10 scans"), std::string::npos) << question;
    EXPECT_NE(question.find("(0.1 KB)"), std::string::npos) << question; // 10 × 12 + 8 + 10 bytes
    EXPECT_NE(question.find(folder), std::string::npos) << question;
    EXPECT_NE(question.find("started on 2"), std::string::npos) << question;
    EXPECT_TRUE(fs::exists(folder));

    prompts.recoveryAnswers = {RecoveryAnswer::SaveAs};
    prompts.folderAnswers.push_back(FolderChoice{"/", scratch.path(), "rescued"});
    OfferInterruptedRuns(prompts, parents);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(fs::exists(folder));
    const ProjectDescription saved = ParseProjectDescription(FileContent(scratch / "rescued/Project.onp"));
    EXPECT_EQ(saved.end, (RunEnd{10, 0.25}));

    const std::string other = LeaveInterruptedRun(scratch.path(), 3);
    prompts.recoveryAnswers = {RecoveryAnswer::Discard};
    OfferInterruptedRuns(prompts, parents);
    EXPECT_FALSE(fs::exists(other));
    EXPECT_TRUE(fs::exists(scratch / "rescued/AI.ond"));
}

TEST(Recovery, AFolderThatNeverSawARunIsRemovedAndALiveOneIsLeftAlone)
{
    ScratchFolder scratch;
    const std::vector<std::string> parents{scratch.path()};
    std::string idle;
    {
        RecordingFiles files(CreateWorkingFolder(parents));
        files.OpenAtStartUp();
        idle = files.Folder();
    }
    RecordingFiles live(CreateWorkingFolder(parents));
    live.OpenAtStartUp();
    live.WriteProjectInfo(PolledAIAndDIRun(), {});

    // A folder with no lock file comes from a program that takes no lock:
    // alive or not, it cannot be told, so it is not touched.
    const std::string unlocked = scratch / "onABCDEF";
    fs::create_directory(unlocked);
    std::ofstream(unlocked + "/Project.ond") << "x";

    EXPECT_TRUE(FindInterruptedRuns(parents).empty());
    EXPECT_FALSE(fs::exists(idle));
    EXPECT_TRUE(fs::exists(live.ProjectFileName()));
    EXPECT_TRUE(fs::exists(unlocked + "/Project.ond"));
    EXPECT_FALSE(fs::exists(unlocked + "/Run.lock"));
    live.Shutdown();
}

} // namespace
