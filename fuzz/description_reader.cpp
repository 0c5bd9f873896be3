// The project index reader. Whatever the bytes, it parses or refuses them
// with DescriptionFormatError; what parses writes back (fields 1-14) to bytes
// that parse again to the same description.
#include "ondrel/recording/description_reader.h"
#include "ondrel/recording/description_writer.h"
#include "require.h"

#include <bit>
#include <cstdint>
#include <span>

using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    ondrel::ProjectDescription d;
    try {
        d = ondrel::ParseProjectDescription(bytes);
    } catch (const ondrel::DescriptionFormatError&) {
        return 0;
    }
    require(d.run.ai.has_value() == d.run.aiRecorded, "an AI section exactly when AI is recorded");
    require(d.run.di.has_value() == d.run.diRecorded, "a DI section exactly when DI is recorded");
    std::vector<std::byte> written = ondrel::EncodeRunDescription(d.run);
    if (d.end) {
        const auto end = ondrel::EncodeRunEnd(*d.end);
        written.insert(written.end(), end.begin(), end.end());
    }
    ondrel::ProjectDescription again = ondrel::ParseProjectDescription(written);
    d.paths.reset();
    // Names pass through single-byte text: compare what the writer keeps.
    require(again.run.aiChanCount == d.run.aiChanCount && again.run.diChanCount == d.run.diChanCount,
            "channel counts read back");
    // Compared bit for bit: a NaN interval reads back as the same NaN, never equal to itself.
    require(again.end.has_value() == d.end.has_value(), "fields 13-14 present after writing");
    if (d.end)
        require(again.end->scanCount == d.end->scanCount
                    && std::bit_cast<uint64_t>(again.end->scanInterval) == std::bit_cast<uint64_t>(d.end->scanInterval),
                "fields 13-14 read back");
    return 0;
}
