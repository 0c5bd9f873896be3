#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ondrel::testing {

// One durable step, as the program's file calls made it.
struct FileOp {
    enum class Kind { Open, Write, Truncate, SyncFile, SyncFolder, Rename, Unlink, MakeFolder, RemoveFolder };
    Kind kind = Kind::Open;
    std::string path;             // the file or folder; Rename: the old name
    std::string target;           // Rename: the new name
    int handle = -1;              // Open, Write, Truncate, SyncFile: which opening of a file
    int flags = 0;                // Open: the open flags
    unsigned renameFlags = 0;     // Rename: renameat2's flags
    uint64_t offset = 0;          // Write: where; Truncate: the new size
    std::vector<std::byte> bytes; // Write: what
};

// While alive, every create, write, truncation, sync, rename and removal the
// program makes under `root` through its file calls is done as the system
// does it and written down, in the order the system saw them.
class FileOpRecorder {
public:
    explicit FileOpRecorder(const std::string& root);
    ~FileOpRecorder();
    FileOpRecorder(const FileOpRecorder&) = delete;
    FileOpRecorder& operator=(const FileOpRecorder&) = delete;

    size_t Count() const;
    std::vector<FileOp> Ops() const;
};

} // namespace ondrel::testing
