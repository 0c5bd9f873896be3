#include "ondrel/recording/safe_open.h"

#include "ondrel/recording/file_calls.h"
#include "ondrel/common/file_error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ondrel {

int OpenRegularFile(const std::string& path, int accessFlags)
{
    const int fd = Calls().open(path.c_str(), accessFlags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        if (errno == ELOOP)
            throw FileError("Not a regular file (a link)", path);
        throw FileError(errno, path);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        throw FileError(error, path);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        throw FileError("Not a regular file", path);
    }
    return fd;
}

} // namespace ondrel
