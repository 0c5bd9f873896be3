#include "ondrel/common/file_paths.h"

#include "ondrel/common/file_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ondrel {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string TrimTrailingSeparators(std::string path)
{
    while (path.size() > 1 && IsSeparator(path.back()))
        path.pop_back();
    return path;
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string joined(folder);
    if (joined.empty() || !IsSeparator(joined.back()))
        joined += '/';
    joined += name;
    return joined;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::string FileNameOf(std::string_view path)
{
    const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
    return std::string(last.base(), path.end());
}

std::string FolderOf(std::string_view path)
{
    const auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
    if (last == path.rend())
        return ".";
    std::string folder(path.begin(), last.base() - 1);
    return folder.empty() ? std::string("/") : folder;
}

bool FileExists(std::string_view path)
{
    const std::string name = FileNameOf(path);
    if (name.empty())
        return false;
    const std::string folder = FolderOf(path);
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), ::closedir);
    if (!listing)
        return false;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0 && IsRegularFile(JoinPath(folder, entry->d_name)))
            return true;
    }
    return false;
}

std::string TempPath()
{
    const char* configured = std::getenv("TMPDIR");
    if (configured == nullptr || *configured == '\0')
        return "/tmp";
    return TrimTrailingSeparators(configured);
}

std::string RootPath() { return std::string(1, '/'); }

std::string HomePath()
{
    const char* configured = std::getenv("HOME");
    if (configured != nullptr && *configured != '\0')
        return TrimTrailingSeparators(configured);
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir != '\0')
        return TrimTrailingSeparators(entry->pw_dir);
    return RootPath();
}

std::string ProgramFolder()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            throw FileError(errno, "/proc/self/exe");
        if (static_cast<size_t>(length) < buffer.size())
            return FolderOf(std::string_view(buffer.data(), static_cast<size_t>(length)));
        buffer.resize(buffer.size() * 2);
    }
}

std::string TempFileName(bool keep, std::string_view prefix, std::string_view folder)
{
    std::string pattern = JoinPath(folder, prefix) + "XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw FileError(errno, pattern);
    ::close(fd);
    if (!keep)
        ::unlink(pattern.c_str());
    return pattern;
}

std::string FolderIn(std::string_view dir, std::string_view name)
{
    if (name.starts_with('/'))
        return std::string(name);
    std::string folder(dir);
    if (!folder.ends_with('/'))
        folder += '/';
    return folder.append(name);
}

} // namespace ondrel
