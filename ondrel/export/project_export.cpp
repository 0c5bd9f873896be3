#include "ondrel/export/project_export.h"

#include "ondrel/export/text_exporter.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

namespace ondrel {

namespace {

// The data files are read about this much at a time: 100,000 samples.
constexpr int64_t kBlockBytes = 400000;

int64_t BlockScans(int64_t bytesPerScan) { return std::max<int64_t>(1, kBlockBytes / bytesPerScan); }

// The export's folder, removed with what is in it unless the export completes.
class NewFolder {
public:
    explicit NewFolder(std::string path) : path_(std::move(path))
    {
        if (::mkdir(path_.c_str(), 0755) != 0)
            throw CreateFolderError(errno, path_);
    }
    ~NewFolder()
    {
        if (kept_)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    NewFolder(const NewFolder&) = delete;
    NewFolder& operator=(const NewFolder&) = delete;

    const std::string& path() const { return path_; }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    bool kept_ = false;
};

void WriteBlocks(RecordingReader& reader, IExporter& exporter, ExportKinds kinds, ProgressCounter& progress)
{
    if (kinds.ai) {
        AIScanReader& ai = reader.AI();
        ai.SeekScan(0);
        const int64_t scans = BlockScans(ai.BytesPerScan());
        for (;;) {
            const AIScanBlock block = ai.Read(scans);
            exporter.WriteAI(block);
            progress.Add(static_cast<uint64_t>(block.scans * ai.BytesPerScan()));
            if (block.end)
                break;
        }
    }
    if (kinds.di) {
        DIScanReader& di = reader.DI();
        di.SeekScan(0);
        const int64_t scans = BlockScans(di.PortCount());
        for (int64_t left = reader.Info().scanCount; left > 0;) {
            const DIScanBlock block = di.Read(std::min(scans, left));
            exporter.WriteDI(block);
            progress.Add(static_cast<uint64_t>(block.scans * di.PortCount()));
            if (block.end)
                break;
            left -= block.scans;
        }
    }
}

} // namespace

ExportOutcome ExportRecording(RecordingReader& reader, IExporter& exporter, ExportKinds kinds,
                              const std::string& folder, const Progress& progress)
{
    NewFolder made(folder);
    ProgressCounter counter(progress, reader.DataBytes());
    try {
        exporter.Begin(reader.Info(), kinds, made.path());
        WriteBlocks(reader, exporter, kinds, counter);
        exporter.Finish();
    } catch (const Cancelled&) {
        exporter.Abandon();
        return ExportOutcome::Cancelled;
    } catch (...) {
        exporter.Abandon();
        throw;
    }
    made.Keep();
    return ExportOutcome::Written;
}

ExportOutcome ExportProject(const ExportRequest& request, const Progress& progress)
{
    // The description is checked and the data files opened before anything is
    // made, so a missing one leaves no folder.
    RecordingReader reader(request.projectFile, request.ai, request.di);
    TextExporter text(request.decimal);
    return ExportRecording(reader, text, {request.ai, request.di}, request.folder, progress);
}

} // namespace ondrel
