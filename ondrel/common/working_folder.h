#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ondrel {

// Creates a new folder, mode 0700, whose name begins with `prefix` inside
// `parent`, in one atomic step, so two programs never share it. Throws
// FileError on failure.
std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix);

// The user's own folder for the program's working folders:
// $XDG_STATE_HOME/ondrel when that is an absolute path, else
// HomePath()/.local/state/ondrel. Persistent storage, unlike $XDG_RUNTIME_DIR
// or a temporary folder that may live in memory and is emptied at reboot.
std::string StateFolder();

// Where working folders go, best first, and where recovery looks for them:
// `programFolder` when this user can write it and nobody else can, then
// StateFolder(). Never a folder other users can write.
std::vector<std::string> WorkingFolderParents(const std::string& programFolder);
// The same for the running program's folder.
std::vector<std::string> WorkingFolderParents();

// Creates the session's working folder: a new unique folder with prefix "on" in
// the first of `parents` that accepts it; a parent that is missing is created
// first, with any missing folder above it, each mode 0700. Throws FileError
// (the last failure) when none does.
std::string CreateWorkingFolder(std::span<const std::string> parents);
std::string CreateWorkingFolder();

} // namespace ondrel
