#pragma once
// The class registry: a tree of keys with named string values, kept in a text
// file. Modules write it from their registration entry point; hosts read it to
// turn a class identifier or ProgID into a module path.
//
// File format (UTF-8), one key per section, every key listed (also empty ones):
//
//     [CLSID\{7F7C9955-AEDA-499F-B4B3-F89A735BB414}\InprocServer32]
//     @=/opt/lib/libtickwell.so
//     ThreadingModel=Apartment
//
// "@" names a key's default value. In names and values a backslash, a newline
// and a carriage return are written "\\", "\n" and "\r", an "=" in a name
// "\=", and a name's first "[", ";" or "#" (which would read as a key or a
// comment) "\[", "\;", "\#". Key paths compare without regard to ASCII
// letter case.
#include "kom/types.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kom {

class Registry {
public:
    // Where this user's registry lives: $KOM_REGISTRY if it is an absolute
    // path, otherwise $XDG_DATA_HOME/kom/registry (absolute only), otherwise
    // ~/.local/share/kom/registry, with ~ from $HOME or, without it, from the
    // password database. Never a shared folder: "" when the account has no
    // home, and then there is no registry (hosts use the libraries beside
    // the executable).
    static std::string defaultPath();

    // Reads a file; a missing file (or path "") is an empty registry (S_OK),
    // an unreadable or malformed one a failure. A file that other users could
    // have written (group or other write permission, or another owner than
    // this user or root) is refused with a warning on standard error.
    HRESULT load(const std::string& path);
    // Writes the whole registry atomically and durably (kom/atomic_file.h),
    // never writable by group or others, creating the folder if needed.
    HRESULT save(const std::string& path) const;
    // Read-modify-write under an advisory lock on "PATH.lock", so concurrent
    // registrations do not lose each other's keys. Fails, changing nothing,
    // when the file cannot be loaded (also when it is refused as above).
    static HRESULT update(const std::string& path, const std::function<HRESULT(Registry&)>& edit);
    // Reads the registry at defaultPath(); a refused or malformed file reads
    // as an empty registry.
    static Registry current();

    void createKey(std::string_view key); // and its parents
    bool keyExists(std::string_view key) const;
    void setValue(std::string_view key, std::string_view name, std::string_view value);
    void setDefault(std::string_view key, std::string_view value) { setValue(key, "@", value); }
    std::optional<std::string> value(std::string_view key, std::string_view name = "@") const;
    std::vector<std::string> subkeys(std::string_view key) const; // immediate children, names only
    std::vector<std::pair<std::string, std::string>> values(std::string_view key) const;
    // Removes the key and everything below it; false if it did not exist.
    bool deleteTree(std::string_view key);
    bool empty() const { return keys_.empty(); }

    // A key path read from a file has at most this many bytes and levels;
    // a longer or deeper one makes the file malformed.
    static constexpr size_t MaxKeyLength = 512;
    static constexpr long MaxKeyDepth = 32;

    std::string serialize() const;
    HRESULT parse(std::string_view text);

private:
    struct Less {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Values = std::map<std::string, std::string>;
    std::map<std::string, Values, Less> keys_;
};

} // namespace kom
