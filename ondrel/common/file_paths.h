#pragma once
#include <string>
#include <string_view>

namespace ondrel {

// Paths may come from recordings written on a platform whose separator is "\";
// both "/" and "\" separate path components here.

// The part of `path` after its last separator; `path` itself when it has none,
// empty when it ends with a separator or is empty.
std::string FileNameOf(std::string_view path);

// The folder part of `path` (without the trailing separator); "." when `path`
// has no separator, "/" for a file in the root.
std::string FolderOf(std::string_view path);

// True when the folder of `path` lists a regular file whose name equals the
// file-name part of `path`, ignoring letter case (ASCII).
bool FileExists(std::string_view path);

// The folder a name typed into a chooser open at `dir` stands for: the name
// itself when it is a whole path (begins with "/"), else that name inside `dir`.
std::string FolderIn(std::string_view dir, std::string_view name);

// The platform's folder for temporary files: $TMPDIR when set, else "/tmp";
// never ends with a separator (except the root itself).
std::string TempPath();

// The root of the folder tree, the one "drive" this platform has.
std::string RootPath();

// The user's home folder: $HOME when set, else the password database's entry,
// else the root folder.
std::string HomePath();

// The folder that holds the running program (the directory of /proc/self/exe).
std::string ProgramFolder();

// Creates a new, empty file with a unique name that begins with `prefix` in
// `folder` and returns its full path. Unless `keep` is true the file is deleted
// again, leaving a name nobody else has used. Throws FileError on failure.
std::string TempFileName(bool keep, std::string_view prefix = "tmp", std::string_view folder = TempPath());

} // namespace ondrel
