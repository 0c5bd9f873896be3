#pragma once
#include "ondrel/recording/project_description.h"

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>

namespace ondrel {

// A description that cannot be read: short, or holding a count its bytes cannot
// back. what() names the field and the byte offset.
class DescriptionFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads fields 1-16 as replay does: a flag is true when non-zero; sections 7-9
// and 10-12 are read when their flag is set; fields 13-14 are optional (a run
// that never stopped ends after field 12) and so are 15-16 (only a saved
// project has them; a path ends at its 0 byte or at the end of the file).
// AIChanCount and DIChanCount are returned as stored; replay treats them as 0
// when their flag is false. A count is accepted only when the remaining bytes
// can hold that many entries, so no size read from a file drives an allocation.
ProjectDescription ParseProjectDescription(std::span<const std::byte> bytes);

} // namespace ondrel
