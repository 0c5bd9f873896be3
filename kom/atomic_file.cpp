#include "kom/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kom {

namespace {

// The process's umask, read without changing it (umask() would, for a moment,
// for every thread).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    return 022;
}

mode_t modeFor(const std::string& path, std::optional<mode_t> asked)
{
    if (asked)
        return *asked;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return 0666 & ~currentUmask();
}

int writeAll(int fd, std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes = bytes.subspan(static_cast<size_t>(n));
    }
    return 0;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

int writeFileAtomically(const std::string& path, std::span<const std::byte> bytes, std::optional<mode_t> mode)
{
    const mode_t bits = modeFor(path, mode);
    // A fresh name that no one else can have made (O_EXCL), in the target's
    // folder so that the rename stays on one file system.
    std::string tmp = path + ".tmp.XXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    auto fail = [&](int err) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tmp.c_str());
        return err;
    };
    if (::fchmod(fd, bits) != 0)
        return fail(errno);
    if (int err = writeAll(fd, bytes))
        return fail(err);
    if (::fsync(fd) != 0)
        return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(errno);
    if (std::rename(tmp.c_str(), path.c_str()) != 0)
        return fail(errno);

    int dir = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return errno;
    // Some file systems cannot sync a folder (EINVAL); the data is safe there.
    int err = ::fsync(dir) == 0 || errno == EINVAL ? 0 : errno;
    ::close(dir);
    return err;
}

} // namespace kom
