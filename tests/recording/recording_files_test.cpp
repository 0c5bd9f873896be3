#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/working_folder.h"

#include "recording/expected_bytes.h"
#include "recording/file_content.h"
#include "common/scratch_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace ondrel;

namespace {

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

TEST(RecordingFiles, LifecycleFromStartUpToShutDown)
{
    ScratchFolder scratch;
    RecordingFiles files(CreateWorkingFolder(std::vector<std::string>{scratch.path()}));
    EXPECT_EQ(files.ProjectFileName(), files.Folder() + "/Project.ond");
    EXPECT_EQ(files.FAIFileName(), files.Folder() + "/FAI.ond");

    files.OpenAtStartUp();
    EXPECT_TRUE(Exists(files.ProjectFileName()));
    EXPECT_TRUE(Exists(files.AIFileName()));
    EXPECT_TRUE(Exists(files.DIFileName()));
    EXPECT_FALSE(Exists(files.FAIFileName())); // created by the first Start only

    std::vector<std::string_view> reports;
    RunDescription run;
    run.softRecorded = true;
    files.WriteProjectInfo(run, [&](std::string_view text) { reports.push_back(text); });
    EXPECT_TRUE(reports.empty());
    ASSERT_TRUE(files.IsFAIOpen());

    files.WriteDIHeader(2, 3);
    const float scan[] = {1.5f, -0.25f};
    const uint8_t ports[] = {0x01, 0x80, 0xFF};
    files.AppendAIRecord(scan);
    files.AppendAIRecord(scan);
    files.AppendDIRecord(ports);
    EXPECT_EQ(FileContent(files.AIFileName()), ExpectedBytes().f32(1.5f).f32(-0.25f).f32(1.5f).f32(-0.25f).bytes());
    EXPECT_EQ(FileContent(files.DIFileName()), ExpectedBytes().i32(2).i32(3).byte(0x01).byte(0x80).byte(0xFF).bytes());

    const float floats[] = {0.5f, 2.0f};
    const int32_t counts[] = {65535, 4095};
    EXPECT_TRUE(files.AppendFAI(floats));
    EXPECT_TRUE(files.AppendFAI(counts));
    EXPECT_EQ(FileContent(files.FAIFileName()), ExpectedBytes().f32(0.5f).f32(2.0f).i32(65535).i32(4095).bytes());

    files.CloseFAI();
    EXPECT_FALSE(files.AppendFAI(counts)); // closed at Stop: later buffers are not recorded
    files.WriteRunEnd({2, 0.1});

    files.Shutdown();
    EXPECT_FALSE(Exists(files.ProjectFileName()));
    EXPECT_FALSE(Exists(files.AIFileName()));
    EXPECT_FALSE(Exists(files.DIFileName()));
    EXPECT_FALSE(Exists(files.FAIFileName()));
    EXPECT_FALSE(Exists(files.Folder()));
}

TEST(RecordingFiles, RunGoesOnWhenTheBufferedFileCannotBeCreated)
{
    ScratchFolder scratch;
    RecordingFiles files(CreateUniqueFolder(scratch.path(), "on"));
    files.OpenAtStartUp();
    ASSERT_EQ(::mkdir(files.FAIFileName().c_str(), 0700), 0); // something that is no file blocks the name

    std::vector<std::string> reports;
    RunDescription run;
    run.aiChanCount = 2;
    files.WriteProjectInfo(run, [&](std::string_view text) { reports.emplace_back(text); });

    EXPECT_EQ(reports, std::vector<std::string>{"CreateFile Fails "});
    EXPECT_FALSE(files.IsFAIOpen());
    const int32_t block[] = {1, 2};
    EXPECT_FALSE(files.AppendFAI(block));
    EXPECT_EQ(FileContent(files.ProjectFileName()), ExpectedBytes().i16(0).i16(0).i16(0).i16(0).i32(2).i32(0).bytes());
    files.Shutdown();
}

TEST(RecordingFiles, ShutDownCopesWithWhatWasNeverCreated)
{
    ScratchFolder scratch;
    RecordingFiles neverCreated(scratch / "on-missing");
    neverCreated.Shutdown();
    RecordingFiles noFolder("");
    noFolder.Shutdown();

    RecordingFiles partial(CreateUniqueFolder(scratch.path(), "on"));
    partial.OpenAtStartUp(); // no FAI.ond yet
    partial.Shutdown();
    partial.Shutdown();
    EXPECT_FALSE(Exists(partial.Folder()));
}

TEST(RecordingFiles, FailuresCarryThePlatformDescription)
{
    ScratchFolder scratch;
    RecordingFiles files(scratch / "missing");
    try {
        files.OpenAtStartUp();
        FAIL() << "the folder does not exist";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path(), files.Folder() + "/Run.lock"); // the lock is made first
        EXPECT_NE(std::string(failure.what()).find("No such file or directory"), std::string::npos);
    }

    RecordingFiles saved(CreateUniqueFolder(scratch.path(), "on"));
    saved.OpenAtStartUp();
    saved.CloseProjectFile(); // as Save As leaves it
    EXPECT_THROW(saved.WriteRunEnd({1, 1.0}), FileError);
    saved.Shutdown();
}

TEST(BinaryFile, ReadsWritesAndSeeksWithSixtyFourBitOffsets)
{
    ScratchFolder scratch;
    BinaryFile file;
    file.Open(scratch / "data", BinaryFile::Mode::ReadWrite);
    const uint64_t far = (uint64_t{1} << 32) + 3;
    file.Truncate(far); // sparse: costs no disk space
    EXPECT_EQ(file.Size(), far);
    file.Seek(far);
    const std::byte tail[] = {std::byte{7}, std::byte{8}};
    file.Write(tail);
    EXPECT_EQ(file.Position(), far + 2);
    file.Flush();

    file.Open(scratch / "data", BinaryFile::Mode::ReadOnly); // reopening closes first
    file.Seek(far - 1);
    std::byte got[4]{};
    EXPECT_EQ(file.Read(got), 3u); // short only at the end
    EXPECT_EQ(got[0], std::byte{0});
    EXPECT_EQ(got[1], std::byte{7});
    EXPECT_EQ(got[2], std::byte{8});
    EXPECT_THROW(file.Write(tail), FileError);

    file.Open(scratch / "data", BinaryFile::Mode::Truncate);
    EXPECT_EQ(file.Size(), 0u);
    file.Close();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(file.Size(), FileError);
    EXPECT_THROW(file.Open(scratch / "none", BinaryFile::Mode::ReadOnly), FileError);
}
