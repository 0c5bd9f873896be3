#pragma once
#include <string>
#include <sys/types.h>

namespace ondrel {

// The system calls through which the recording files reach the disk: every
// create, write, truncation, sync, rename and removal of a working folder's
// files, of Save As and of recovery goes through these. Tests replace them to
// fail a chosen call or to record each durable step and replay a power loss.
struct FileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, size_t size);
    int (*ftruncate)(int fd, off_t size);
    int (*fsync)(int fd);                                                // files and folders alike
    int (*fdatasync)(int fd);                                            // files only
    int (*rename)(const char* from, const char* to, unsigned int flags); // renameat2's flags
    int (*unlink)(const char* path);
    int (*mkdir)(const char* path, mode_t mode);
    int (*rmdir)(const char* path);
    int (*flock)(int fd, int operation);
};

// The calls in use; the system's own unless a test put others in place.
const FileCalls& Calls() noexcept;
// The system's own calls.
FileCalls SystemCalls() noexcept;
// Puts `calls` in place and returns the ones they replace. Not for use while
// another thread writes.
FileCalls SetCalls(const FileCalls& calls) noexcept;

// Hands `folder`'s entries (files made, renamed or removed in it) to the disk.
// Throws FileError.
void SyncFolder(const std::string& folder);

} // namespace ondrel
