#pragma once
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ondrel {

// Raw buffered-AI counts as recorded: devices whose name contains "5342" keep
// the low 12 bits; others deliver unsigned 16-bit counts in a signed container,
// so a negative s stands for s + 65536. The result goes into `buffer`, which
// grows only when it is too small, and the first raw.size() entries are
// returned.
std::span<const int32_t> ConvertRawSamples(std::string_view deviceName, std::span<const int16_t> raw,
                                           std::vector<int32_t>& buffer);

} // namespace ondrel
