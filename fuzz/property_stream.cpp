// Reading a control's persisted property stream through kom's streams. Two
// properties, on the same bytes:
//  - a saved timer state read through a kom MemoryStream with readExact (as
//    the control's Load reads it) and read straight from memory (as
//    tickwell-frame reads a file) gives the same entries, the same verdict
//    and stops at the same byte;
//  - MemoryStream's Read, Write and the exact and 32-bit reads behave as a
//    plain byte vector with a position would, whatever the sequence of calls
//    the bytes describe.
#include "kom/stream.h"
#include "require.h"
#include "tickwell/state_format.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace kom;
using fuzz::require;

namespace {

struct Entry {
    std::string key;
    int32_t enabled;
    int32_t interval;
    bool operator==(const Entry&) const = default;
};

struct Reading {
    std::vector<Entry> entries;
    tickwell::StateReadResult result;
    tickwell::StateTail tail;
    size_t consumed = 0;
};

template <class Read>
Reading readWith(Read&& read)
{
    Reading r;
    r.result = tickwell::readState(
        read,
        [&](std::string key, int32_t enabled, int32_t interval) {
            r.entries.push_back({std::move(key), enabled, interval});
        },
        r.tail);
    return r;
}

void compareReaders(const uint8_t* data, size_t size)
{
    auto stream = makeMemoryStream(std::vector<uint8_t>(data, data + size));
    Reading viaStream = readWith([&](void* buffer, size_t n) { return SUCCEEDED(readExact(stream.get(), buffer, n)); });
    viaStream.consumed = stream->position();

    size_t at = 0;
    Reading direct = readWith([&](void* buffer, size_t n) {
        if (size - at < n)
            return false;
        std::memcpy(buffer, data + at, n);
        at += n;
        return true;
    });
    direct.consumed = at;

    require(viaStream.entries == direct.entries, "both readers see the same entries");
    require(viaStream.result.error == direct.result.error, "both readers give the same verdict");
    require(viaStream.result.entriesRead == direct.result.entriesRead, "both readers count the same entries");
    require(viaStream.result.entriesRead == static_cast<int32_t>(direct.entries.size()),
            "every entry counted was handed on");
    require(std::string_view(viaStream.result.where) == direct.result.where, "both readers stop in the same field");
    if (direct.result.error == tickwell::StateError::None) {
        require(viaStream.consumed == direct.consumed, "both readers end at the same byte");
        require(viaStream.tail.version == direct.tail.version && viaStream.tail.cx == direct.tail.cx
                    && viaStream.tail.cy == direct.tail.cy && viaStream.tail.enabledCount == direct.tail.enabledCount,
                "both readers read the same tail");
    }
}

// The bytes as a script of stream calls on a stream that holds them too.
void compareWithModel(const uint8_t* data, size_t size)
{
    auto stream = makeMemoryStream(std::vector<uint8_t>(data, data + size));
    std::vector<uint8_t> model(data, data + size);
    size_t pos = 0;
    size_t limit = SIZE_MAX;
    size_t at = 0;
    auto next = [&]() -> uint32_t { return at < size ? data[at++] : 0; };
    for (int step = 0; step < 64 && at < size; ++step) {
        const uint32_t op = next() % 6;
        const uint32_t n = next() | (next() << 8); // up to 64 KiB
        switch (op) {
        case 0: { // Read
            std::vector<uint8_t> got(n);
            uint32_t done = 0;
            const HRESULT h = stream->Read(got.data(), n, &done);
            const size_t expected = std::min<size_t>(n, model.size() - std::min(pos, model.size()));
            require(done == expected, "Read reads what is there");
            require(h == (expected == n ? S_OK : S_FALSE), "Read says whether the stream ended first");
            require(std::equal(got.begin(), got.begin() + done, model.begin() + static_cast<std::ptrdiff_t>(pos)),
                    "Read reads the stream's bytes");
            pos += done;
            break;
        }
        case 1: { // readExact
            std::vector<uint8_t> got(n);
            const bool whole = pos + n <= model.size();
            const HRESULT h = readExact(stream.get(), got.data(), n);
            require(SUCCEEDED(h) == whole, "readExact fails exactly when the stream ends first");
            pos = whole ? pos + n : model.size();
            break;
        }
        case 2: { // readU32
            uint32_t u = 0;
            const bool whole = pos + 4 <= model.size();
            require(SUCCEEDED(readU32(stream.get(), u)) == whole, "readU32 needs four bytes");
            if (whole)
                require(u
                            == (uint32_t(model[pos]) | uint32_t(model[pos + 1]) << 8 | uint32_t(model[pos + 2]) << 16
                                | uint32_t(model[pos + 3]) << 24),
                        "readU32 is little-endian");
            pos = whole ? pos + 4 : model.size();
            break;
        }
        case 3: { // Write n bytes of the script
            std::vector<uint8_t> bytes(n, static_cast<uint8_t>(n));
            uint32_t done = 0;
            const HRESULT h = stream->Write(bytes.data(), n, &done);
            const size_t room = limit > pos ? limit - pos : 0;
            const size_t expected = std::min<size_t>(n, room);
            require(done == expected, "Write writes up to the limit");
            require(h == (expected == n ? S_OK : STG_E_WRITEFAULT), "Write reports a full medium");
            if (pos + expected > model.size())
                model.resize(pos + expected);
            std::copy_n(bytes.begin(), expected, model.begin() + static_cast<std::ptrdiff_t>(pos));
            pos += expected;
            require(stream->bytes() == model, "Write writes at the position");
            break;
        }
        case 4:
            stream->rewind();
            pos = 0;
            break;
        case 5:
            limit = n;
            stream->setWriteLimit(limit);
            break;
        }
        require(stream->position() == pos, "the position moves by what was read or written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    compareReaders(data, size);
    compareWithModel(data, size);
    return 0;
}
