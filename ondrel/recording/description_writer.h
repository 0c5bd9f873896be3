#pragma once
#include "ondrel/recording/project_description.h"

#include <cstddef>
#include <vector>

namespace ondrel {

// Fields 1-12. Throws std::invalid_argument when the description contradicts
// itself (a section present without its flag or the other way round, a plot
// count that differs from its channel count), since such a file could not be
// read back.
std::vector<std::byte> EncodeRunDescription(const RunDescription& run);

// Fields 13-14.
std::vector<std::byte> EncodeRunEnd(const RunEnd& end);

// Fields 15-16, as Save As appends them. A 0 byte inside a path would end it
// early when read back, so it is written as '?'.
std::vector<std::byte> EncodeSavedPaths(const SavedPaths& paths);

} // namespace ondrel
