#include "ondrel/export/chunk_deflater.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>
#include <zlib.h>

namespace ondrel {
namespace {

// What HDF5's filters make of a stored chunk when it is read: inflate, then
// put the bytes of each element back together.
std::vector<uint8_t> Unfilter(std::span<const uint8_t> deflated, size_t chunkBytes, size_t elementBytes)
{
    std::vector<uint8_t> shuffled(chunkBytes);
    uLongf size = static_cast<uLongf>(chunkBytes);
    EXPECT_EQ(uncompress(shuffled.data(), &size, deflated.data(), static_cast<uLong>(deflated.size())), Z_OK);
    EXPECT_EQ(size, chunkBytes);
    std::vector<uint8_t> rows(chunkBytes);
    const size_t elements = chunkBytes / elementBytes;
    for (size_t e = 0; e < elements; ++e)
        for (size_t k = 0; k < elementBytes; ++k)
            rows[e * elementBytes + k] = shuffled[k * elements + e];
    return rows;
}

TEST(ChunkDeflater, GivesWhatTheShuffleAndDeflateFiltersReadBack)
{
    constexpr size_t kBytes = 64 * 1024;
    ChunkDeflater deflater(kBytes, 4);
    // A smooth signal (high bytes in runs, coded) and one of random bits
    // (stored): both come back whole, again and again from one deflater.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<uint8_t> rows(kBytes);
        uint32_t state = 12345u + static_cast<uint32_t>(round);
        for (size_t i = 0; i < kBytes / 4; ++i) {
            float value = static_cast<float>(std::sin(0.001 * static_cast<double>(i)) * 5.0);
            if (round == 1) {
                state = state * 1664525u + 1013904223u;
                std::memcpy(&value, &state, 4);
            }
            std::memcpy(rows.data() + 4 * i, &value, 4);
        }
        std::memcpy(deflater.Rows(), rows.data(), kBytes);
        const std::span<const uint8_t> deflated = deflater.Deflate();
        ASSERT_FALSE(deflated.empty());
        EXPECT_EQ(Unfilter(deflated, kBytes, 4), rows);
        if (round != 1) {
            EXPECT_LT(deflated.size(), kBytes * 3 / 4); // the high bytes shrink
        } else {
            EXPECT_LT(deflated.size(), kBytes + kBytes / 100); // random bytes barely grow
        }
    }
}

TEST(ChunkDeflater, ConstantBytesShrinkToAlmostNothing)
{
    ChunkDeflater deflater(4096, 1);
    std::memset(deflater.Rows(), 0x5A, 4096);
    const std::span<const uint8_t> deflated = deflater.Deflate();
    EXPECT_LT(deflated.size(), 100u);
    EXPECT_EQ(Unfilter(deflated, 4096, 1), std::vector<uint8_t>(4096, 0x5A));
}

} // namespace
} // namespace ondrel
