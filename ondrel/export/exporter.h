#pragma once
#include "ondrel/history/recording_reader.h"
#include "ondrel/history/scan_readers.h"
#include <string>

namespace ondrel {

// The kinds of data an export writes.
struct ExportKinds {
    bool ai = false;
    bool di = false;
};

// One export format. An export drives it in this order: Begin; every AI block
// in scan order; every DI block in scan order; Finish. When the export stops
// early (a failure, a cancel) it calls Abandon instead, at any point after
// Begin, and removes the folder itself. Blocks hold whole scans; they are valid
// only during the call.
class IExporter {
public:
    virtual ~IExporter() = default;

    // `folder` exists and is empty; the format writes its files there.
    virtual void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) = 0;
    // AI blocks cover every whole scan of the AI data.
    virtual void WriteAI(const AIScanBlock& block) = 0;
    // DI blocks cover the scans the description states, as far as the data
    // go. A block with `end` set is the last: the data ended before the scans
    // the description states, and its `cutOff` holds what there is of the
    // next scan. A format that keeps whole scans only ignores `cutOff`.
    virtual void WriteDI(const DIScanBlock& block) = 0;
    // Completes and closes every file. Throws FileError when one cannot be.
    virtual void Finish() = 0;
    // Closes whatever is open, complete or not.
    virtual void Abandon() noexcept = 0;
};

} // namespace ondrel
