#pragma once
#include "ondrel/recording/project_description.h"
#include <string>

namespace ondrel {

// Reads a project description for replay and checks that it can be replayed:
// complete up to the scan interval, counts the file can hold, at least one
// channel in a recorded section, a scan interval that is a positive number.
// Throws DescriptionFormatError (or FileError when the file cannot be read)
// with a text for the operator; nothing is returned half read.
ProjectDescription ReadProjectInfo(const std::string& projectFile);

} // namespace ondrel
