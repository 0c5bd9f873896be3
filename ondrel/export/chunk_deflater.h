#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>
#include <zlib.h>

namespace ondrel {

// One chunk of an HDF5 dataset made ready for the file as the shuffle and
// deflate filters would make it: byte k of every element together, then one
// zlib stream. Each byte plane is coded as suits it: planes of high bytes
// (runs, few values) with deflate's run-length matching, which reads back as
// any deflate stream at several times the speed of the library's own filter;
// planes that are next to random (the low bytes of measured samples) as
// deflate's stored blocks, since coding them gains nothing and costs most of
// the time. A deflater is used by one thread at a time.
class ChunkDeflater {
public:
    // Chunks of `chunkBytes`, a whole number of elements of `elementBytes`.
    ChunkDeflater(size_t chunkBytes, size_t elementBytes);
    ~ChunkDeflater();
    ChunkDeflater(const ChunkDeflater&) = delete;
    ChunkDeflater& operator=(const ChunkDeflater&) = delete;

    // Where the chunk's rows go, chunkBytes of them.
    uint8_t* Rows() { return rows_.data(); }
    // Shuffles and deflates the rows; the stream, valid until the next call,
    // or nothing when zlib fails.
    std::span<const uint8_t> Deflate();

private:
    size_t elementBytes_;
    std::vector<uint8_t> rows_, shuffled_, deflated_;
    z_stream stream_{};
    bool ready_ = false;
};

} // namespace ondrel
