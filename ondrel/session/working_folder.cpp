#include "ondrel/session/working_folder.h"

#include "ondrel/session/file_error.h"
#include "ondrel/session/file_paths.h"

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace ondrel {

std::string CreateUniqueFolder(std::string_view parent, std::string_view prefix)
{
    std::string pattern(parent);
    if (pattern.empty() || (pattern.back() != '/' && pattern.back() != '\\'))
        pattern += '/';
    pattern.append(prefix).append("XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr)
        throw FileError(errno, pattern);
    return pattern;
}

std::vector<std::string> WorkingFolderParents()
{
    std::vector<std::string> parents;
    try {
        parents.push_back(ProgramFolder());
    } catch (const FileError&) {
        // No /proc: the fall-backs below still work.
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
        parents.emplace_back(runtime);
    parents.push_back(TempPath());
    return parents;
}

std::string CreateWorkingFolder(std::span<const std::string> parents)
{
    std::optional<FileError> lastFailure;
    for (const std::string& parent : parents) {
        try {
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
