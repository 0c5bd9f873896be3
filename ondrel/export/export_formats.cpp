#include "ondrel/export/export_formats.h"
#include "ondrel/export/csv_exporter.h"
#include "ondrel/export/text_exporter.h"
#include <stdexcept>
#ifdef ONDREL_EXPORT_HDF5
#include "ondrel/export/hdf5_exporter.h"
#endif
#ifdef ONDREL_EXPORT_SIGROK
#include "ondrel/export/sigrok_session_exporter.h"
#endif

namespace ondrel {

const std::vector<ExportFormatInfo>& OfferedFormats()
{
    static const std::vector<ExportFormatInfo> formats = {
        {ExportFormat::Text, "xlt", "Tab-separated text (*.xlt)"},
        {ExportFormat::Csv, "csv", "Comma-separated values, UTF-8 (*.csv)"},
#ifdef ONDREL_EXPORT_HDF5
        {ExportFormat::Hdf5, "hdf5", "HDF5 (*.h5)"},
#endif
#ifdef ONDREL_EXPORT_SIGROK
        {ExportFormat::SigrokSession, "sr", "sigrok session (*.sr)"},
#endif
    };
    return formats;
}

std::optional<ExportFormat> FormatNamed(std::string_view name)
{
    for (const ExportFormatInfo& info : OfferedFormats())
        if (info.name == name)
            return info.format;
    return std::nullopt;
}

std::unique_ptr<IExporter> MakeExporter(ExportFormat format, char decimal)
{
    switch (format) {
    case ExportFormat::Text:
        return std::make_unique<TextExporter>(decimal);
    case ExportFormat::Csv:
        return std::make_unique<CsvExporter>();
    case ExportFormat::Hdf5:
#ifdef ONDREL_EXPORT_HDF5
        return std::make_unique<Hdf5Exporter>();
#else
        break;
#endif
    case ExportFormat::SigrokSession:
#ifdef ONDREL_EXPORT_SIGROK
        return std::make_unique<SigrokSessionExporter>();
#else
        break;
#endif
    }
    throw std::invalid_argument("this build of the program cannot write that export format");
}

} // namespace ondrel
