#include "kom/registry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

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

// Names also escape '=' (it ends the name).
std::string escape(std::string_view s, bool name = false)
{
    std::string out;
    for (char c : s) {
        if (name && c == '=') {
            out += "\\=";
            continue;
        }
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out.push_back(c);
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
    if (const char* p = std::getenv("KOM_REGISTRY"); p && *p)
        return p;
    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/')
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        base = "/tmp";
    return base + "/kom/registry";
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
            if (current.empty())
                return E_FAIL;
            createKey(current);
            inKey = true;
            continue;
        }
        size_t eq = findEquals(line);
        if (!inKey || eq == std::string_view::npos)
            return E_FAIL;
        keys_[current][unescape(line.substr(0, eq))] = unescape(line.substr(eq + 1));
    }
    return S_OK;
}

HRESULT Registry::load(const std::string& path)
{
    keys_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT || !std::filesystem::exists(path))
            return S_OK;
        return E_ACCESSDENIED;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

HRESULT Registry::save(const std::string& path) const
{
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path(), ec);
    std::string tmp = path + ".tmp." + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return E_ACCESSDENIED;
        out << serialize();
        out.flush();
        if (!out) {
            std::filesystem::remove(tmp, ec);
            return STG_E_WRITEFAULT;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::filesystem::remove(tmp, ec);
        return E_ACCESSDENIED;
    }
    return S_OK;
}

HRESULT Registry::update(const std::string& path, const std::function<HRESULT(Registry&)>& edit)
{
    std::error_code ec;
    std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path(), ec);
    int lock = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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
