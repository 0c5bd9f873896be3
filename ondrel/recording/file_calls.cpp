#include "ondrel/recording/file_calls.h"

#include "ondrel/common/file_error.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ondrel {
namespace {

int OpenFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

int RenameFile(const char* from, const char* to, unsigned int flags)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

FileCalls calls = SystemCalls();

} // namespace

FileCalls SystemCalls() noexcept
{
    return {OpenFile, ::write, ::ftruncate, ::fsync, ::fdatasync, RenameFile, ::unlink, ::mkdir, ::rmdir, ::flock};
}

const FileCalls& Calls() noexcept { return calls; }

FileCalls SetCalls(const FileCalls& replacement) noexcept { return std::exchange(calls, replacement); }

void SyncFolder(const std::string& folder)
{
    const int fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        throw FileError(errno, folder);
    const int result = calls.fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0 && error != EINVAL) // EINVAL: a file system that cannot sync
        throw FileError(error, folder);
}

} // namespace ondrel
