#pragma once
#include "ondrel/session/progress.h"
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// What the last run left in the working folder for Save As to take.
struct SavedRun {
    std::string projectFile; // the working description
    std::string aiFile, faiFile, diFile;
    bool aiSaved = false, faiSaved = false, diSaved = false;
};

// Copies the run into `folder` (created when missing, used as it is otherwise) as
// "Project.onp", "AI.ond" (polled or buffered AI alike) and "DI.ond", and
// appends the two data paths to "Project.onp". Throws FileError, or Cancelled
// when `progress` asked to stop; see PublishProject for what either leaves.
void SaveRunAs(const SavedRun& run, const std::string& folder, const Progress& progress = {});

// One data file of a project: `length` bytes from the start of `source`,
// saved under `name` ("AI.ond", "DI.ond").
struct DataFileCopy {
    std::string source;
    uint64_t length = 0;
    std::string name;
};

// Writes a project folder from the folder `sourceFolder`: each data file and
// then "Project.onp" (`description`, fields 1-14, followed by the two data
// paths) land under temporary names and are handed to the disk; only when all
// are complete are they renamed into place, the description last, and the
// renames handed to the disk. A failure (FileError) or a stop asked through
// `progress` (Cancelled) removes the temporary files and leaves the folder as
// it was, or removes it when this call made it. `folder` may not be
// `sourceFolder` itself: the copies would replace the files they are read from.
void PublishProject(const std::string& folder, const std::string& sourceFolder, std::span<const DataFileCopy> data,
                    std::vector<std::byte> description, const Progress& progress = {});

} // namespace ondrel
