#pragma once
#include "ondrel/export/exporter.h"
#include <cstdint>
#include <memory>
#include <vector>

namespace ondrel {

// The recording as one HDF5 file, "recording.h5", in plain types every HDF5
// reader takes without custom code:
//
//   /            scan_interval_s (F64), scan_count (I64, as the description
//                states it), acquisition_mode ("buffered" or "polled")
//   /ai          scans x channels of the stored sample type (F32 values or
//                I32 counts); channel_names, units (UTF-8 strings),
//                device_channels (I32), thermocouple (U8, 1 for a
//                thermocouple channel)
//   /di          scans x ports of U8, the port bytes as recorded (bit k =
//                line k); port_start (I32), shown_lines (U8 per port)
//
// Datasets are chunked and compressed (shuffle, then deflate) and grow as
// blocks arrive, so memory stays at a few chunks whatever the recording's
// size; chunks are compressed on threads of their own, the library is called
// on the caller's thread only. Only whole scans are written. Failures throw
// FileError.
class Hdf5Exporter final : public IExporter {
public:
    Hdf5Exporter();
    ~Hdf5Exporter() override;

    void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) override;
    void WriteAI(const AIScanBlock& block) override;
    void WriteDI(const DIScanBlock& block) override;
    void Finish() override;
    void Abandon() noexcept override;

    class Dataset;

private:
    std::string path_;
    int64_t file_ = -1;
    std::unique_ptr<Dataset> ai_, di_;
};

} // namespace ondrel
