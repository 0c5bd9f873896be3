#pragma once
#include <string>

namespace ondrel {

// The names a saved project gives its data files, whichever way AI was acquired.
inline constexpr const char* kAIDataFileName = "AI.ond";
inline constexpr const char* kDIDataFileName = "DI.ond";

// The data file a saved description names, found for replay. The description
// stores an absolute path, which is wrong for a project folder that was moved,
// copied to another machine, saved on a platform with "\" paths, or saved under
// a folder name the single-byte text could not hold ('?'); a copy would even
// replay the original's data. So the file of the stored name (its last path
// element, either separator, letter case ignored) beside `projectFile` wins;
// the stored path is used only when no such file is there. An empty stored path
// stays empty.
std::string ResolveDataFile(const std::string& projectFile, const std::string& storedPath);

// The data file to read for `storedPath`, resolved as above, and refused with a
// FileError naming it unless it is named `formatName` (kAIDataFileName or
// kDIDataFileName, letter case ignored; an empty path is left to fail at
// open): a project from a stranger must not make the program read /dev/zero or
// /etc/passwd as its data.
std::string RecordedDataFile(const std::string& projectFile, const std::string& storedPath, const char* formatName);

} // namespace ondrel
