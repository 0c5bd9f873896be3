#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/recording/save_as.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/working_folder.h"

#include "recording/failing_writes.h"
#include "recording/file_content.h"
#include "common/scratch_folder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace ondrel;
using ondrel::testing::FailingWrites;
namespace fs = std::filesystem;

namespace {

// A working folder after a polled AI and DI run of `scans` scans.
class SaveAsFolder : public ::testing::Test {
protected:
    ScratchFolder scratch;
    RecordingFiles files{CreateUniqueFolder(scratch.path(), "on")};

    void SetUp() override { files.OpenAtStartUp(); }
    void TearDown() override { files.Shutdown(); }

    void Record(int scans, float base)
    {
        RunDescription run;
        run.aiRecorded = run.diRecorded = run.softRecorded = run.floatSamples = true;
        run.aiChanCount = 2;
        run.diChanCount = 1;
        run.ai = AIDescription{{{1, 0, "a0"}, {2, 0, "a1"}}, {0, 0}};
        run.di = DIDescription{{{3, 0, "0:0"}}, {0x01}};
        files.WriteProjectInfo(run, {});
        files.WriteDIHeader(0, 1);
        for (int i = 0; i < scans; ++i) {
            const float values[] = {base + i, -base - i};
            const uint8_t ports[] = {static_cast<uint8_t>(i)};
            files.BeginPolledScan();
            files.AppendAIRecord(values);
            files.AppendDIRecord(ports);
        }
        files.WriteRunEnd({scans, 0.1});
    }
    SavedRun Run() const
    {
        return {
            files.ProjectFileName(), files.AIFileName(), files.FAIFileName(), files.DIFileName(), true, false, true};
    }
    // Every file of a folder with its bytes.
    static std::map<std::string, std::vector<std::byte>> Snapshot(const std::string& folder)
    {
        std::map<std::string, std::vector<std::byte>> content;
        for (const auto& entry : fs::directory_iterator(folder))
            content[entry.path().filename().string()] = FileContent(entry.path().string());
        return content;
    }
};

TEST_F(SaveAsFolder, EveryFailingWriteLeavesAnEarlierProjectAsItWas)
{
    const int errors[] = {ENOSPC, EIO};
    Record(3, 1.0f);
    std::map<int, std::map<std::string, std::vector<std::byte>>> before;
    for (const int error : errors) {
        SaveRunAs(Run(), scratch / ("project" + std::to_string(error)));
        before[error] = Snapshot(scratch / ("project" + std::to_string(error)));
        ASSERT_EQ(before[error].size(), 3u);
    }

    Record(5, 100.0f); // a longer run with other values replaces it only whole
    for (const int error : errors) {
        const std::string target = scratch / ("project" + std::to_string(error));
        long k = 1;
        for (;; ++k) {
            bool failed = false;
            {
                FailingWrites disk(k, error);
                try {
                    SaveRunAs(Run(), target);
                } catch (const FileError& failure) {
                    failed = true;
                    EXPECT_EQ(failure.errorNumber(), error) << "write " << k;
                }
            }
            if (!failed)
                break; // every write of the Save As has failed once; this one saved
            EXPECT_EQ(Snapshot(target), before[error]) << "write " << k << " failed, error " << error;
        }
        EXPECT_GE(k, 4) << "three files, each written at least once";
        EXPECT_EQ(FileContent(target + "/AI.ond"), FileContent(files.AIFileName()));
        EXPECT_EQ(FileContent(target + "/DI.ond"), FileContent(files.DIFileName()));
    }
}

TEST_F(SaveAsFolder, TheWorkingFolderItselfIsRefusedHoweverItIsNamed)
{
    Record(4, 1.0f);
    const auto working = Snapshot(files.Folder());
    for (const std::string& spelling : {files.Folder(), files.Folder() + "/.",
                                        files.Folder() + "/../" + fs::path(files.Folder()).filename().string()}) {
        try {
            SaveRunAs(Run(), spelling);
            FAIL() << spelling << " was accepted";
        } catch (const FileError& refusal) {
            EXPECT_NE(std::string(refusal.what()).find("choose another folder"), std::string::npos) << refusal.what();
        }
        EXPECT_EQ(Snapshot(files.Folder()), working);
    }
}

TEST_F(SaveAsFolder, FolderNamesBeyondTheSingleByteSetAreSavedWhole)
{
    Record(4, 1.0f);
    for (const char* name : {"Запись", "記録データ", "mixed Ω 測定"}) {
        const std::string target = scratch / name;
        ASSERT_NO_THROW(SaveRunAs(Run(), target)) << name;
        EXPECT_EQ(FileContent(target + "/AI.ond"), FileContent(files.AIFileName())) << name;
        EXPECT_EQ(FileContent(target + "/DI.ond"), FileContent(files.DIFileName())) << name;
        const ProjectDescription saved = ParseProjectDescription(FileContent(target + "/Project.onp"));
        ASSERT_TRUE(saved.end.has_value());
        EXPECT_EQ(saved.end->scanCount, 4);
        ASSERT_TRUE(saved.paths.has_value());
        // The index holds single-byte text: what it cannot spell becomes '?',
        // and replay finds the data beside the index it opened.
        EXPECT_TRUE(saved.paths->aiFilePath.ends_with("/AI.ond"));
        EXPECT_TRUE(saved.paths->diFilePath.ends_with("/DI.ond"));
    }
    EXPECT_EQ(FileContent(scratch / "mixed Ω 測定/Project.onp").size(),
              FileContent(files.ProjectFileName()).size() + 2 * (scratch.path().size() + 1 + 10 + 7) + 1);
}

} // namespace
