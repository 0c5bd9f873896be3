#pragma once
// Replacing a file's contents so that a crash or a full disk never leaves it
// half written: the bytes go to a new temporary file beside the target, which
// is synced to the disk before it is renamed over the target; the folder is
// synced after the rename, so that the rename itself lasts. On any failure the
// temporary file is removed and the target stays as it was.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>

namespace kom {

// 0 on success, else the errno value of the step that failed. `mode` gives
// the new file's permission bits; without it a replaced file keeps its own,
// and a new one gets 0666 less the umask.
int writeFileAtomically(const std::string& path, std::span<const std::byte> bytes,
                        std::optional<mode_t> mode = std::nullopt);

} // namespace kom
