#include "ondrel/history/data_file_path.h"

#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <filesystem>
#include <strings.h>

namespace ondrel {

std::string ResolveDataFile(const std::string& projectFile, const std::string& storedPath)
{
    const std::string name = FileNameOf(storedPath);
    if (name.empty())
        return storedPath;
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(projectFile).parent_path();
    std::error_code error;
    fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
    std::string found;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string entryName = entries->path().filename().string();
        if (::strcasecmp(entryName.c_str(), name.c_str()) != 0 || !entries->is_regular_file(error))
            continue;
        found = entries->path().string();
        if (entryName == name)
            break; // an exact match beats a case-insensitive one
    }
    return found.empty() ? storedPath : found;
}

std::string RecordedDataFile(const std::string& projectFile, const std::string& storedPath, const char* formatName)
{
    std::string path = ResolveDataFile(projectFile, storedPath);
    if (!path.empty() && ::strcasecmp(FileNameOf(path).c_str(), formatName) != 0)
        throw FileError(std::string("Not a recording's data file (only \"") + formatName + "\" is read)", path);
    return path;
}

} // namespace ondrel
