#pragma once
#include "ondrel/components/graph.h"
#include <array>
#include <optional>
#include <string>

namespace ondrel {

inline constexpr ColorRef kSystemColorFlag = 0x80000000u;

// The sixteen colours analog channels take in turn (channel c gets entry c mod 16).
using AIColorTable = std::array<ColorRef, 16>;
AIColorTable SetAIColors();

// The seven-character picture of line-style codes 0..4; none for other codes.
std::optional<std::string> LineStylePicture(int32_t style);

} // namespace ondrel
