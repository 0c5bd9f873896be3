#include "kom/stream.h"

#include <algorithm>
#include <cstring>

namespace kom {

HRESULT MemoryStream::QueryInterface(const IID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IStream || iid == IID_ISequentialStream)
        return hand(static_cast<IStream*>(this), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT MemoryStream::Read(void* buffer, uint32_t size, uint32_t* done)
{
    if (!buffer && size)
        return E_POINTER;
    size_t n = std::min<size_t>(size, bytes_.size() - std::min(pos_, bytes_.size()));
    if (n)
        std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    if (done)
        *done = static_cast<uint32_t>(n);
    return n == size ? S_OK : S_FALSE;
}

HRESULT MemoryStream::Write(const void* buffer, uint32_t size, uint32_t* done)
{
    if (!buffer && size)
        return E_POINTER;
    size_t room = writeLimit_ > pos_ ? writeLimit_ - pos_ : 0;
    size_t n = std::min<size_t>(size, room);
    if (pos_ + n > bytes_.size())
        bytes_.resize(pos_ + n);
    if (n)
        std::memcpy(bytes_.data() + pos_, buffer, n);
    pos_ += n;
    if (done)
        *done = static_cast<uint32_t>(n);
    return n == size ? S_OK : STG_E_WRITEFAULT;
}

ComPtr<MemoryStream> makeMemoryStream(std::vector<uint8_t> bytes) { return makeObject<MemoryStream>(std::move(bytes)); }

HRESULT readExact(IStream* s, void* buffer, size_t size)
{
    if (!s)
        return E_POINTER;
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(size, 1u << 30));
        uint32_t done = 0;
        HRESULT h = s->Read(p, chunk, &done);
        if (FAILED(h))
            return h;
        if (done != chunk)
            return E_FAIL;
        p += done;
        size -= done;
    }
    return S_OK;
}

HRESULT writeExact(IStream* s, const void* buffer, size_t size)
{
    if (!s)
        return E_POINTER;
    auto* p = static_cast<const uint8_t*>(buffer);
    while (size > 0) {
        uint32_t chunk = static_cast<uint32_t>(std::min<size_t>(size, 1u << 30));
        uint32_t done = 0;
        HRESULT h = s->Write(p, chunk, &done);
        if (FAILED(h))
            return h;
        if (done != chunk)
            return STG_E_WRITEFAULT;
        p += done;
        size -= done;
    }
    return S_OK;
}

HRESULT readU32(IStream* s, uint32_t& v)
{
    uint8_t b[4];
    HRESULT h = readExact(s, b, 4);
    if (FAILED(h))
        return h;
    v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return S_OK;
}

HRESULT readI32(IStream* s, int32_t& v)
{
    uint32_t u = 0;
    HRESULT h = readU32(s, u);
    if (SUCCEEDED(h))
        v = static_cast<int32_t>(u);
    return h;
}

HRESULT writeU32(IStream* s, uint32_t v)
{
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return writeExact(s, b, 4);
}

HRESULT writeI32(IStream* s, int32_t v) { return writeU32(s, static_cast<uint32_t>(v)); }

} // namespace kom
