#include "history/replay_fixture.h"
#include <fcntl.h>
#include <unistd.h>

namespace ondrel::testing {
namespace {

class LargeRecordingTest : public ReplayTest {
protected:
    // Writes `bytes` at `offset` of `path`, leaving a hole before it.
    static void WriteAt(const std::string& path, uint64_t offset, const std::vector<std::byte>& bytes)
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
                  static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }
};

// 6 GiB of four-channel F32 scans (a sparse file): a jump to 50 % lands on
// scan 201326592, byte 3 GiB exactly, far past what 32 bits can address.
TEST_F(LargeRecordingTest, AJumpInto6GiBLandsOnTheScansByte)
{
    constexpr uint64_t kSize = 6ull << 30;
    constexpr int64_t kScans = static_cast<int64_t>(kSize / 16);
    const std::string dir = folder / "big";
    IndexSpec spec;
    spec.aiChans = 4;
    spec.scanCount = static_cast<int32_t>(kScans);
    Save(dir, spec, {}, {});
    ::truncate((dir + "/AI.ond").c_str(), static_cast<off_t>(kSize));
    WriteAt(dir + "/AI.ond", 3ull << 30, ExpectedBytes().f32(1.5f).f32(2.5f).f32(3.5f).f32(4.5f).bytes());
    WriteAt(dir + "/AI.ond", (3ull << 30) + 16, ExpectedBytes().f32(9.0f).f32(9.0f).f32(9.0f).f32(9.0f).bytes());

    Open(dir + "/Project.onp");
    ASSERT_TRUE(prompts.messages.empty());
    EXPECT_EQ(state.nHisDataScanCount, kScans);
    Play();
    position.setValue(50.0);
    EXPECT_EQ(state.nHisNextScan, kScans / 2);
    EXPECT_EQ(state.nHisFAIReadPos, int64_t{3} << 30);
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{1.5}));
    EXPECT_EQ(valuesOf(PlotAt(3)), (std::vector<double>{4.5}));
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(3)), (std::vector<double>{4.5, 9.0}));
    EXPECT_EQ(state.nHisFAIReadPos, (int64_t{3} << 30) + 32);
}

// The same for DI: byte 8 + s x ports, beyond 4 GiB.
TEST_F(LargeRecordingTest, ADIJumpBeyond4GiBLandsOnTheScansByte)
{
    constexpr uint64_t kScans = 5ull << 30; // one port: 5 GiB of scans
    const std::string dir = folder / "bigdi";
    IndexSpec spec;
    spec.ai = false;
    spec.di = true;
    spec.diChans = 1;
    spec.portMasks = {0x01};
    spec.scanCount = 0x7FFFFFFF;
    Save(dir, spec, {}, DIData(0, 1, {}));
    ::truncate((dir + "/DI.ond").c_str(), static_cast<off_t>(8 + kScans));
    WriteAt(dir + "/DI.ond", 8 + 4 * (kScans / 5), {std::byte{1}});

    Open(dir + "/Project.onp");
    Play();
    position.setValue(80.0);
    Tick();
    EXPECT_EQ(valuesOf(PlotAt(0)), (std::vector<double>{1.0}));
}

} // namespace
} // namespace ondrel::testing
