#include "ondrel/export/sigrok_session_exporter.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/table_at.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <glib.h>
#include <libsigrok/libsigrok.h>
#include <unistd.h>
#include <zip.h>

namespace ondrel {

namespace {

// The sigrok tools read a session 4 MiB at a time; a chunk file no larger is
// handed on as one packet.
constexpr size_t kChunkBytes = 4 * 1024 * 1024;
// F32 samples barely shrink under deflate (a tenth, at ten times the time of
// storing them), so they are stored; logic samples, often long runs of the
// same bytes, are deflated at the fastest level.
constexpr zip_uint32_t kDeflateLevel = 1;

std::string ChunkName(const char* kind, int channel, int chunk)
{
    char name[48];
    if (channel > 0)
        std::snprintf(name, sizeof name, "%s-1-%d-%d", kind, channel, chunk);
    else
        std::snprintf(name, sizeof name, "%s-1-%d", kind, chunk);
    return name;
}

// The session's samplerate is whole hertz: the nearest to the scan rate, at least 1.
uint64_t SampleRate(double scanInterval)
{
    if (!(scanInterval > 0.0) || !std::isfinite(scanInterval))
        return 1;
    return std::max<uint64_t>(1, static_cast<uint64_t>(std::llround(std::min(1.0 / scanInterval, 1e18))));
}

// An open archive, discarded unless closed.
class Archive {
public:
    explicit Archive(const std::string& path) : path_(path)
    {
        int error = 0;
        archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
        if (archive_ == nullptr) {
            zip_error_t description;
            zip_error_init_with_code(&description, error);
            const std::string text = zip_error_strerror(&description);
            zip_error_fini(&description);
            throw FileError(text, path_);
        }
    }
    ~Archive()
    {
        if (archive_ != nullptr)
            zip_discard(archive_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Adds `name` from `source`, which the archive then owns; deflated unless `stored`.
    void Add(const std::string& name, zip_source_t* source, bool stored = false)
    {
        if (source == nullptr)
            Fail();
        const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            Fail();
        }
        const auto at = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive_, at, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, stored ? 0 : kDeflateLevel)
            < 0)
            Fail();
    }
    // `bytes` must outlive the archive.
    void AddBytes(const std::string& name, const std::string& bytes)
    {
        Add(name, zip_source_buffer(archive_, bytes.data(), bytes.size(), 0));
    }
    void AddSlice(const std::string& name, const std::string& file, uint64_t offset, uint64_t bytes, bool stored)
    {
        // A length of 0 would mean "to the end of the file".
        if (bytes == 0)
            Add(name, zip_source_buffer(archive_, nullptr, 0, 0), stored);
        else
            Add(name, zip_source_file(archive_, file.c_str(), offset, static_cast<zip_int64_t>(bytes)), stored);
    }
    // Writes the archive.
    void Close()
    {
        if (zip_close(archive_) < 0)
            Fail();
        archive_ = nullptr;
    }

private:
    [[noreturn]] void Fail() { throw FileError(zip_strerror(archive_), path_); }

    std::string path_;
    zip_t* archive_ = nullptr;
};

} // namespace

void SigrokSessionExporter::Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder)
{
    recording_ = recording;
    kinds_ = kinds;
    path_ = folder + "/recording.sr";
    samplesPath_ = folder + "/.recording.sr.samples";
    samples_.emplace(samplesPath_);
    logicChannels_ = kinds.di ? recording.diPortCount * 8 : 0;
    analogChannels_ = kinds.ai ? recording.aiChanCount : 0;
    if (analogChannels_ > 0) {
        chunkScans_ = std::max<size_t>(1, kChunkBytes / sizeof(float) / static_cast<size_t>(analogChannels_));
        analog_.resize(chunkScans_ * static_cast<size_t>(analogChannels_));
    }
}

void SigrokSessionExporter::AppendSamples(const void* data, size_t bytes)
{
    char* at = samples_->Reserve(bytes);
    std::memcpy(at, data, bytes);
    samples_->Commit(at + bytes);
    written_ += bytes;
}

void SigrokSessionExporter::WriteAI(const AIScanBlock& block)
{
    const auto chans = static_cast<size_t>(analogChannels_);
    for (int64_t scan = 0; scan < block.scans; ++scan) {
        const size_t first = static_cast<size_t>(scan) * chans;
        for (size_t c = 0; c < chans; ++c)
            analog_[c * chunkScans_ + buffered_] =
                block.floats.empty() ? static_cast<float>(block.counts[first + c]) : block.floats[first + c];
        if (++buffered_ == chunkScans_)
            FlushAnalog();
    }
}

