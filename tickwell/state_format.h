#pragma once
// The control's saved state, all integers little-endian 32-bit:
//
//     count N (signed)
//     N times: key length L (signed), L key bytes, enabled (signed), interval (signed)
//     enabled count (signed)
//     property block version (unsigned, 0x300)
//     extent width, extent height (unsigned, HIMETRIC)
//
// The reader below is shared by the control and by tools that inspect a
// saved state; it never allocates more than it has read.
#include <cstdint>
#include <string>

namespace tickwell {

inline constexpr uint32_t StateVersion = 0x300;

struct StateTail {
    int32_t enabledCount = 0;
    uint32_t version = 0;
    uint32_t cx = 0;
    uint32_t cy = 0;
};

enum class StateError {
    None,
    BadCount,     // negative entry count
    BadKeyLength, // negative key length
    Truncated,    // the stream ended (or failed) early
};

struct StateReadResult {
    StateError error = StateError::None;
    int32_t declaredCount = 0; // as stored (when it could be read)
    int32_t entriesRead = 0;   // complete entries handed to onEntry
    const char* where = "";    // the field that could not be read
};

// `read(void* buffer, size_t size) -> bool` reads exactly `size` bytes.
// `onEntry(std::string key, int32_t enabled, int32_t interval)` receives each
// complete entry in order. The tail is filled only when everything was read.
template <class Read, class OnEntry>
StateReadResult readState(Read&& read, OnEntry&& onEntry, StateTail& tail)
{
    StateReadResult r;
    auto i32 = [&](int32_t& v) {
        uint8_t b[4];
        if (!read(b, 4))
            return false;
        v = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
        return true;
    };
    auto fail = [&](StateError e, const char* where) {
        r.error = e;
        r.where = where;
        return r;
    };
    if (!i32(r.declaredCount))
        return fail(StateError::Truncated, "entry count");
    if (r.declaredCount < 0)
        return fail(StateError::BadCount, "entry count");
    for (int32_t i = 0; i < r.declaredCount; ++i) {
        int32_t length = 0, enabled = 0, interval = 0;
        if (!i32(length))
            return fail(StateError::Truncated, "key length");
        if (length < 0)
            return fail(StateError::BadKeyLength, "key length");
        std::string key;
        // In slices, so that a corrupt length costs no more than the bytes
        // that are really there.
        for (int32_t left = length; left > 0;) {
            size_t slice = static_cast<size_t>(left < 256 ? left : 256);
            size_t at = key.size();
            key.resize(at + slice);
            if (!read(key.data() + at, slice))
                return fail(StateError::Truncated, "key");
            left -= static_cast<int32_t>(slice);
        }
        if (!i32(enabled))
            return fail(StateError::Truncated, "enabled");
        if (!i32(interval))
            return fail(StateError::Truncated, "interval");
        onEntry(std::move(key), enabled, interval);
        ++r.entriesRead;
    }
    StateTail t;
    int32_t version = 0, cx = 0, cy = 0;
    if (!i32(t.enabledCount))
        return fail(StateError::Truncated, "enabled count");
    if (!i32(version))
        return fail(StateError::Truncated, "version");
    if (!i32(cx))
        return fail(StateError::Truncated, "extent width");
    if (!i32(cy))
        return fail(StateError::Truncated, "extent height");
    t.version = static_cast<uint32_t>(version);
    t.cx = static_cast<uint32_t>(cx);
    t.cy = static_cast<uint32_t>(cy);
    tail = t;
    return r;
}

} // namespace tickwell
