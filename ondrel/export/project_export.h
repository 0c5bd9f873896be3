#pragma once
#include "ondrel/common/export_format.h"
#include "ondrel/export/exporter.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/progress.h"
#include <string>

namespace ondrel {

// What to export, and where to.
struct ExportRequest {
    std::string projectFile; // the "Project.onp" of a recording
    std::string folder;      // made by the export; it must not exist yet
    bool ai = false;         // write the AI data ("AI.xlt")
    bool di = false;         // write the DI data ("DI.xlt")
    char decimal = '.';      // the decimal separator the text is written with
    ExportFormat format = ExportFormat::Text;
};

enum class ExportOutcome { Written, Cancelled };

// The folder could not be made: it exists already, or its parent does not.
class CreateFolderError : public FileError {
public:
    using FileError::FileError;
};

// Reads the recording through `reader` and hands it to `exporter`, block by
// block, for the new folder `folder`: all of the AI data, then the DI data up
// to the scans the description states. The data files are read in blocks of
// about 400,000 bytes, progress reported after each.
//
// The exporter writes into a hidden folder beside `folder` (".NAME.partial-*"),
// renamed to `folder` once everything is written: an export that ends early,
// however, leaves nothing under that name, and a cancelled or failed one
// removes the hidden folder too. Throws CreateFolderError when `folder`
// exists or its parent does not (before anything is made, or at the end when
// one appeared meanwhile), and whatever the reader or the exporter throws.
ExportOutcome ExportRecording(RecordingReader& reader, IExporter& exporter, ExportKinds kinds,
                              const std::string& folder, const Progress& progress);

// Writes the recording in the format asked for (MakeExporter), its data files
// found as replay finds them. Throws CreateFolderError, FileError for any
// other file failure, DescriptionFormatError for an index that cannot be
// replayed, and std::invalid_argument when a kind asked for is not recorded;
// all before the folder is made, except a failing write.
ExportOutcome ExportProject(const ExportRequest& request, const Progress& progress);

} // namespace ondrel
