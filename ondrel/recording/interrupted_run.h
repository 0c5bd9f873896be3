#pragma once
#include "ondrel/recording/project_description.h"
#include "ondrel/recording/run_lock.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// A working folder whose program ended without shutting down (a crash, a
// kill, a power loss) while or after it recorded. Holds the folder's lock, so
// no other program deals with it at the same time.
struct InterruptedRun {
    std::string folder;
    std::optional<std::time_t> startTime; // the start of the run, when known
    ProjectDescription description;       // fields 1-12; 13 the whole scans, 14 as kept or measured
    int32_t wholeScans = 0;               // scans every recorded file holds whole
    uint64_t dataBytes = 0;               // the bytes of those scans
    RunLock lock;
};

// Working folders in `parents` whose program is gone and whose run holds a
// whole scan and was not saved. Only this user's own folders are looked at:
// named "on" and six characters, owned by this user, mode 0700, holding
// "Project.ond" and "Run.lock" as regular files; their files are opened as
// OpenRegularFile does. Folders that never saw a whole scan, or whose run was
// saved, are removed on the way; folders that cannot be read are left alone.
std::vector<InterruptedRun> FindInterruptedRuns(std::span<const std::string> parents);

// Reads one working folder whose `lock` is taken; the run found takes the
// lock over. Nothing when the folder holds no whole scan. The interval is the
// one kept when replay can use it (positive, at most a day), else measured.
// Throws FileError, DescriptionFormatError or DIHeaderError when it cannot be
// read.
std::optional<InterruptedRun> ReadInterruptedRun(const std::string& folder, RunLock& lock);

// Saves the whole scans as a project in `target` as Save As does, and marks
// the run saved. Throws FileError.
void SaveInterruptedRun(const InterruptedRun& run, const std::string& target);

// Deletes the folder and its files.
void DiscardInterruptedRun(InterruptedRun& run) noexcept;

} // namespace ondrel
