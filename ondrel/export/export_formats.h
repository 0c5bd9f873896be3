#pragma once
#include "ondrel/common/export_format.h"
#include "ondrel/export/exporter.h"
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace ondrel {

// What the user sees of an export format: its name on the command line and
// its caption in the Convert chooser.
struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;    // "xlt", "csv", "hdf5", "sr"
    std::string_view caption; // "Tab-separated text (*.xlt)", ...
};

// The formats this build writes, the tab-separated text first. HDF5 and the
// sigrok session are there only when the program is built with their
// libraries.
const std::vector<ExportFormatInfo>& OfferedFormats();

// The offered format with the command-line name `name`, if any.
std::optional<ExportFormat> FormatNamed(std::string_view name);

// A new exporter of `format`; `decimal` is the separator the tab-separated
// text writes numbers with (the other formats are machine-readable and always
// use a point). Throws std::invalid_argument for a format this build lacks.
std::unique_ptr<IExporter> MakeExporter(ExportFormat format, char decimal);

} // namespace ondrel
