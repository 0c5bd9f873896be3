#include "crash/power_loss_model.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace ondrel::testing {
namespace {

std::vector<std::byte> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return std::byte(c); });
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot rebuild " + path);
}

void Put(std::vector<std::byte>& file, uint64_t offset, const std::vector<std::byte>& bytes, size_t count)
{
    if (file.size() < offset + count)
        file.resize(offset + count);
    std::copy_n(bytes.begin(), count, file.begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace

PowerLossModel::PowerLossModel(const std::string& root) : root_(root) { Seed(NewNode(true), root); }

int PowerLossModel::NewNode(bool folder)
{
    nodes_.push_back(Node{folder, {}, {}, {}, {}});
    return static_cast<int>(nodes_.size() - 1);
}

void PowerLossModel::Seed(int node, const std::string& path)
{
    for (const auto& entry : fs::directory_iterator(path)) {
        const std::string name = entry.path().filename().string();
        const int child = NewNode(entry.is_directory());
        if (entry.is_directory())
            Seed(child, entry.path().string());
        else
            nodes_[child].written = nodes_[child].synced = ReadFile(entry.path().string());
        nodes_[node].names[name] = nodes_[node].syncedNames[name] = child;
    }
}

std::pair<int, std::string> PowerLossModel::ParentAndName(const std::string& path) const
{
    const size_t slash = path.rfind('/');
    const int parent = Find(path.substr(0, slash));
    if (parent < 0)
        throw std::logic_error("no folder for " + path);
    return {parent, path.substr(slash + 1)};
}

int PowerLossModel::Find(const std::string& path) const
{
    if (path == root_)
        return 0;
    if (!path.starts_with(root_ + "/"))
        return -1;
    int node = 0;
    size_t at = root_.size() + 1;
    while (node >= 0 && at <= path.size()) {
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        const auto found = nodes_[node].names.find(name);
        node = found == nodes_[node].names.end() ? -1 : found->second;
        at = end + 1;
    }
    return node;
}

void PowerLossModel::Touch(int node)
{
    if (torn_ && torn_->node == node)
        torn_.reset();
}

void PowerLossModel::Apply(const FileOp& op)
{
    switch (op.kind) {
    case FileOp::Kind::Open: {
        int node = Find(op.path);
        if (node < 0) {
            if ((op.flags & O_CREAT) == 0)
                throw std::logic_error("opened a file the model does not hold: " + op.path);
            const auto [parent, name] = ParentAndName(op.path);
            node = NewNode(false);
            nodes_[parent].names[name] = node;
        }
        if ((op.flags & O_TRUNC) != 0) {
            Touch(node);
            nodes_[node].written.clear();
        }
        nodeOfHandle_[op.handle] = node;
        break;
    }
    case FileOp::Kind::Write: {
        const int node = nodeOfHandle_.at(op.handle);
        torn_ = TornWrite{node, nodes_[node].written, op.offset, op.bytes};
        Put(nodes_[node].written, op.offset, op.bytes, op.bytes.size());
        break;
    }
    case FileOp::Kind::Truncate: {
        const int node = nodeOfHandle_.at(op.handle);
        Touch(node);
        nodes_[node].written.resize(op.offset);
        break;
    }
    case FileOp::Kind::SyncFile: {
        const int node = nodeOfHandle_.at(op.handle);
        Touch(node);
        nodes_[node].synced = nodes_[node].written;
        break;
    }
    case FileOp::Kind::SyncFolder: {
        const int node = Find(op.path);
        if (node < 0)
            throw std::logic_error("synced a folder the model does not hold: " + op.path);
        nodes_[node].syncedNames = nodes_[node].names;
        break;
    }
    case FileOp::Kind::Rename: {
        const auto [from, fromName] = ParentAndName(op.path);
        const auto [to, toName] = ParentAndName(op.target);
        const int moved = nodes_[from].names.at(fromName);
        if ((op.renameFlags & RENAME_EXCHANGE) != 0) {
            const int other = nodes_[to].names.at(toName);
            nodes_[to].names[toName] = moved;
            nodes_[from].names[fromName] = other;
        } else {
            nodes_[from].names.erase(fromName);
            nodes_[to].names[toName] = moved;
        }
        break;
    }
    case FileOp::Kind::Unlink:
    case FileOp::Kind::RemoveFolder: {
        const auto [parent, name] = ParentAndName(op.path);
        nodes_[parent].names.erase(name);
        break;
    }
    case FileOp::Kind::MakeFolder: {
        const auto [parent, name] = ParentAndName(op.path);
        nodes_[parent].names[name] = NewNode(true);
        break;
    }
    }
}

void PowerLossModel::Rebuild(const std::string& into, KeptNames names, KeptData data) const
{
    fs::remove_all(into);
    RebuildFolder(0, into, names, data);
}

void PowerLossModel::RebuildFolder(int node, const std::string& path, KeptNames names, KeptData data) const
{
    if (::mkdir(path.c_str(), 0700) != 0)
        throw std::runtime_error("cannot rebuild " + path);
    const Node& folder = nodes_[node];
    for (const auto& [name, child] : names == KeptNames::AsSynced ? folder.syncedNames : folder.names) {
        const std::string childPath = path + "/" + name;
        const Node& file = nodes_[child];
        if (file.folder) {
            RebuildFolder(child, childPath, names, data);
        } else if (data == KeptData::AsSynced) {
            WriteFile(childPath, file.synced);
        } else if (data == KeptData::LastWriteTorn && torn_ && torn_->node == child) {
            std::vector<std::byte> torn = torn_->before;
            Put(torn, torn_->offset, torn_->bytes, torn_->bytes.size() / 2);
            WriteFile(childPath, torn);
        } else {
            WriteFile(childPath, file.written);
        }
    }
}

} // namespace ondrel::testing
