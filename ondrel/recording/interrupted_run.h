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
    ProjectDescription description;       // fields 1-12; 13-14 as last kept, or measured
    int32_t wholeScans = 0;               // scans every recorded file holds whole
    uint64_t dataBytes = 0;               // the bytes of those scans
    RunLock lock;
};

// Working folders (named "on" and six characters, holding "Project.ond" and
// "Run.lock") in
// `parents` whose owner is gone and whose description holds a run. Folders
// that never saw a run are removed on the way; folders that cannot be read
// are left alone.
std::vector<InterruptedRun> FindInterruptedRuns(std::span<const std::string> parents);

// Reads one working folder whose `lock` is taken; the run found takes the
// lock over. Nothing when the folder never saw a run; throws FileError,
// DescriptionFormatError or DIHeaderError when it cannot be read.
std::optional<InterruptedRun> ReadInterruptedRun(const std::string& folder, RunLock& lock);

// Saves the whole scans as a project in `target` (as Save As does, ScanCount
// the whole scans, ScanInterval as last kept or measured). Throws FileError.
void SaveInterruptedRun(const InterruptedRun& run, const std::string& target);

// Deletes the folder and its files.
void DiscardInterruptedRun(InterruptedRun& run) noexcept;

} // namespace ondrel
