#include "ondrel/export/chunk_deflater.h"
#include <algorithm>
#include <cmath>

namespace ondrel {

namespace {

constexpr int kLevel = 1;

// Whether a byte plane is worth coding: its bytes, sampled, carry clearly
// less than eight bits each (a sample of random bytes shows about 7.95).
bool WorthCoding(const uint8_t* bytes, size_t count)
{
    const size_t step = std::max<size_t>(1, count / 4096);
    uint32_t histogram[256] = {};
    size_t samples = 0;
    for (size_t i = 0; i < count; i += step, ++samples)
        ++histogram[bytes[i]];
    double bits = 0;
    for (uint32_t n : histogram)
        if (n != 0) {
            const double p = static_cast<double>(n) / static_cast<double>(samples);
            bits -= p * std::log2(p);
        }
    return bits < 7.5 || samples < 256;
}

} // namespace

ChunkDeflater::ChunkDeflater(size_t chunkBytes, size_t elementBytes)
    : elementBytes_(elementBytes), rows_(chunkBytes), shuffled_(chunkBytes),
      // Room for a stored block header per switch of coding, beyond the bound.
      deflated_(compressBound(static_cast<uLong>(chunkBytes)) + 1024)
{
    ready_ = deflateInit2(&stream_, kLevel, Z_DEFLATED, 15, 8, Z_RLE) == Z_OK;
}

ChunkDeflater::~ChunkDeflater()
{
    if (ready_)
        deflateEnd(&stream_);
}

std::span<const uint8_t> ChunkDeflater::Deflate()
{
    const size_t plane = rows_.size() / elementBytes_;
    for (size_t k = 0; k < elementBytes_; ++k) {
        uint8_t* out = shuffled_.data() + k * plane;
        const uint8_t* in = rows_.data() + k;
        for (size_t e = 0; e < plane; ++e)
            out[e] = in[e * elementBytes_];
    }
    if (!ready_ || deflateReset(&stream_) != Z_OK)
        return {};
    stream_.next_out = deflated_.data();
    stream_.avail_out = static_cast<uInt>(deflated_.size());
    for (size_t k = 0; k < elementBytes_; ++k) {
        uint8_t* bytes = shuffled_.data() + k * plane;
        const bool code = WorthCoding(bytes, plane);
        if (deflateParams(&stream_, code ? kLevel : 0, code ? Z_RLE : Z_DEFAULT_STRATEGY) != Z_OK)
            return {};
        stream_.next_in = bytes;
        stream_.avail_in = static_cast<uInt>(plane);
        if (deflate(&stream_, Z_NO_FLUSH) != Z_OK)
            return {};
    }
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END)
        return {};
    return {deflated_.data(), stream_.total_out};
}

} // namespace ondrel
