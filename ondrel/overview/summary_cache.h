#pragma once
#include "ondrel/history/recording_reader.h"
#include "ondrel/history/regular_file.h"
#include "ondrel/overview/summary_levels.h"
#include <memory>
#include <string>

namespace ondrel {

// What a cached summary must match to be shown for a recording: the data files
// as they are now (which file, its size and last change), how the description
// says to read them, and the summary's own layout. A recording changed or
// replaced since the summary was made never matches.
struct SummaryKey {
    FileStamp ai, di;
    SummaryShape shape;
    bool floatSamples = false;
    int32_t diPortStart = 0;
    bool operator==(const SummaryKey&) const = default;
};

// The key of the data files `reader` has open. Throws FileError when the
// system cannot stat them.
SummaryKey KeyOf(RecordingReader& reader);

// The user's cache folder for the program: $XDG_CACHE_HOME/ondrel when that is
// an absolute path, else HomePath()/.cache/ondrel.
std::string SummaryCacheFolder();

// The cached summary for `key` in `folder`, complete; none when there is none,
// or it was made for other data, or it is cut short, damaged or unreadable (the
// caller builds it again then). Nothing is sized from what the file says: the
// key gives every size, and the file must match it to the byte.
std::unique_ptr<OverviewSummary> LoadCachedSummary(const std::string& folder, const SummaryKey& key);

// Writes `summary` (finished) for `key` into `folder`, made mode 0700 when
// missing, through a temporary file that takes its name only when complete,
// and keeps the newest few summaries there. False when it could not: the cache
// is a convenience, and a summary not kept is only built again.
bool StoreSummary(const std::string& folder, const SummaryKey& key, const OverviewSummary& summary);

// How many summaries a cache folder keeps; older ones are removed.
inline constexpr size_t kCachedSummaries = 16;

} // namespace ondrel
