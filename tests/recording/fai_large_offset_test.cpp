#include "ondrel/recording/recording_files.h"
#include "ondrel/common/working_folder.h"

#include "common/scratch_folder.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace ondrel;

// A recording that has passed 4 GiB keeps growing at its end: the append uses
// the full 64-bit size, so data neither wraps to a low offset nor overwrites
// what is already there. The file is made sparse so the test costs no disk.
TEST(FAIAppend, PastFourGibibytesLandsAtTheEnd)
{
    ScratchFolder scratch;
    RecordingFiles files(CreateUniqueFolder(scratch.path(), "on"));
    files.OpenAtStartUp();
    files.WriteProjectInfo(RunDescription{}, nullptr);
    ASSERT_TRUE(files.IsFAIOpen());

    const off_t earlier = (off_t{5} << 30) + 12; // 5 GiB and three samples
    if (::truncate(files.FAIFileName().c_str(), earlier) != 0)
        GTEST_SKIP() << "no sparse file of 5 GiB here: errno " << errno;

    std::array<float, 16> block{};
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<float>(i) + 0.5f;
    ASSERT_TRUE(files.AppendFAI(block));

    const int fd = ::open(files.FAIFileName().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::lseek(fd, 0, SEEK_END), earlier + off_t{sizeof block});

    std::array<float, 16> atEnd{};
    ASSERT_EQ(::pread(fd, atEnd.data(), sizeof atEnd, earlier), ssize_t{sizeof atEnd});
    EXPECT_EQ(atEnd, block);

    // Where a 32-bit size would have put the block: still the untouched hole.
    std::array<float, 16> wrapped{};
    ASSERT_EQ(::pread(fd, wrapped.data(), sizeof wrapped, earlier - (off_t{1} << 32)), ssize_t{sizeof wrapped});
    EXPECT_EQ(wrapped, (std::array<float, 16>{}));
    ::close(fd);
    files.Shutdown();
}
