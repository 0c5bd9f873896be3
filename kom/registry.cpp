#include "kom/registry.h"

#include "kom/atomic_file.h"
#include "kom/warn.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <span>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kom {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string normalizeKey(std::string_view key)
{
    std::string k;
    for (char c : key)
        k.push_back(c == '/' ? '\\' : c);
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    while (!k.empty() && k.front() == '\\')
        k.erase(k.begin());
    return k;
}

// Names also escape '=' (it ends the name), and a first character that
// would make the line read as a key or a comment.
std::string escape(std::string_view s, bool name = false)
{
    std::string out;
    if (name && !s.empty() && (s.front() == '[' || s.front() == ';' || s.front() == '#'))
        out.push_back('\\');
    for (char c : s) {
        if (name && c == '=') {
            out += "\\=";
            continue;
        }
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string unescape(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out.push_back(n == 'n' ? '\n' : n == 'r' ? '\r' : n);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// Position of the first '=' not preceded by an escaping backslash.
size_t findEquals(std::string_view line)
{
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '=')
            return i;
    }
    return std::string_view::npos;
}

bool isBelow(std::string_view child, std::string_view parent)
{
    if (child.size() <= parent.size() + 1 || child[parent.size()] != '\\')
        return false;
    for (size_t i = 0; i < parent.size(); ++i)
        if (lower(child[i]) != lower(parent[i]))
            return false;
    return true;
}

// The home folder of the account running this process, from the password
// database; "" when it has none (or none that is absolute).
std::string accountHome()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir
        || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

// Creates the missing folders of `folder`, open to their owner only (as the
// XDG base directory rules ask), never to other users whatever the umask.
void makeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty())
            ::mkdir(part.c_str(), 0700);
        if (slash == std::string::npos)
            return;
    }
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// Why a registry file must not be trusted, or "" when it may be.
std::string distrust(const std::string& path, const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return "it is not a regular file";
    if (st.st_mode & (S_IWGRP | S_IWOTH)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return std::string("other users can write it (mode ") + mode + "; chmod go-w " + path + ")";
    }
    if (st.st_uid != ::geteuid() && st.st_uid != ::getuid() && st.st_uid != 0)
        return "it belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    return {};
}

} // namespace

bool Registry::Less::operator()(std::string_view a, std::string_view b) const
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = lower(a[i]), y = lower(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    return a.size() < b.size();
}

std::string Registry::defaultPath()
{
    if (const char* p = std::getenv("KOM_REGISTRY"); p && *p) {
        if (*p == '/')
            return p;
        warnOnce(std::string("ignoring KOM_REGISTRY=") + p
                 + ": it must be an absolute path, or the registry would depend on the working directory");
    }
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/')
        return std::string(x) + "/kom/registry";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h == '/')
        home = h;
    else
        home = accountHome();
    if (home.empty())
        return {};
    return home + "/.local/share/kom/registry";
}

void Registry::createKey(std::string_view key)
{
    std::string k = normalizeKey(key);
    if (k.empty())
        return;
    for (size_t pos = k.find('\\'); pos != std::string::npos; pos = k.find('\\', pos + 1))
        keys_.try_emplace(k.substr(0, pos));
    keys_.try_emplace(k);
}

bool Registry::keyExists(std::string_view key) const { return keys_.contains(normalizeKey(key)); }

void Registry::setValue(std::string_view key, std::string_view name, std::string_view value)
{
    std::string k = normalizeKey(key);
    createKey(k);
    keys_.find(k)->second[std::string(name.empty() ? "@" : name)] = std::string(value);
}

std::optional<std::string> Registry::value(std::string_view key, std::string_view name) const
{
    auto it = keys_.find(normalizeKey(key));
    if (it == keys_.end())
        return std::nullopt;
    auto v = it->second.find(std::string(name.empty() ? "@" : name));
    if (v == it->second.end())
        return std::nullopt;
    return v->second;
}

