#include "ondrel/export/hdf5_exporter.h"
#include "ondrel/export/chunk_deflater.h"
#include "ondrel/common/file_error.h"
#include "ondrel/common/table_at.h"
#include "ondrel/recording/project_description.h"
#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <hdf5.h>
#include <utility>

namespace ondrel {

namespace {

// A chunk holds about this much, before compression.
constexpr size_t kChunkBytes = 256 * 1024;

// Closes an HDF5 identifier of any kind when it goes out of scope.
class Id {
public:
    explicit Id(hid_t id = -1) : id_(id) {}
    ~Id()
    {
        if (id_ >= 0)
            H5Idec_ref(id_);
    }
    Id(const Id&) = delete;
    Id& operator=(const Id&) = delete;
    hid_t get() const { return id_; }
    hid_t release() { return std::exchange(id_, -1); }

private:
    hid_t id_;
};

// The library's failures as the program reports file failures.
[[noreturn]] void Fail(const char* what, const std::string& path)
{
    throw FileError(std::string("HDF5: cannot ") + what, path);
}

hid_t Checked(hid_t id, const char* what, const std::string& path)
{
    if (id < 0)
        Fail(what, path);
    return id;
}

void CheckStatus(herr_t status, const char* what, const std::string& path)
{
    if (status < 0)
        Fail(what, path);
}

hid_t Utf8StringType(const std::string& path)
{
    Id type(Checked(H5Tcopy(H5T_C_S1), "make a string type", path));
    CheckStatus(H5Tset_size(type.get(), H5T_VARIABLE), "make a string type", path);
    CheckStatus(H5Tset_cset(type.get(), H5T_CSET_UTF8), "make a string type", path);
    return type.release();
}

// A one-dimensional attribute of `count` elements (a scalar when `scalar`).
void WriteAttribute(hid_t owner, const char* name, hid_t fileType, hid_t memoryType, const void* data, hsize_t count,
                    bool scalar, const std::string& path)
{
    Id space(
        Checked(scalar ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &count, nullptr), "describe an attribute", path));
    Id attribute(
        Checked(H5Acreate2(owner, name, fileType, space.get(), H5P_DEFAULT, H5P_DEFAULT), "create an attribute", path));
    // An empty attribute still wants a buffer to read from.
    const char none = 0;
    CheckStatus(H5Awrite(attribute.get(), memoryType, data != nullptr ? data : &none), "write an attribute", path);
}

template <typename T>
void WriteArray(hid_t owner, const char* name, hid_t fileType, hid_t memoryType, const std::vector<T>& values,
                const std::string& path)
{
    WriteAttribute(owner, name, fileType, memoryType, values.data(), values.size(), false, path);
}

void WriteStrings(hid_t owner, const char* name, const std::vector<std::string>& values, bool scalar,
                  const std::string& path)
{
    Id type(Utf8StringType(path));
    std::vector<const char*> texts;
    texts.reserve(values.size());
    for (const std::string& value : values)
        texts.push_back(value.c_str());
    WriteAttribute(owner, name, type.get(), type.get(), texts.data(), texts.size(), scalar, path);
}

} // namespace

// A two-dimensional dataset, rows x columns, that grows by rows, whole chunks
// at a time. The chunks are shuffled and deflated here (ChunkDeflater), up to
// kInFlight of them at once on threads of their own while the next one
// fills, and handed to the file as they are, in order, on the caller's thread.
class Hdf5Exporter::Dataset {
public:
    Dataset(hid_t file, const char* name, hid_t fileType, size_t elementBytes, hsize_t columns, const std::string& path)
        : path_(path), elementBytes_(elementBytes), rowBytes_(elementBytes * columns), columns_(columns)
    {
        chunkRows_ = std::max<size_t>(1, kChunkBytes / std::max<size_t>(1, rowBytes_));
        const hsize_t dims[2] = {0, columns_};
        const hsize_t maxDims[2] = {H5S_UNLIMITED, columns_};
        Id space(Checked(H5Screate_simple(2, dims, maxDims), "describe a dataset", path_));
        Id create(Checked(H5Pcreate(H5P_DATASET_CREATE), "describe a dataset", path_));
        const hsize_t chunk[2] = {chunkRows_, std::max<hsize_t>(1, columns_)};
        CheckStatus(H5Pset_chunk(create.get(), 2, chunk), "chunk a dataset", path_);
        // The filters the chunks went through, in order, for the readers.
        CheckStatus(H5Pset_shuffle(create.get()), "shuffle a dataset", path_);
        CheckStatus(H5Pset_deflate(create.get(), 1), "compress a dataset", path_);
        id_ = Checked(H5Dcreate2(file, name, fileType, space.get(), H5P_DEFAULT, create.get(), H5P_DEFAULT),
                      "create a dataset", path_);
    }
    ~Dataset()
    {
        inFlight_.clear(); // waits for the deflating chunks
        if (id_ >= 0)
            H5Dclose(id_);
    }
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    hid_t id() const { return id_; }

