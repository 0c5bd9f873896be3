#pragma once
#include <ctime>
#include <optional>
#include <string>

namespace ondrel {

// "Run.lock" in a working folder: held (flock) by the program that records
// there for as long as it lives. The kernel frees the lock of a process that
// ends, however it ends, so a folder whose lock can be taken has no owner
// left. The file's modification time is the start of the folder's last run.
class RunLock {
public:
    static constexpr const char* kFileName = "Run.lock";

    RunLock() = default;
    ~RunLock();
    RunLock(RunLock&& other) noexcept;
    RunLock& operator=(RunLock&& other) noexcept;
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock of `folder`, creating the file when missing. False when
    // another process holds it; throws FileError when the file cannot be opened.
    bool TryAcquire(const std::string& folder);
    bool IsHeld() const noexcept { return fd_ >= 0; }
    // Lets go and deletes the file (shut-down, or a folder that was dealt with).
    void ReleaseAndRemove() noexcept;

    // A run starts now: stamps the file's modification time.
    void MarkRunStart() noexcept;
    // The start of the folder's last run, when the file tells it.
    static std::optional<std::time_t> RunStart(const std::string& folder);

private:
    int fd_ = -1;
    std::string path_;
};

} // namespace ondrel
