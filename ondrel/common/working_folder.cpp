#include "ondrel/common/working_folder.h"

#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/unique_name.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {
namespace {

// A folder this user may write and no other user can.
bool IsPrivatelyWritable(const std::string& folder)
{
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Creates `folder` and whatever is missing above it, each mode 0700 and
// each on the disk.
void CreateMissingFolders(const std::string& folder)
{
    struct stat info {};
    if (folder.empty() || ::stat(folder.c_str(), &info) == 0)
        return;
    const std::string above = FolderOf(folder);
    if (above != folder)
        CreateMissingFolders(above);
    if (Calls().mkdir(folder.c_str(), 0700) != 0) {
        if (errno == EEXIST)
            return;
        throw FileError(errno, folder);
    }
    SyncFolder(above); // a recording's folder must not vanish with its parent in a power loss
}

} // namespace

std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix)
{
    std::string stem(parent);
    if (stem.empty() || (stem.back() != '/' && stem.back() != '\\'))
        stem += '/';
    stem.append(prefix);
    return MakeUniquelyNamed(
        stem, [](const std::string& name) { return Calls().mkdir(name.c_str(), 0700) == 0 ? 0 : errno; });
}

std::string StateFolder()
{
    const char* configured = std::getenv("XDG_STATE_HOME");
    // XDG base directories ignore a relative path.
    if (configured != nullptr && configured[0] == '/') {
        std::string base(configured);
        while (base.size() > 1 && base.back() == '/')
            base.pop_back();
        return (base == "/" ? "" : base) + "/ondrel";
    }
    return HomePath() + "/.local/state/ondrel";
}

std::vector<std::string> WorkingFolderParents(const std::string& programFolder)
{
    std::vector<std::string> parents;
    if (IsPrivatelyWritable(programFolder))
        parents.push_back(programFolder);
    parents.push_back(StateFolder());
    return parents;
}

std::vector<std::string> WorkingFolderParents()
{
    try {
        return WorkingFolderParents(ProgramFolder());
    } catch (const FileError&) {
        return {StateFolder()}; // no /proc
    }
}

std::string CreateWorkingFolder(std::span<const std::string> parents)
{
    std::optional<FileError> lastFailure;
    for (const std::string& parent : parents) {
        try {
            CreateMissingFolders(parent);
            return CreateUniqueFolder(parent, "on");
        } catch (const FileError& failure) {
            lastFailure = failure;
        }
    }
    if (lastFailure)
        throw *lastFailure;
    throw FileError(ENOENT, "");
}

std::string CreateWorkingFolder() { return CreateWorkingFolder(WorkingFolderParents()); }

} // namespace ondrel
