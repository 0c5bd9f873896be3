#pragma once
#include "ondrel/session/file_error.h"
#include "ondrel/session/progress.h"
#include <string>

namespace ondrel {

// What to export, and where to.
struct ExportRequest {
    std::string projectFile; // the "Project.onp" of a recording
    std::string folder;      // made by the export; it must not exist yet
    bool ai = false;         // write "AI.xlt"
    bool di = false;         // write "DI.xlt"
    char decimal = '.';      // the decimal separator of the user's locale
};

enum class ExportOutcome { Written, Cancelled };

// The folder could not be made: it exists already, or its parent does not.
class CreateFolderError : public FileError {
public:
    using FileError::FileError;
};

// Writes the recording as tab-separated text, one row per scan: "AI.xlt" with
// one column per AI channel titled with its plot's name (samples as stored,
// F32 or Int32 counts), "DI.xlt" with one 1/0 column per line shown, titled
// "port:bit". Rows start with CR LF, the first line is the header, and the
// time of row r is the scan interval added r + 1 times. Only whole AI scans
// are written; a DI file that ends early ends its last row where the data
// ends. The data files are found as replay finds them.
//
// A cancelled or failed export removes every file it wrote and the folder:
// nothing half-written is left. Throws CreateFolderError, FileError for any
// other file failure, DescriptionFormatError for an index that cannot be
// replayed, and std::invalid_argument when a kind asked for is not recorded.
ExportOutcome ExportProject(const ExportRequest& request, const Progress& progress);

} // namespace ondrel
