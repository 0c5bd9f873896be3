#pragma once
#include "ondrel/history/regular_file.h"
#include "ondrel/recording/di_header.h"
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ondrel {

// The most one read of a data file takes. It bounds the buffer a description
// with absurd channel counts, or a caller asking for absurd block sizes, could
// otherwise make a reader allocate.
inline constexpr int64_t kMaxBlockBytes = 16 << 20;

// Whole AI scans read from "AI.ond", in file order: scans x chanCount samples,
// F32 values when the recording stores them, Int32 counts otherwise.
struct AIScanBlock {
    int64_t firstScan = 0;
    int64_t scans = 0;
    int32_t chanCount = 0;
    std::span<const float> floats;
    std::span<const int32_t> counts;
    bool end = false; // the file ended before the scans asked for
};

// The AI data file of a recording ("AI.ond"): no header, scan s at byte
// s x chanCount x 4. Read only in whole scans; a scan the file ends inside is
// never handed out.
class AIScanReader {
public:
    // Throws FileError when the file cannot be opened (a missing one included)
    // or is not a regular file.
    void Open(const std::string& path, int32_t chanCount, bool floatSamples);
    // A reader of the same open file, from its first scan.
    AIScanReader Duplicate() const;
    void Close() noexcept { file_.Close(); }
    bool IsOpen() const noexcept { return file_.IsOpen(); }
    int32_t ChanCount() const noexcept { return chanCount_; }
    int64_t BytesPerScan() const noexcept { return int64_t{chanCount_} * 4; }
    FileStamp Stamp() const { return file_.Stamp(); }

    // Whole scans in the file as it was when opened.
    int64_t ScanCount() const;
    // Positions the file at `scan` (0 below 0); returns its byte offset.
    int64_t SeekScan(int64_t scan);
    // Reads up to `scans` whole scans (fewer when they would pass
    // kMaxBlockBytes); the block is valid until the next read. A closed file
    // gives nothing and the end.
    AIScanBlock Read(int64_t scans);

private:
    RegularFile file_;
    int32_t chanCount_ = 0;
    bool floatSamples_ = true;
    std::vector<float> floats_;
    std::vector<int32_t> counts_;
};

// DI scans read from "DI.ond": scans x portCount bytes, bit k = line k.
struct DIScanBlock {
    int64_t firstScan = 0;
    int64_t scans = 0;
    std::span<const uint8_t> ports;
    bool end = false; // the file ended before the scans asked for
    // With `end`: the ports the file holds of the scan it ends inside (fewer
    // than a scan, maybe none). They are read: the next read gives nothing.
    std::span<const uint8_t> cutOff;
};

// The DI data file of a recording ("DI.ond"): Int32 first port, Int32 port
// count, then one byte per port per scan. Opening reads the header only.
class DIScanReader {
public:
    // Throws FileError when the file cannot be opened, is not a regular file,
    // or its header is cut short or names no sensible ports.
    void Open(const std::string& path);
    // A reader of the same open file, from its first scan.
    DIScanReader Duplicate() const;
    void Close() noexcept { file_.Close(); }
    bool IsOpen() const noexcept { return file_.IsOpen(); }

    int32_t PortStart() const noexcept { return portStart_; }
    int32_t PortCount() const noexcept { return portCount_; }
    FileStamp Stamp() const { return file_.Stamp(); }
    // Whole scans in the file as it was when opened.
    int64_t ScanCount() const;
    void SeekScan(int64_t scan);
    // Reads up to `scans` whole scans (fewer when they would pass
    // kMaxBlockBytes); the block is valid until the next read. A closed file
    // gives nothing and the end.
    DIScanBlock Read(int64_t scans);

private:
    RegularFile file_;
    int32_t portStart_ = 0;
    int32_t portCount_ = 0;
    std::vector<uint8_t> bytes_;
};

// Reads the header of a DI data file positioned at its start, leaving it at
// the first scan. Throws FileError when the header is cut short, names no
// sensible ports, or numbers its ports past DIHeader::kMaxPorts (so port
// numbers never overflow).
DIHeader ReadDIHeader(RegularFile& file);

} // namespace ondrel
