#pragma once
// Byte streams and stream persistence.
#include "kom/unknown.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kom {

inline constexpr IID IID_ISequentialStream = Guid::literal("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
inline constexpr IID IID_IStream = Guid::literal("{0000000C-0000-0000-C000-000000000046}");
inline constexpr IID IID_IPersist = Guid::literal("{0000010C-0000-0000-C000-000000000046}");
inline constexpr IID IID_IPersistStreamInit = Guid::literal("{7FD52380-4E07-101B-AE2D-08002B2EC713}");

class IStream : public IUnknown {
public:
    // Reads up to `size` bytes: S_OK when all were read, S_FALSE when the
    // stream ended first (`*done` tells how many), a failure on error.
    virtual HRESULT Read(void* buffer, uint32_t size, uint32_t* done) = 0;
    // Writes `size` bytes: S_OK, or a failure (STG_E_WRITEFAULT) with `*done`
    // telling how many went out.
    virtual HRESULT Write(const void* buffer, uint32_t size, uint32_t* done) = 0;

protected:
    ~IStream() = default;
};

class IPersist : public IUnknown {
public:
    virtual HRESULT GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};

class IPersistStreamInit : public IPersist {
public:
    virtual HRESULT IsDirty() = 0; // S_OK dirty, S_FALSE clean
    virtual HRESULT Load(IStream* stream) = 0;
    virtual HRESULT Save(IStream* stream, bool clearDirty) = 0;
    virtual HRESULT GetSizeMax(uint64_t* size) = 0;
    virtual HRESULT InitNew() = 0;

protected:
    ~IPersistStreamInit() = default;
};

// A growable in-memory stream with a read and write position.
class MemoryStream final : public IStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    HRESULT QueryInterface(const IID& iid, void** out) override;
    KOM_REFCOUNTED
    HRESULT Read(void* buffer, uint32_t size, uint32_t* done) override;
    HRESULT Write(const void* buffer, uint32_t size, uint32_t* done) override;

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    size_t position() const { return pos_; }
    void rewind() { pos_ = 0; }
    // Limits how many bytes may be written in all (simulates a full medium).
    void setWriteLimit(size_t limit) { writeLimit_ = limit; }

private:
    ~MemoryStream() = default;
    std::vector<uint8_t> bytes_;
    size_t pos_ = 0;
    size_t writeLimit_ = SIZE_MAX;
};

ComPtr<MemoryStream> makeMemoryStream(std::vector<uint8_t> bytes = {});

// Exact transfers: S_OK, or E_FAIL when the stream ended early (reads), or the
// stream's own failure.
HRESULT readExact(IStream* s, void* buffer, size_t size);
HRESULT writeExact(IStream* s, const void* buffer, size_t size);

// Little-endian 32-bit values.
HRESULT readI32(IStream* s, int32_t& v);
HRESULT readU32(IStream* s, uint32_t& v);
HRESULT writeI32(IStream* s, int32_t v);
HRESULT writeU32(IStream* s, uint32_t v);

} // namespace kom
