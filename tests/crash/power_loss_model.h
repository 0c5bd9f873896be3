#pragma once
#include "crash/file_op_recorder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ondrel::testing {

// What a power loss keeps of the names in folders: those as they were at
// each folder's last sync, or every change made (a journal that got them all).
enum class KeptNames { AsSynced, AsMade };
// And of the files' bytes: those of each file's last sync, every write made,
// or every write with the last one torn in half.
enum class KeptData { AsSynced, AsWritten, LastWriteTorn };

// A file system as a disk holds it across a power loss: the bytes and names
// the program wrote, and apart from them what it handed to the disk with a
// sync. Starts from a real folder tree, all of it on the disk, and follows
// recorded steps one by one.
class PowerLossModel {
public:
    explicit PowerLossModel(const std::string& root);

    void Apply(const FileOp& op);
    // Whether the last write is not synced yet, so that it can be torn.
    bool CanTearLastWrite() const { return torn_.has_value(); }
    // Builds the tree a power loss now would leave, in `into` (made anew),
    // every folder mode 0700.
    void Rebuild(const std::string& into, KeptNames names, KeptData data) const;

private:
    struct Node {
        bool folder = false;
        std::vector<std::byte> written, synced;
        std::map<std::string, int> names, syncedNames;
    };
    struct TornWrite {
        int node;
        std::vector<std::byte> before; // the file before the write
        uint64_t offset;
        std::vector<std::byte> bytes;
    };

    int NewNode(bool folder);
    void Seed(int node, const std::string& path);
    std::pair<int, std::string> ParentAndName(const std::string& path) const;
    int Find(const std::string& path) const;
    void RebuildFolder(int node, const std::string& path, KeptNames names, KeptData data) const;
    void Touch(int node);

    std::string root_;
    std::vector<Node> nodes_;
    std::map<int, int> nodeOfHandle_;
    std::optional<TornWrite> torn_;
};

} // namespace ondrel::testing
