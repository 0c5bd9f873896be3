#pragma once
#include "ondrel/common/progress.h"
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

// Refused, thrown as FileError: Save As into a folder another user owns.
inline constexpr const char* kOtherUsersFolder = "This folder belongs to another user; choose another folder";

// Copies the run into `folder` (created when missing, used as it is otherwise) as
// "Project.onp", "AI.ond" (polled or buffered AI alike) and "DI.ond", and
// appends the two data paths to "Project.onp". Once saved, the working
// folder's run is marked so (see RunLock). Throws FileError, or Cancelled
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
// "Project.onp" (`description`, fields 1-14, followed by the two data paths).
// Every file is created anew (nothing that was under its name is opened) and
// handed to the disk before anything is published:
// - a new folder, an empty one or one that holds only a project's files is
//   written whole beside `folder` and takes its place in one rename, so after
//   a crash the folder holds the earlier project or the new one entirely;
// - a folder that holds other things too gets each file under a temporary
//   name, renamed into place, the description last.
// A failure (FileError) or a stop asked through `progress` (Cancelled) leaves
// `folder` as it was. Refused: `sourceFolder` itself (the copies would replace
// the files they are read from) and a folder of another user.
void PublishProject(const std::string& folder, const std::string& sourceFolder, std::span<const DataFileCopy> data,
                    std::vector<std::byte> description, const Progress& progress = {});

} // namespace ondrel
