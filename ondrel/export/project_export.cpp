#include "ondrel/export/project_export.h"

#include "ondrel/export/export_formats.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

namespace {

// The data files are read about this much at a time: 100,000 samples.
constexpr int64_t kBlockBytes = 400000;

int64_t BlockScans(int64_t bytesPerScan) { return std::max<int64_t>(1, kBlockBytes / bytesPerScan); }

// The export is written into a hidden folder beside the one asked for and
// renamed to it only once complete, so whatever ends an export early (a
// failure, a cancel, a signal, a power cut) never leaves a half-written folder
// under the name asked for. The hidden folder is removed unless published.
class StagingFolder {
public:
    explicit StagingFolder(const std::string& target);
    ~StagingFolder()
    {
        if (published_)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::string& path() const { return path_; }
    // Renames the folder to the target, which must still not exist.
    void Publish();

private:
    std::string target_;
    std::string path_;
    bool published_ = false;
};

StagingFolder::StagingFolder(const std::string& target) : target_(target)
{
    struct stat status {};
    if (::lstat(target_.c_str(), &status) == 0)
        throw CreateFolderError(EEXIST, target_);
    std::filesystem::path name(target_);
    if (!name.has_filename())
        name = name.parent_path();
    const std::string parent = name.has_parent_path() ? name.parent_path().string() : std::string(".");
    // Unique enough to be free at the first try; mkdir never reuses anything there.
    const auto seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())
                      ^ (static_cast<uint64_t>(::getpid()) << 40);
    for (int attempt = 0;; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%012llx",
                      static_cast<unsigned long long>((seed + static_cast<uint64_t>(attempt)) & 0xFFFFFFFFFFFFull));
        path_ = parent + "/." + name.filename().string() + ".partial-" + suffix;
        if (::mkdir(path_.c_str(), 0755) == 0)
            return;
        if (errno != EEXIST || attempt == 15)
            throw CreateFolderError(errno, target_);
    }
}

void StagingFolder::Publish()
{
    // Never onto a folder made meanwhile: rename() would replace an empty one.
    int result = ::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without RENAME_NOREPLACE: check, then rename.
        struct stat status {};
        if (::lstat(target_.c_str(), &status) == 0)
            errno = EEXIST;
        else
            result = ::rename(path_.c_str(), target_.c_str());
    }
    if (result != 0) {
        if (errno == EEXIST || errno == ENOTEMPTY)
            throw CreateFolderError(EEXIST, target_);
        throw FileError(errno, target_);
    }
    published_ = true;
}

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
    StagingFolder staging(folder);
    ProgressCounter counter(progress, reader.DataBytes());
    try {
        exporter.Begin(reader.Info(), kinds, staging.path());
        WriteBlocks(reader, exporter, kinds, counter);
        exporter.Finish();
        staging.Publish();
    } catch (const Cancelled&) {
        exporter.Abandon();
        return ExportOutcome::Cancelled;
    } catch (...) {
        exporter.Abandon();
        throw;
    }
    return ExportOutcome::Written;
}

ExportOutcome ExportProject(const ExportRequest& request, const Progress& progress)
{
    // The description is checked and the data files opened before anything is
    // made, so a missing one leaves no folder.
    RecordingReader reader(request.projectFile, request.ai, request.di);
    const std::unique_ptr<IExporter> exporter = MakeExporter(request.format, request.decimal);
    return ExportRecording(reader, *exporter, {request.ai, request.di}, request.folder, progress);
}

} // namespace ondrel
