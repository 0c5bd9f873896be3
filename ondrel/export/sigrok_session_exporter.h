#pragma once
#include "ondrel/export/exporter.h"
#include "ondrel/export/text_file_writer.h"
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// The recording as a sigrok session, "recording.sr", which the sigrok tools
// open with their channel names and samplerate: a zip archive of "version"
// ("2"), "metadata" (the device section: samplerate in whole hertz, the logic
// channels, the analog channels' names) and the samples in chunks: the DI
// port bytes of each scan as one logic sample ("logic-1-K", port p's line k
// is logic channel 8p + k, the lines shown named "port:bit" and the others
// off), each AI channel as F32 values ("analog-1-N-K", N counting on from
// the logic channels).
//
// The zip is written once, at Finish: the samples wait, already in chunk
// order, in a hidden file beside it, so memory stays at one round of chunks
// whatever the recording's size. Only whole scans are written.
class SigrokSessionExporter final : public IExporter {
public:
    void Begin(const RecordingInfo& recording, ExportKinds kinds, const std::string& folder) override;
    void WriteAI(const AIScanBlock& block) override;
    void WriteDI(const DIScanBlock& block) override;
    void Finish() override;
    void Abandon() noexcept override;

    // One file of the archive: its name, where its bytes lie in the hidden
    // file, and whether they are stored as they are (else deflated).
    struct Entry {
        std::string name;
        uint64_t offset = 0;
        uint64_t bytes = 0;
        bool stored = false;
    };

private:
    void AppendSamples(const void* data, size_t bytes);
    void FlushAnalog();
    // Writes the last AI chunk; the DI data follow it.
    void EndAnalog();
    void CloseLogicEntry();
    std::string Metadata() const;

    RecordingInfo recording_;
    ExportKinds kinds_;
    std::string path_, samplesPath_;
    std::optional<TextFileWriter> samples_;
    uint64_t written_ = 0;
    std::vector<Entry> entries_;

    int32_t logicChannels_ = 0;
    int32_t analogChannels_ = 0;
    // AI samples gathered channel by channel: chunkScans_ of each.
    size_t chunkScans_ = 0;
    size_t buffered_ = 0;
    int analogChunks_ = 0;
    bool analogEnded_ = false;
    std::vector<float> analog_;
    // The logic entry being written.
    uint64_t logicStart_ = 0;
    int logicChunks_ = 0;
};

} // namespace ondrel