std::vector<std::string> Registry::subkeys(std::string_view key) const
{
    std::string k = normalizeKey(key);
    std::vector<std::string> out;
    for (auto it = keys_.upper_bound(k); it != keys_.end() && isBelow(it->first, k); ++it) {
        std::string_view rest = std::string_view(it->first).substr(k.size() + 1);
        if (rest.find('\\') == std::string_view::npos)
            out.emplace_back(rest);
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> Registry::values(std::string_view key) const
{
    std::vector<std::pair<std::string, std::string>> out;
    auto it = keys_.find(normalizeKey(key));
    if (it != keys_.end())
        for (const auto& [n, v] : it->second)
            out.emplace_back(n, v);
    return out;
}

bool Registry::deleteTree(std::string_view key)
{
    std::string k = normalizeKey(key);
    auto it = keys_.find(k);
    if (it == keys_.end())
        return false;
    it = keys_.erase(it);
    while (it != keys_.end() && isBelow(it->first, k))
        it = keys_.erase(it);
    return true;
}

std::string Registry::serialize() const
{
    std::string out = "; kom class registry\n";
    for (const auto& [key, vals] : keys_) {
        out += "\n[" + key + "]\n";
        for (const auto& [n, v] : vals)
            out += escape(n, true) + "=" + escape(v) + "\n";
    }
    return out;
}

HRESULT Registry::parse(std::string_view text)
{
    keys_.clear();
    std::string current;
    bool inKey = false;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                return E_FAIL;
            current = normalizeKey(line.substr(1, line.size() - 2));
            // Bounded, because a key brings every parent key with it: the cost
            // of one line grows with its length times its depth.
            if (current.empty() || current.size() > MaxKeyLength
                || std::count(current.begin(), current.end(), '\\') >= MaxKeyDepth)
                return E_FAIL;
            createKey(current);
            inKey = true;
            continue;
        }
        size_t eq = findEquals(line);
        if (!inKey || eq == std::string_view::npos)
            return E_FAIL;
        // An empty name is the default value, as setValue and value() read it.
        std::string name = unescape(line.substr(0, eq));
        keys_[current][name.empty() ? "@" : name] = unescape(line.substr(eq + 1));
    }
    return S_OK;
}

HRESULT Registry::load(const std::string& path)
{
    keys_.clear();
    if (path.empty())
        return S_OK; // no registry: an empty one
    // Opened first and checked through the descriptor, so that the file
    // checked is the file read.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? S_OK : E_ACCESSDENIED;
    struct stat st {};
    std::string why = ::fstat(fd, &st) != 0 ? std::string(std::strerror(errno)) : distrust(path, st);
    if (!why.empty()) {
        ::close(fd);
        warnOnce("ignoring the class registry " + path + ": " + why);
        return E_ACCESSDENIED;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return E_ACCESSDENIED;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return parse(text);
}

HRESULT Registry::save(const std::string& path) const
{
    if (path.empty())
        return E_ACCESSDENIED; // there is no registry
    if (const std::string folder = parentOf(path); !folder.empty())
        makeFolders(folder);
    // Never writable by others, or the next read would refuse it.
    mode_t mode = 0644;
    if (struct stat st{}; ::stat(path.c_str(), &st) == 0)
        mode = (st.st_mode & 07777) & ~mode_t(022);
    const std::string text = serialize();
    switch (writeFileAtomically(path, std::as_bytes(std::span(text)), mode)) {
    case 0:
        return S_OK;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
        return STG_E_WRITEFAULT;
    default:
        return E_ACCESSDENIED;
    }
}

HRESULT Registry::update(const std::string& path, const std::function<HRESULT(Registry&)>& edit)
{
    if (path.empty())
        return E_ACCESSDENIED; // there is no registry
    if (const std::string folder = parentOf(path); !folder.empty())
        makeFolders(folder);
    int lock = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (lock >= 0)
        while (::flock(lock, LOCK_EX) != 0 && errno == EINTR) {
        }
    Registry reg;
    HRESULT h = reg.load(path);
    if (SUCCEEDED(h))
        h = edit(reg);
    if (SUCCEEDED(h)) {
        HRESULT s = reg.save(path);
        if (FAILED(s))
            h = s;
    }
    if (lock >= 0)
        ::close(lock); // releases the lock
    return h;
}

Registry Registry::current()
{
    Registry reg;
    if (FAILED(reg.load(defaultPath())))
        reg = Registry();
    return reg;
}

} // namespace kom
