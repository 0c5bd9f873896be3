#pragma once
#include "crash/file_op_recorder.h"
#include "crash/power_loss_model.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ondrel::testing {

// A promise the program made once a step was done: after `opsDone` steps the
// disk holds what it says (a run's fields 13-14 naming `scans` scans).
struct Promise {
    size_t opsDone = 0;
    int32_t scans = 0;
};

// The promises of fields 13-14 in `projectFile`: each write of those twelve
// bytes, kept once the file's next sync is done.
std::vector<Promise> ScanCountPromises(const std::vector<FileOp>& ops, const std::string& projectFile);

// Replays `ops` on `model` and, before the first and after every step, has
// `check` look at each tree a power loss could leave (rebuilt in `crashRoot`):
// the names as synced or as made, times the bytes as synced, as written, or
// with the last write torn. `check` gets the number of steps done. Returns
// the number of crash states checked; stops at the first failure.
int CheckEveryCrashState(PowerLossModel& model, const std::vector<FileOp>& ops, const std::string& crashRoot,
                         const std::function<void(size_t opsDone)>& check);

} // namespace ondrel::testing
