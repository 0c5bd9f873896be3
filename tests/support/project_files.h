#pragma once
#include "recording/expected_bytes.h"
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ondrel::testing {

inline void WriteFile(const std::string& path, const std::vector<std::byte>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A saved description written byte by byte from the recording layout.
struct IndexSpec {
    bool ai = true, di = false, soft = true, floats = true;
    int32_t aiChans = 2, diChans = 0;
    std::vector<uint8_t> portMasks; // DI port masks (field 12)
    int32_t scanCount = 1000;
    double scanInterval = 0.01;
    std::optional<std::pair<std::string, std::string>> paths; // fields 15 and 16 (raw bytes)
    std::vector<std::string> aiNames; // the AI plots' names as stored (raw bytes); "AI<i>" when empty
    std::vector<uint8_t> aiKinds;     // field 9, per device channel; 16 voltage channels when empty
};

inline ExpectedBytes IndexBytes(const IndexSpec& spec)
{
    ExpectedBytes b;
    b.boolean(spec.ai).boolean(spec.di).boolean(spec.soft).boolean(spec.floats).i32(spec.aiChans).i32(spec.diChans);
    if (spec.ai) {
        for (int32_t i = 0; i < spec.aiChans; ++i)
            b.plot(255 + i, 0,
                   static_cast<size_t>(i) < spec.aiNames.size() ? spec.aiNames[static_cast<size_t>(i)]
                                                                : "AI" + std::to_string(i));
        const std::vector<uint8_t> kinds = spec.aiKinds.empty() ? std::vector<uint8_t>(16) : spec.aiKinds;
        b.i32(static_cast<int32_t>(kinds.size()));
        for (uint8_t kind : kinds)
            b.byte(kind);
    }
    if (spec.di) {
        for (int32_t i = 0; i < spec.diChans; ++i)
            b.plot(65280, 1, "DI" + std::to_string(i));
        b.i32(static_cast<int32_t>(spec.portMasks.size()));
        for (uint8_t mask : spec.portMasks)
            b.byte(mask);
    }
    b.i32(spec.scanCount).f64(spec.scanInterval);
    if (spec.paths)
        b.text(spec.paths->first).byte(0).text(spec.paths->second);
    return b;
}

// AI.ond: scan s, channel c holds s + c / 10 (F32).
inline std::vector<std::byte> AIData(int64_t scans, int32_t chans)
{
    ExpectedBytes b;
    for (int64_t s = 0; s < scans; ++s)
        for (int32_t c = 0; c < chans; ++c)
            b.f32(static_cast<float>(s) + static_cast<float>(c) / 10.0f);
    return b.bytes();
}

// DI.ond: header, then `scanBytes` as stored.
inline std::vector<std::byte> DIData(int32_t portStart, int32_t portCount, const std::vector<uint8_t>& scanBytes)
{
    ExpectedBytes b;
    b.i32(portStart).i32(portCount);
    for (uint8_t x : scanBytes)
        b.byte(x);
    return b.bytes();
}

} // namespace ondrel::testing
