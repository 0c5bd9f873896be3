#include "ondrel/recording/raw_samples.h"
#include "ondrel/common/device_family.h"

namespace ondrel {

std::span<const int32_t> ConvertRawSamples(std::string_view deviceName, std::span<const int16_t> raw,
                                           std::vector<int32_t>& buffer)
{
    if (buffer.size() < raw.size())
        buffer.resize(raw.size());
    const bool twelveBit = HasTwelveBitRawCounts(deviceName);
    for (size_t i = 0; i < raw.size(); ++i) {
        const int32_t sample = raw[i];
        buffer[i] = twelveBit ? (sample & 4095) : (sample < 0 ? sample + 65536 : sample);
    }
    return std::span<const int32_t>(buffer.data(), raw.size());
}

} // namespace ondrel
