#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ondrel {

// Creates a new folder whose name begins with `prefix` inside `parent`, in one
// atomic step, so two programs never share it. Throws FileError on failure.
std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix);

// Where a session's working folder may go, best first: the program's own
// folder, then $XDG_RUNTIME_DIR when set, then TempPath(). An installed program
// usually cannot write beside itself, hence the fall-backs.
std::vector<std::string> WorkingFolderParents();

// Creates the session's working folder: a new unique folder with prefix "on" in
// the first of `parents` that accepts it. Throws FileError (the last failure)
// when none does.
std::string CreateWorkingFolder(std::span<const std::string> parents);
std::string CreateWorkingFolder();

} // namespace ondrel
