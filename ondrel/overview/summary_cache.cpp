#include "ondrel/overview/summary_cache.h"

#include "ondrel/common/file_error.h"
#include "ondrel/common/file_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ondrel {

namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'O', 'N', 'D', 'S', 'U', 'M', '0', '1'};
constexpr const char* kPrefix = "overview-";
constexpr const char* kSuffix = ".sum";

void Put(std::vector<std::byte>& out, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
}

uint64_t Get(std::span<const std::byte> bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= static_cast<uint64_t>(bytes[static_cast<size_t>(i)]) << (8 * i);
    return value;
}

void Put(std::vector<std::byte>& out, const FileStamp& stamp)
{
    Put(out, stamp.device);
    Put(out, stamp.inode);
    Put(out, stamp.size);
    Put(out, static_cast<uint64_t>(stamp.modifiedSeconds));
    Put(out, static_cast<uint64_t>(stamp.modifiedNanoseconds));
}

// The key and the layout constants, as the header holds them.
std::vector<std::byte> KeyBytes(const SummaryKey& key)
{
    std::vector<std::byte> bytes(sizeof kMagic);
    std::transform(std::begin(kMagic), std::end(kMagic), bytes.begin(), [](char c) { return std::byte(c); });
    Put(bytes, key.ai);
    Put(bytes, key.di);
    Put(bytes, static_cast<uint64_t>(key.shape.aiScans));
    Put(bytes, static_cast<uint64_t>(key.shape.aiChannels));
    Put(bytes, static_cast<uint64_t>(key.shape.diScans));
    Put(bytes, static_cast<uint64_t>(key.shape.diPorts));
    Put(bytes, key.floatSamples ? 1u : 0u);
    Put(bytes, static_cast<uint64_t>(key.diPortStart));
    Put(bytes, static_cast<uint64_t>(kSummaryBlockScans));
    Put(bytes, static_cast<uint64_t>(kSummaryLevelFactor));
    Put(bytes, sizeof(ValueSpan) | sizeof(PortSpan) << 8);
    return bytes;
}

// FNV-1a over whole 64-bit words: quick enough for tens of megabytes, and any
// damage to the file changes it.
uint64_t Checksum(std::span<const std::byte> bytes, uint64_t hash = 14695981039346656037ull)
{
    constexpr uint64_t kPrime = 1099511628211ull;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * kPrime;
    }
    for (; i < bytes.size(); ++i)
        hash = (hash ^ static_cast<uint64_t>(bytes[i])) * kPrime;
    return hash;
}

std::string FileNameFor(const SummaryKey& key)
{
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(Checksum(KeyBytes(key))));
    return std::string(kPrefix) + name + kSuffix;
}

bool WriteAll(int fd, std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(n));
    }
    return true;
}

bool CreateFolders(const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string above = FolderOf(folder);
    if (above != folder && !CreateFolders(above))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

// The newest kCachedSummaries stay, `kept` (the one just written) among them
// whatever the clock's granularity says.
void KeepNewest(const std::string& folder, const std::string& kept)
{
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, fs::path>> summaries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name != kept && name.starts_with(kPrefix) && name.ends_with(kSuffix) && entry.is_regular_file(error))
            summaries.emplace_back(entry.last_write_time(error), entry.path());
    }
    if (summaries.size() < kCachedSummaries)
        return;
    std::sort(summaries.begin(), summaries.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = kCachedSummaries - 1; i < summaries.size(); ++i)
        fs::remove(summaries[i].second, error);
}

} // namespace

SummaryKey KeyOf(RecordingReader& reader)
{
    SummaryKey key;
    if (reader.AI().IsOpen())
        key.ai = reader.AI().Stamp();
    if (reader.DI().IsOpen())
        key.di = reader.DI().Stamp();
    if (reader.AI().IsOpen()) {
        key.shape.aiScans = reader.AI().ScanCount();
        key.shape.aiChannels = reader.AI().ChanCount();
    }
    if (reader.DI().IsOpen()) {
        key.shape.diScans = reader.DI().ScanCount();
        key.shape.diPorts = reader.DI().PortCount();
    }
    key.floatSamples = reader.Info().floatSamples;
    key.diPortStart = reader.DI().IsOpen() ? reader.DI().PortStart() : 0;
    return key;
}

std::string SummaryCacheFolder()
{
    const char* configured = std::getenv("XDG_CACHE_HOME");
    // XDG base directories ignore a relative path.
    if (configured != nullptr && configured[0] == '/') {
        std::string base(configured);
        while (base.size() > 1 && base.back() == '/')
            base.pop_back();
        return (base == "/" ? "" : base) + "/ondrel";
    }
    return HomePath() + "/.cache/ondrel";
}

std::unique_ptr<OverviewSummary> LoadCachedSummary(const std::string& folder, const SummaryKey& key)
{
    try {
        auto summary = std::make_unique<OverviewSummary>(key.shape);
        const std::vector<std::byte> expected = KeyBytes(key);
        const uint64_t payload = summary->Bytes();
        RegularFile file;
        file.Open(folder + "/" + FileNameFor(key));
        if (file.Size() != expected.size() + 16 + payload)
            return nullptr;
        std::vector<std::byte> header(expected.size() + 16);
        if (file.Read(header) != header.size() || !std::equal(expected.begin(), expected.end(), header.begin()))
            return nullptr;
        const uint64_t stored[2] = {Get(std::span(header).subspan(expected.size(), 8)),
                                    Get(std::span(header).subspan(expected.size() + 8, 8))};
        if (stored[0] != payload)
            return nullptr;
        uint64_t checksum = Checksum({});
        for (std::span<std::byte> level : summary->Storage()) {
            if (file.Read(level) != level.size())
                return nullptr;
            checksum = Checksum(level, checksum);
        }
        if (checksum != stored[1])
            return nullptr;
        summary->MarkLoaded();
        return summary;
    } catch (const FileError&) {
        return nullptr; // none yet, or unreadable: built again
    }
}

bool StoreSummary(const std::string& folder, const SummaryKey& key, const OverviewSummary& summary)
{
    if (!summary.Finished() || !(summary.Shape() == key.shape) || !CreateFolders(folder))
        return false;
    std::string temporary = folder + "/.overview-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    std::vector<std::byte> header = KeyBytes(key);
    uint64_t checksum = Checksum({});
    for (std::span<const std::byte> level : summary.Storage())
        checksum = Checksum(level, checksum);
    Put(header, summary.Bytes());
    Put(header, checksum);
    bool written = WriteAll(fd, header);
    for (std::span<const std::byte> level : summary.Storage())
        written = written && WriteAll(fd, level);
    written = ::close(fd) == 0 && written;
    const std::string name = FileNameFor(key);
    if (!written || ::rename(temporary.c_str(), (folder + "/" + name).c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    KeepNewest(folder, name);
    return true;
}

} // namespace ondrel
