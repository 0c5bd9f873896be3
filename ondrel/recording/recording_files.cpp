#include "ondrel/recording/recording_files.h"

#include "ondrel/recording/description_writer.h"
#include "ondrel/recording/file_calls.h"
#include "ondrel/recording/little_endian_writer.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <bit>
#include <unistd.h>

namespace ondrel {
namespace {

// Samples go to the file straight from memory; the files are little-endian.
static_assert(std::endian::native == std::endian::little,
              "sample blocks are written in host order, which must be little-endian");

std::string InFolder(const std::string& folder, const char* name) { return folder + "/" + name; }

void Reopen(BinaryFile& file, const std::string& path)
{
    file.Close();
    file.Open(path, BinaryFile::Mode::Truncate);
    file.Close();
    file.Open(path, BinaryFile::Mode::ReadWrite);
}

// Cuts a file back to `size` after a failed write. Best effort: the file's own
// error is the one worth reporting.
void CutBack(BinaryFile& file, uint64_t size) noexcept
{
    try {
        file.Truncate(size);
        file.Seek(size);
    } catch (const FileError&) {
    }
}

void FlushIfOpen(BinaryFile& file)
{
    if (file.IsOpen())
        file.Flush();
}

void CloseQuietly(BinaryFile& file) noexcept
{
    try {
        file.Close();
    } catch (const FileError&) {
        // Shutting down: nothing left to tell anyone.
    }
}

} // namespace

RecordingFiles::RecordingFiles(std::string folder)
    : folder_(std::move(folder)), projectFileName_(InFolder(folder_, "Project.ond")),
      aiFileName_(InFolder(folder_, "AI.ond")), diFileName_(InFolder(folder_, "DI.ond")),
      faiFileName_(InFolder(folder_, "FAI.ond"))
{}

void RecordingFiles::OpenAtStartUp()
{
    // The lock before anything else: a program looking for interrupted runs
    // finds a description only in a folder whose lock is already held.
    if (!lock_.Create(folder_))
        throw FileError(kNotOurs, folder_);
    project_.Open(projectFileName_, BinaryFile::Mode::ReadWrite);
    ai_.Open(aiFileName_, BinaryFile::Mode::ReadWrite);
    di_.Open(diFileName_, BinaryFile::Mode::ReadWrite);
    // The names on the disk, so that what a run syncs later can be found
    // after a power loss.
    SyncFolder(folder_);
    SyncFolder(FolderOf(folder_));
}

void RecordingFiles::WriteProjectInfo(const RunDescription& run, const FailureReport& onCreateFileFailure)
{
    const std::vector<std::byte> fields = EncodeRunDescription(run);

    if (!lock_.IsHeld())
        throw FileError(kNotOurs, folder_);
    runEndOffset_.reset();
    lock_.MarkRunStart();
    Reopen(project_, projectFileName_);
    Reopen(ai_, aiFileName_);
    Reopen(di_, diFileName_);

    CloseFAI();
    Calls().unlink(faiFileName_.c_str());
    try {
        fai_.Open(faiFileName_, BinaryFile::Mode::Truncate);
    } catch (const FileError&) {
        if (onCreateFileFailure)
            onCreateFileFailure(kCreateFileFails);
    }
    SyncFolder(folder_); // the new "FAI.ond", never the last run's, after a power loss

    project_.Write(fields);
    runEndOffset_ = fields.size();
}

void RecordingFiles::WriteDIHeader(int32_t portStart, int32_t portCount)
{
    LittleEndianWriter header;
    header.Int32(portStart);
    header.Int32(portCount);
    di_.Write(header.Bytes());
}

void RecordingFiles::BeginPolledScan()
{
    aiScanStart_ = ai_.Position();
    diScanStart_ = di_.Position();
}

void RecordingFiles::AppendAIRecord(std::span<const float> values)
{
    try {
        ai_.Write(std::as_bytes(values));
    } catch (const FileError& failure) {
        CutBackPolledScan(failure);
    }
}

void RecordingFiles::AppendDIRecord(std::span<const uint8_t> ports)
{
    try {
        di_.Write(std::as_bytes(ports));
    } catch (const FileError& failure) {
        CutBackPolledScan(failure);
    }
}

void RecordingFiles::CutBackPolledScan(const FileError& cause)
{
    CutBack(ai_, aiScanStart_);
    CutBack(di_, diScanStart_);
    throw WriteError(cause);
}

bool RecordingFiles::AppendFAI(std::span<const float> samples) { return AppendFAIBytes(std::as_bytes(samples)); }

bool RecordingFiles::AppendFAI(std::span<const int32_t> samples) { return AppendFAIBytes(std::as_bytes(samples)); }

bool RecordingFiles::AppendFAIBytes(std::span<const std::byte> bytes)
{
    if (!fai_.IsOpen())
        return false;
    const uint64_t whole = fai_.Size();
    try {
        fai_.Seek(whole);
        fai_.Write(bytes);
    } catch (const FileError& failure) {
        CutBack(fai_, whole);
        throw WriteError(failure);
    }
    return true;
}

void RecordingFiles::CloseFAI()
{
    // Handed to the disk first: Stop closes it before it writes the count.
    FlushIfOpen(fai_);
    fai_.Close();
}

void RecordingFiles::WriteProgress(const RunEnd& progress) { WriteFields13And14(progress); }

void RecordingFiles::WriteRunEnd(const RunEnd& end) { WriteFields13And14(end); }

void RecordingFiles::WriteFields13And14(const RunEnd& end)
{
    // The data first: the count must never cover scans the disk has not got.
    FlushIfOpen(ai_);
    FlushIfOpen(di_);
    FlushIfOpen(fai_);
    // Rewritten in place at every progress write; the bytes after Stop are
    // those of a description written once.
    project_.Seek(runEndOffset_.value_or(project_.Size()));
    project_.Write(EncodeRunEnd(end));
    project_.Flush();
}

void RecordingFiles::CloseProjectFile() { project_.Close(); }

void RecordingFiles::Shutdown() noexcept
{
    CloseQuietly(project_);
    CloseQuietly(ai_);
    CloseQuietly(di_);
    CloseQuietly(fai_);
    // Without the lock the folder is another program's.
    if (lock_.IsHeld())
        RemoveWorkingFolder(folder_, lock_);
}

void RemoveWorkingFolder(const std::string& folder, RunLock& lock) noexcept
{
    const RecordingFiles names(folder);
    for (const std::string* path :
         {&names.projectFileName_, &names.faiFileName_, &names.aiFileName_, &names.diFileName_})
        Calls().unlink(path->c_str());
    lock.ReleaseAndRemove();
    Calls().rmdir(folder.c_str());
}

} // namespace ondrel
