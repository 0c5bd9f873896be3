#pragma once

namespace ondrel {

// The file formats a recording can be exported to. Text is the tab-separated
// "AI.xlt"/"DI.xlt" for a spreadsheet, the one offered first.
enum class ExportFormat { Text, Csv, Hdf5, SigrokSession };

} // namespace ondrel
