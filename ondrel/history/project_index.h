#pragma once
#include "ondrel/recording/di_header.h"
#include "ondrel/recording/project_description.h"
#include <string>

namespace ondrel {

// The most AI channels a recording may hold, far above what any device scans;
// replay makes one chart plot per channel, so a description is not allowed to
// ask for millions.
inline constexpr int32_t kMaxAIChannels = 1024;
// The most DI lines: eight per port of the largest DI device.
inline constexpr int32_t kMaxDILines = 8 * DIHeader::kMaxPorts;

// Reads a project description for replay and checks that it can be replayed:
// complete up to the scan interval, counts the file can hold, at least one
// channel in a recorded section and no more than the maxima above, a scan
// interval that is a positive number.
// Throws DescriptionFormatError (or FileError when the file cannot be read)
// with a text for the operator; nothing is returned half read.
ProjectDescription ReadProjectInfo(const std::string& projectFile);

} // namespace ondrel
