#pragma once
#include <ctime>
#include <optional>
#include <string>

namespace ondrel {

// "Run.lock" in a working folder: held (flock) by the program that records
// there for as long as it lives. The kernel frees the lock of a process that
// ends, however it ends, so a folder whose lock can be taken has no owner
// left. The file's modification time is the start of the folder's last run;
// the file is empty while that run is not saved and holds a mark once Save As
// has saved it.
class RunLock {
public:
    static constexpr const char* kFileName = "Run.lock";

    RunLock() = default;
    ~RunLock();
    RunLock(RunLock&& other) noexcept;
    RunLock& operator=(RunLock&& other) noexcept;
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // The folder's own program, before anything else exists in `folder`:
    // creates the file and takes its lock. False when another process took
    // it first; throws FileError when the file cannot be made (one exists).
    bool Create(const std::string& folder);
    // Another program looking at `folder`: takes the lock of the existing file.
    // False when its owner lives or the file is gone or not a regular file.
    bool TryAcquire(const std::string& folder);
    bool IsHeld() const noexcept { return fd_ >= 0; }
    // Lets go and deletes the file (shut-down, or a folder that was dealt with).
    void ReleaseAndRemove() noexcept;

    // A run starts now: clears the saved mark on the disk and stamps the
    // file's modification time. Throws FileError.
    void MarkRunStart();
    // True when the folder's last run was saved (the lock must be held).
    bool RunSaved() const;
    // Marks the last run of `folder` saved, on the disk. Throws FileError.
    static void MarkRunSaved(const std::string& folder);
    // The start of the folder's last run, when the file tells it.
    static std::optional<std::time_t> RunStart(const std::string& folder);

private:
    bool Lock(int fd, const std::string& path);

    int fd_ = -1;
    std::string path_;
};

} // namespace ondrel
