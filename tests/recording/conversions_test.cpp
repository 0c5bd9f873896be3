#include "ondrel/recording/raw_samples.h"
#include "ondrel/recording/scan_interval.h"

#include <gtest/gtest.h>
#include <vector>

using namespace ondrel;

TEST(RawSamples, SixteenBitCountsBecomeUnsigned)
{
    const int16_t raw[] = {0, 1, 32767, -1, -32768};
    std::vector<int32_t> buffer;
    const auto counts = ConvertRawSamples("PCI-1711", raw, buffer);
    EXPECT_EQ(std::vector<int32_t>(counts.begin(), counts.end()), (std::vector<int32_t>{0, 1, 32767, 65535, 32768}));
}

TEST(RawSamples, TwelveBitDevicesKeepTheLowTwelveBits)
{
    const int16_t raw[] = {-1, 0x1234, 4095, 4096};
    std::vector<int32_t> buffer;
    const auto counts = ConvertRawSamples("PCI-5342", raw, buffer);
    EXPECT_EQ(std::vector<int32_t>(counts.begin(), counts.end()), (std::vector<int32_t>{4095, 0x234, 4095, 0}));
}

TEST(RawSamples, ALargeEnoughBufferIsReusedAsItIs)
{
    std::vector<int32_t> buffer(64, -7);
    const int32_t* storage = buffer.data();
    const int16_t raw[] = {-2, 3};
    const auto counts = ConvertRawSamples("x", raw, buffer);
    EXPECT_EQ(buffer.data(), storage);
    EXPECT_EQ(buffer.size(), 64u);
    EXPECT_EQ(counts.data(), storage);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_EQ(buffer[1], 3);
    EXPECT_EQ(buffer[2], -7);
}

TEST(ScanInterval, FollowsTheAcquisitionKind)
{
    EXPECT_EQ(ScanInterval(0, false, 4, 1000.0, 0), 0.0);
    EXPECT_EQ(ScanInterval(0, true, 4, 1000.0, 5000), 0.0);
    EXPECT_DOUBLE_EQ(ScanInterval(10, false, 4, 1000.0, 99999), 0.004); // buffered: the clock plays no part
    EXPECT_DOUBLE_EQ(ScanInterval(100, true, 4, 1000.0, 10000), 0.1);
    EXPECT_DOUBLE_EQ(ScanInterval(3, true, 1, 0.0, 1000), 1.0 / 3.0);
}

TEST(ScanInterval, ImpossibleRatesGiveNoInterval)
{
    EXPECT_EQ(ScanInterval(10, false, 4, 0.0, 0), 0.0);
    EXPECT_EQ(ScanInterval(10, false, 0, 1000.0, 0), 0.0);
    EXPECT_EQ(ScanInterval(-5, true, 4, 1000.0, 100), 0.0);
}