void SigrokSessionExporter::FlushAnalog()
{
    ++analogChunks_;
    for (int32_t c = 0; c < analogChannels_; ++c) {
        entries_.push_back(
            {ChunkName("analog", logicChannels_ + c + 1, analogChunks_), written_, buffered_ * sizeof(float), true});
        AppendSamples(analog_.data() + static_cast<size_t>(c) * chunkScans_, buffered_ * sizeof(float));
    }
    buffered_ = 0;
}

void SigrokSessionExporter::EndAnalog()
{
    if (analogEnded_)
        return;
    analogEnded_ = true;
    // Every channel has a first chunk, empty or not: the tools stop at a
    // channel without one.
    if (analogChannels_ > 0 && (buffered_ > 0 || analogChunks_ == 0))
        FlushAnalog();
    logicStart_ = written_;
}

void SigrokSessionExporter::WriteDI(const DIScanBlock& block)
{
    EndAnalog();
    const auto unit = static_cast<size_t>(recording_.diPortCount);
    const size_t entryBytes = std::max<size_t>(1, kChunkBytes / unit) * unit;
    const uint8_t* ports = block.ports.data();
    for (size_t left = static_cast<size_t>(block.scans) * unit; left > 0;) {
        const size_t take = std::min(left, entryBytes - static_cast<size_t>(written_ - logicStart_));
        AppendSamples(ports, take);
        ports += take;
        left -= take;
        if (written_ - logicStart_ == entryBytes)
            CloseLogicEntry();
    }
}

void SigrokSessionExporter::CloseLogicEntry()
{
    entries_.push_back({ChunkName("logic", 0, ++logicChunks_), logicStart_, written_ - logicStart_, false});
    logicStart_ = written_;
}

std::string SigrokSessionExporter::Metadata() const
{
    GKeyFile* file = g_key_file_new();
    g_key_file_set_string(file, "global", "sigrok version", sr_package_version_string_get());
    const char* device = "device 1";
    // The sigrok tools number the analog channels on from the logic ones,
    // reading the keys in this order.
    if (logicChannels_ > 0) {
        g_key_file_set_string(file, device, "capturefile", "logic-1");
        g_key_file_set_integer(file, device, "total probes", logicChannels_);
    }
    char* rate = sr_samplerate_string(SampleRate(recording_.scanInterval));
    g_key_file_set_string(file, device, "samplerate", rate);
    g_free(rate);
    g_key_file_set_integer(file, device, "total analog", analogChannels_);
    for (int32_t b = 0; b < recording_.diPortCount && logicChannels_ > 0; ++b) {
        const int32_t port = recording_.diPortStart + b;
        const uint8_t shown = TableAt(recording_.diPortMasks, port);
        for (int32_t bit = 0; bit < 8; ++bit)
            if (shown & (1u << bit)) {
                const std::string key = "probe" + std::to_string(b * 8 + bit + 1);
                const std::string name = std::to_string(port) + ":" + std::to_string(bit);
                g_key_file_set_string(file, device, key.c_str(), name.c_str());
            }
    }
    for (int32_t c = 0; c < analogChannels_; ++c) {
        const std::string key = "analog" + std::to_string(logicChannels_ + c + 1);
        g_key_file_set_string(file, device, key.c_str(), TableAt(recording_.aiNames, c).c_str());
    }
    if (logicChannels_ > 0)
        g_key_file_set_integer(file, device, "unitsize", recording_.diPortCount);
    gsize length = 0;
    gchar* text = g_key_file_to_data(file, &length, nullptr);
    std::string metadata(text, length);
    g_free(text);
    g_key_file_free(file);
    return metadata;
}

void SigrokSessionExporter::Finish()
{
    EndAnalog();
    if (logicChannels_ > 0 && (written_ > logicStart_ || logicChunks_ == 0))
        CloseLogicEntry();
    samples_->Close();
    samples_.reset();

    // The archive reads its sources when it is closed: they outlive it.
    const std::string version = "2";
    const std::string metadata = Metadata();
    Archive archive(path_);
    archive.AddBytes("version", version);
    archive.AddBytes("metadata", metadata);
    for (const Entry& entry : entries_)
        archive.AddSlice(entry.name, samplesPath_, entry.offset, entry.bytes, entry.stored);
    archive.Close();
    ::unlink(samplesPath_.c_str());
}

void SigrokSessionExporter::Abandon() noexcept { samples_.reset(); }

} // namespace ondrel