    void Append(const void* rows, size_t count)
    {
        if (columns_ == 0) // rows of nothing: there is nothing to store
            return;
        const auto* bytes = static_cast<const uint8_t*>(rows);
        while (count > 0) {
            if (!filling_)
                filling_ = TakeFree();
            const size_t take = std::min<size_t>(count, chunkRows_ - buffered_);
            std::memcpy(filling_->Rows() + buffered_ * rowBytes_, bytes, take * rowBytes_);
            buffered_ += take;
            bytes += take * rowBytes_;
            count -= take;
            if (buffered_ == chunkRows_)
                Submit();
        }
    }

    void Close()
    {
        if (buffered_ > 0) {
            // The last chunk is stored whole; the rows past the end are never read.
            std::memset(filling_->Rows() + buffered_ * rowBytes_, 0, (chunkRows_ - buffered_) * rowBytes_);
            Submit();
        }
        while (!inFlight_.empty())
            WriteOldest();
        const hid_t id = std::exchange(id_, -1);
        CheckStatus(H5Dclose(id), "close a dataset", path_);
    }

private:
    static constexpr size_t kInFlight = 2;

    // A chunk being deflated; the deflater outlives the work on it.
    struct InFlight {
        std::unique_ptr<ChunkDeflater> chunk;
        hsize_t rows = 0;
        std::future<std::span<const uint8_t>> deflated;
    };

    std::unique_ptr<ChunkDeflater> TakeFree()
    {
        if (free_.empty())
            return std::make_unique<ChunkDeflater>(chunkRows_ * rowBytes_, elementBytes_);
        std::unique_ptr<ChunkDeflater> chunk = std::move(free_.back());
        free_.pop_back();
        return chunk;
    }

    void Submit()
    {
        if (inFlight_.size() == kInFlight)
            WriteOldest();
        ChunkDeflater* chunk = filling_.get();
        inFlight_.push_back(
            {std::move(filling_), buffered_, std::async(std::launch::async, [chunk] { return chunk->Deflate(); })});
        buffered_ = 0;
    }

    void WriteOldest()
    {
        InFlight& oldest = inFlight_.front();
        const std::span<const uint8_t> deflated = oldest.deflated.get();
        if (deflated.empty())
            Fail("compress a chunk", path_);
        const hsize_t rows[2] = {written_ + oldest.rows, columns_};
        CheckStatus(H5Dset_extent(id_, rows), "extend a dataset", path_);
        const hsize_t offset[2] = {written_, 0};
        CheckStatus(H5Dwrite_chunk(id_, H5P_DEFAULT, 0, offset, deflated.size(), deflated.data()), "write a dataset",
                    path_);
        written_ += oldest.rows;
        free_.push_back(std::move(oldest.chunk));
        inFlight_.pop_front();
    }

    std::string path_;
    hid_t id_ = -1;
    size_t elementBytes_;
    size_t rowBytes_;
    hsize_t columns_;
    hsize_t chunkRows_ = 0;
    hsize_t buffered_ = 0;
    hsize_t written_ = 0;
    std::unique_ptr<ChunkDeflater> filling_;
    std::deque<InFlight> inFlight_;
    std::vector<std::unique_ptr<ChunkDeflater>> free_;
};

Hdf5Exporter::Hdf5Exporter() = default;

Hdf5Exporter::~Hdf5Exporter() { Abandon(); }

