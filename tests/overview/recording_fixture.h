#pragma once
#include "common/scratch_folder.h"
#include "support/project_files.h"
#include "ondrel/overview/summary_levels.h"
#include <bit>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace ondrel::testing {

// Scans of AI values (scan-major) and DI port bytes, and what a brute-force
// pass over them says each range holds.
struct Samples {
    int32_t channels = 0;
    std::vector<float> ai;
    int32_t ports = 0;
    std::vector<uint8_t> di;

    int64_t AIScans() const { return channels == 0 ? 0 : static_cast<int64_t>(ai.size()) / channels; }
    int64_t DIScans() const { return ports == 0 ? 0 : static_cast<int64_t>(di.size()) / ports; }
    float At(int64_t scan, int32_t channel) const { return ai[static_cast<size_t>(scan * channels + channel)]; }

    // The span of `channel` over scans [first, end), NaN skipped; nullopt when
    // there is no number there.
    std::optional<std::pair<float, float>> Extremes(int32_t channel, int64_t first, int64_t end) const
    {
        std::optional<std::pair<float, float>> found;
        for (int64_t s = std::max<int64_t>(first, 0); s < std::min(end, AIScans()); ++s) {
            const float v = At(s, channel);
            if (std::isnan(v))
                continue;
            if (!found)
                found = std::pair{v, v};
            found->first = std::min(found->first, v);
            found->second = std::max(found->second, v);
        }
        return found;
    }
    // Lines high in every scan and in some scan of [first, end).
    std::pair<uint8_t, uint8_t> Levels(int32_t port, int64_t first, int64_t end) const
    {
        uint8_t always = 0xFF, ever = 0;
        for (int64_t s = first; s < std::min(end, DIScans()); ++s) {
            const uint8_t x = di[static_cast<size_t>(s * ports + port)];
            always &= x;
            ever |= x;
        }
        return {always, ever};
    }
};

// Noise in [-1, 1] on every channel, one DI port toggling at random.
inline Samples Noise(int64_t scans, int32_t channels, int32_t ports, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    Samples s;
    s.channels = channels;
    s.ports = ports;
    s.ai.resize(static_cast<size_t>(scans * channels));
    for (float& v : s.ai)
        v = value(random);
    s.di.resize(static_cast<size_t>(scans * ports));
    for (uint8_t& x : s.di)
        x = static_cast<uint8_t>(random() & 0x0F); // lines 4..7 never high
    return s;
}

inline void ExpectSpan(const ValueSpan& span, const std::optional<std::pair<float, float>>& expected,
                       const std::string& where)
{
    if (!expected) {
        EXPECT_TRUE(span.Empty()) << where;
        return;
    }
    EXPECT_EQ(span.min, expected->first) << where;
    EXPECT_EQ(span.max, expected->second) << where;
}

// A saved polled recording of `samples` in a folder of its own, each port's
// lines in `lineMask` recorded.
class SavedRecording {
public:
    explicit SavedRecording(const Samples& samples, double scanInterval = 0.001, uint8_t lineMask = 0x0F)
    {
        Write(samples, scanInterval, lineMask);
    }

    void Write(const Samples& samples, double scanInterval = 0.001, uint8_t lineMask = 0x0F)
    {
        IndexSpec spec;
        spec.ai = samples.channels > 0;
        spec.aiChans = samples.channels;
        spec.di = samples.ports > 0;
        spec.diChans = 0;
        if (spec.di) {
            spec.portMasks.assign(static_cast<size_t>(samples.ports), lineMask);
            spec.diChans = std::popcount(lineMask) * samples.ports;
        }
        spec.scanCount = static_cast<int32_t>(std::max(samples.AIScans(), samples.DIScans()));
        spec.scanInterval = scanInterval;
        spec.paths = std::pair<std::string, std::string>{"AI.ond", "DI.ond"};
        WriteFile(Project(), IndexBytes(spec).bytes());
        if (spec.ai) {
            std::vector<std::byte> bytes(samples.ai.size() * 4);
            std::memcpy(bytes.data(), samples.ai.data(), bytes.size());
            WriteFile(folder / "AI.ond", bytes);
        }
        if (spec.di)
            WriteFile(folder / "DI.ond", DIData(0, samples.ports, samples.di));
    }
    std::string Project() const { return folder / "Project.onp"; }

    ScratchFolder folder;
};

} // namespace ondrel::testing
