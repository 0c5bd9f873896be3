#pragma once
#include <cstdint>
#include <span>
#include <string_view>

namespace ondrel {

// Physical AI inputs versus logical (plotted) channels. A differential pair
// takes an even physical channel and the odd one after it and yields one logical
// channel. `connection` holds each channel's nAIChanConnection (1 = differential); an
// entry missing from a short table counts as single-ended. Devices whose name
// contains "48" report their usable channels themselves: for them every physical
// channel is its own logical channel.
//
// All results lie in 0 .. count - 1, and 0 when there is nothing to map
// (MaxChanCount <= 0, or an effective count of 0).

int32_t EffectiveChannelCount(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection);

// The logical position of a physical channel. The channel number is taken
// modulo MaxChanCount first, since physical channels wrap around the device.
int32_t LogicalChannel(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection,
                       int32_t physical);

// The physical channel of a logical position. Positions past the last logical
// channel wrap around the device. `logical` is increased by one for every odd
// differential channel passed on the way: callers that step through logical
// channels rely on it to skip the odd halves of pairs.
int32_t PhysicalChannel(std::string_view deviceName, int32_t maxChanCount, std::span<const int32_t> connection,
                        int32_t& logical);

} // namespace ondrel
