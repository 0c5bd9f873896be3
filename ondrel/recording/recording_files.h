#pragma once
#include "ondrel/recording/binary_file.h"
#include "ondrel/recording/project_description.h"
#include "ondrel/recording/run_lock.h"
#include "ondrel/common/file_error.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ondrel {

// The files of the session's working folder: the project description
// "Project.ond", the polled data "AI.ond" and "DI.ond" (open from start-up to
// shut-down) and the buffered-AI data "FAI.ond" (created anew at every Start).
// Every failure but the one named below throws FileError.
//
// While a run records, fields 13-14 of the description are kept current (see
// WriteProgress), and "Run.lock" tells other programs the folder has an owner:
// a folder left behind by a crash can then be found and saved.
class RecordingFiles {
public:
    // Shown, titled "WriteProjectInfo", when "FAI.ond" cannot be created.
    static constexpr std::string_view kCreateFileFails = "CreateFile Fails ";
    using FailureReport = std::function<void(std::string_view message)>;

    explicit RecordingFiles(std::string folder);

    const std::string& Folder() const { return folder_; }
    const std::string& ProjectFileName() const { return projectFileName_; }
    const std::string& AIFileName() const { return aiFileName_; }
    const std::string& DIFileName() const { return diFileName_; }
    const std::string& FAIFileName() const { return faiFileName_; }

    // Refused when this program does not hold the folder's lock.
    static constexpr const char* kNotOurs = "Another program is recording in this folder";

    // Start-up, in a folder just made: takes the folder's lock, then creates
    // the description, "AI.ond" and "DI.ond" and opens them for reading and
    // writing. Throws FileError (kNotOurs when the lock went to another
    // program, which then owns the folder).
    void OpenAtStartUp();

    // Start (refused with kNotOurs without the lock): empties the description, "AI.ond" and "DI.ond" and reopens them at
    // position 0; deletes and recreates "FAI.ond"; writes fields 1-12. When
    // "FAI.ond" cannot be created, `onCreateFileFailure` gets kCreateFileFails
    // and the run goes on without it: appends to it then do nothing.
    void WriteProjectInfo(const RunDescription& run, const FailureReport& onCreateFileFailure);

    // The "DI.ond" header (first port, port count), written at Start.
    void WriteDIHeader(int32_t portStart, int32_t portCount);

    // A data write that failed. The data files were first cut back to their
    // last whole scan, so what they hold stays readable; what() is the
    // platform's description.
    class WriteError : public FileError {
    public:
        explicit WriteError(const FileError& cause) : FileError(cause) {}
    };

    // A polled scan is about to be appended: a failure in either append
    // below cuts both files back to here, so AI and DI never differ by a scan.
    void BeginPolledScan();
    // One polled AI scan: one F32 per channel. Throws WriteError.
    void AppendAIRecord(std::span<const float> values);
    // One polled DI scan: one byte per port. Throws WriteError.
    void AppendDIRecord(std::span<const uint8_t> ports);

    // One buffer of buffered-AI samples, written in one piece at the end of
    // "FAI.ond" (64-bit offsets: a recording may pass 4 GiB). Returns false,
    // writing nothing, when the file is not open. Throws WriteError, the file
    // cut back to the blocks before.
    bool AppendFAI(std::span<const float> samples);
    bool AppendFAI(std::span<const int32_t> samples);
    bool IsFAIOpen() const { return fai_.IsOpen(); }
    // Hands "FAI.ond" to the storage device and closes it. Throws FileError.
    void CloseFAI();

    // While recording, about once a second: hands the data to the storage
    // device, then writes fields 13-14 where Stop will, so that a run cut off
    // by a crash or a power loss still names the scans that reached the disk.
    // Throws FileError.
    void WriteProgress(const RunEnd& progress);

    // Stop: fields 13-14 right after field 12, after the data and then
    // themselves handed to the storage device, so that a copy made by Save As
    // holds them and a power loss keeps every scan they count.
    void WriteRunEnd(const RunEnd& end);

    // Save As closes the working description; the next Start reopens it.
    void CloseProjectFile();

    // Shut-down: closes every file and, when the lock is this program's,
    // deletes the four files and the lock and removes the folder. Files or a
    // folder that were never created are no error; nothing here throws.
    void Shutdown() noexcept;

private:
    friend void RemoveWorkingFolder(const std::string& folder, RunLock& lock) noexcept;
    bool AppendFAIBytes(std::span<const std::byte> bytes);
    [[noreturn]] void CutBackPolledScan(const FileError& cause);
    void WriteFields13And14(const RunEnd& end);

    std::string folder_;
    std::string projectFileName_;
    std::string aiFileName_;
    std::string diFileName_;
    std::string faiFileName_;
    BinaryFile project_;
    BinaryFile ai_;
    BinaryFile di_;
    BinaryFile fai_;
    RunLock lock_;
    // Where fields 13-14 go; unknown until fields 1-12 of this run are written.
    std::optional<uint64_t> runEndOffset_;
    uint64_t aiScanStart_ = 0;
    uint64_t diScanStart_ = 0;
};

// Deletes a working folder's four files and its lock file (`lock`, held) and
// removes the folder.
void RemoveWorkingFolder(const std::string& folder, RunLock& lock) noexcept;

} // namespace ondrel
