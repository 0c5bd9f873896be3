#include "ondrel/history/scan_readers.h"

#include "ondrel/common/file_error.h"

#include <algorithm>
#include <array>

namespace ondrel {

namespace {

constexpr uint64_t kHeaderBytes = DIHeader::kBytes;

// The scans a read may take: at least one, none past kMaxBlockBytes.
int64_t CappedScans(int64_t scans, int64_t bytesPerScan)
{
    return std::min(scans, std::max<int64_t>(1, kMaxBlockBytes / bytesPerScan));
}

} // namespace

void AIScanReader::Open(const std::string& path, int32_t chanCount, bool floatSamples)
{
    file_.Open(path);
    chanCount_ = chanCount;
    floatSamples_ = floatSamples;
}

AIScanReader AIScanReader::Duplicate() const
{
    AIScanReader copy;
    copy.file_ = file_.Duplicate();
    copy.chanCount_ = chanCount_;
    copy.floatSamples_ = floatSamples_;
    return copy;
}

int64_t AIScanReader::ScanCount() const
{
    if (!file_.IsOpen() || chanCount_ <= 0)
        return 0;
    return static_cast<int64_t>(file_.Size() / static_cast<uint64_t>(BytesPerScan()));
}

int64_t AIScanReader::SeekScan(int64_t scan)
{
    const int64_t offset = scan < 0 ? 0 : scan * BytesPerScan();
    file_.Seek(static_cast<uint64_t>(offset));
    return offset;
}

AIScanBlock AIScanReader::Read(int64_t scans)
{
    AIScanBlock block;
    block.chanCount = chanCount_;
    if (!file_.IsOpen() || chanCount_ <= 0) {
        block.end = true;
        return block;
    }
    block.firstScan = static_cast<int64_t>(file_.Position() / static_cast<uint64_t>(BytesPerScan()));
    if (scans <= 0)
        return block;
    scans = CappedScans(scans, BytesPerScan());
    // Whole scans only: the read stops where the last whole scan ends.
    const int64_t left = std::max<int64_t>(0, ScanCount() - block.firstScan);
    const size_t samples = static_cast<size_t>(std::min(left, scans)) * static_cast<size_t>(chanCount_);
    size_t got = 0;
    if (floatSamples_) {
        floats_.resize(samples);
        got = file_.Read(std::as_writable_bytes(std::span(floats_)));
    } else {
        counts_.resize(samples);
        got = file_.Read(std::as_writable_bytes(std::span(counts_)));
    }
    block.scans = static_cast<int64_t>(got / static_cast<size_t>(BytesPerScan()));
    block.end = block.scans < scans;
    const size_t whole = static_cast<size_t>(block.scans) * static_cast<size_t>(chanCount_);
    if (floatSamples_)
        block.floats = std::span<const float>(floats_).first(whole);
    else
        block.counts = std::span<const int32_t>(counts_).first(whole);
    return block;
}

DIHeader ReadDIHeader(RegularFile& file)
{
    std::array<std::byte, DIHeader::kBytes> bytes{};
    const size_t got = file.Read(bytes);
    DIHeader header;
    try {
        header = ParseDIHeader(std::span(bytes).first(got));
    } catch (const DIHeaderError& error) {
        throw FileError(error.what(), file.Path());
    }
    // Both are at most kMaxPorts by now, so the sum cannot overflow.
    if (header.portStart > DIHeader::kMaxPorts - header.portCount)
        throw FileError("DI data: ports " + std::to_string(header.portStart) + " to "
                            + std::to_string(int64_t{header.portStart} + header.portCount - 1) + " pass the last port "
                            + std::to_string(DIHeader::kMaxPorts - 1) + " a device can have",
                        file.Path());
    return header;
}

void DIScanReader::Open(const std::string& path)
{
    RegularFile file;
    file.Open(path);
    const DIHeader header = ReadDIHeader(file);
    file_ = std::move(file);
    portStart_ = header.portStart;
    portCount_ = header.portCount;
}

DIScanReader DIScanReader::Duplicate() const
{
    DIScanReader copy;
    copy.file_ = file_.Duplicate();
    copy.portStart_ = portStart_;
    copy.portCount_ = portCount_;
    return copy;
}

int64_t DIScanReader::ScanCount() const
{
    if (!file_.IsOpen())
        return 0;
    const uint64_t size = file_.Size();
    return size <= kHeaderBytes ? 0 : static_cast<int64_t>((size - kHeaderBytes) / static_cast<uint64_t>(portCount_));
}

void DIScanReader::SeekScan(int64_t scan)
{
    file_.Seek(kHeaderBytes + static_cast<uint64_t>(std::max<int64_t>(scan, 0)) * static_cast<uint64_t>(portCount_));
}

DIScanBlock DIScanReader::Read(int64_t scans)
{
    DIScanBlock block;
    if (!file_.IsOpen()) {
        block.end = true;
        return block;
    }
    const uint64_t position = std::max(file_.Position(), kHeaderBytes);
    block.firstScan = static_cast<int64_t>((position - kHeaderBytes) / static_cast<uint64_t>(portCount_));
    if (scans <= 0)
        return block;
    scans = CappedScans(scans, portCount_);
    const size_t wanted = static_cast<size_t>(scans) * static_cast<size_t>(portCount_);
    bytes_.resize(wanted);
    const size_t got = file_.Read(std::as_writable_bytes(std::span(bytes_)));
    block.scans = static_cast<int64_t>(got / static_cast<size_t>(portCount_));
    const size_t whole = static_cast<size_t>(block.scans) * static_cast<size_t>(portCount_);
    block.ports = std::span<const uint8_t>(bytes_).first(whole);
    block.end = got < wanted;
    if (block.end)
        block.cutOff = std::span<const uint8_t>(bytes_).subspan(whole, got - whole);
    return block;
}

} // namespace ondrel