void Hdf5Exporter::Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder)
{
    // Failures are reported by what the calls return, not printed.
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    path_ = folder + "/recording.h5";
    Id access(Checked(H5Pcreate(H5P_FILE_ACCESS), "create the file", path_));
    // Closing the file closes whatever is still open in it.
    CheckStatus(H5Pset_fclose_degree(access.get(), H5F_CLOSE_STRONG), "create the file", path_);
    file_ = Checked(H5Fcreate(path_.c_str(), H5F_ACC_EXCL, H5P_DEFAULT, access.get()), "create the file", path_);

    WriteAttribute(file_, "scan_interval_s", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, &recording.scanInterval, 1, true,
                   path_);
    const int64_t scans = recording.scanCount;
    WriteAttribute(file_, "scan_count", H5T_STD_I64LE, H5T_NATIVE_INT64, &scans, 1, true, path_);
    WriteStrings(file_, "acquisition_mode", {recording.polled ? "polled" : "buffered"}, true, path_);

    if (kinds.ai) {
        const bool floats = recording.floatSamples;
        const auto chans = static_cast<hsize_t>(recording.aiChanCount);
        // The chunks are written as the samples lie in memory: little-endian.
        ai_ = std::make_unique<Dataset>(file_, "ai", floats ? H5T_IEEE_F32LE : H5T_STD_I32LE, 4, chans, path_);
        std::vector<int32_t> deviceChannels;
        std::vector<uint8_t> thermocouple;
        std::vector<std::string> units;
        deviceChannels.reserve(chans);
        thermocouple.reserve(chans);
        units.reserve(chans);
        // Replay pairs plot i with device channel i; so does the export.
        for (int32_t i = 0; i < recording.aiChanCount; ++i) {
            const bool thermo = TableAt(recording.aiChannelKinds, i) == kThermocoupleChannel;
            deviceChannels.push_back(i);
            thermocouple.push_back(thermo ? 1 : 0);
            units.emplace_back(thermo ? "degree" : floats ? "V" : "count");
        }
        WriteStrings(ai_->id(), "channel_names", recording.aiNames, false, path_);
        WriteArray(ai_->id(), "device_channels", H5T_STD_I32LE, H5T_NATIVE_INT32, deviceChannels, path_);
        WriteArray(ai_->id(), "thermocouple", H5T_STD_U8LE, H5T_NATIVE_UINT8, thermocouple, path_);
        WriteStrings(ai_->id(), "units", units, false, path_);
    }
    if (kinds.di) {
        const auto ports = static_cast<hsize_t>(recording.diPortCount);
        di_ = std::make_unique<Dataset>(file_, "di", H5T_STD_U8LE, 1, ports, path_);
        std::vector<uint8_t> shown;
        shown.reserve(static_cast<size_t>(recording.diPortCount));
        for (int32_t b = 0; b < recording.diPortCount; ++b)
            shown.push_back(TableAt(recording.diPortMasks, recording.diPortStart + b));
        WriteAttribute(di_->id(), "port_start", H5T_STD_I32LE, H5T_NATIVE_INT32, &recording.diPortStart, 1, true,
                       path_);
        WriteArray(di_->id(), "shown_lines", H5T_STD_U8LE, H5T_NATIVE_UINT8, shown, path_);
    }
}

void Hdf5Exporter::WriteAI(const AIScanBlock& block)
{
    const void* samples = block.floats.empty() ? static_cast<const void*>(block.counts.data()) : block.floats.data();
    ai_->Append(samples, static_cast<size_t>(block.scans));
}

void Hdf5Exporter::WriteDI(const DIScanBlock& block)
{
    di_->Append(block.ports.data(), static_cast<size_t>(block.scans));
}

void Hdf5Exporter::Finish()
{
    if (ai_)
        ai_->Close();
    if (di_)
        di_->Close();
    ai_.reset();
    di_.reset();
    const hid_t file = std::exchange(file_, -1);
    if (H5Fclose(file) < 0)
        Fail("complete the file", path_);
}

void Hdf5Exporter::Abandon() noexcept
{
    ai_.reset();
    di_.reset();
    if (file_ >= 0)
        H5Fclose(std::exchange(file_, -1));
}

} // namespace ondrel
