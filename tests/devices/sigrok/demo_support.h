#pragma once
// Shared by the tests that run against libsigrok's demo driver: the demo
// device's number and helpers to check its deterministic channels. In the
// demo, channel A0 is a square wave of +-10 V (5 samples low, 5 high) and A3 a
// sawtooth rising 1 V per sample from -10 to 9 V.
#include "kro/devices/device_registry.h"
#include "kro/devices/sigrok/sigrok_backend.h"
#include <gtest/gtest.h>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace kro::testing {

inline constexpr const char* kDemoName = "sigrok: Demo device";

inline std::optional<int32_t> demoNumber(DeviceKind kind)
{
    for (const auto& e : DeviceRegistry::standard().entries(kind))
        if (e.name == kDemoName)
            return e.number;
    return std::nullopt;
}

// The program's libsigrok back end, as the registry numbered it.
inline SigrokBackend& sigrokBackend()
{
    DeviceRegistry& registry = DeviceRegistry::standard();
    for (size_t i = 0; i < registry.size(); ++i)
        if (auto* backend = dynamic_cast<SigrokBackend*>(&registry.backend(i)))
            return *backend;
    throw std::logic_error("no libsigrok back end is registered");
}

// Channel `channel` of each scan in an interleaved block.
inline std::vector<float> column(std::span<const float> samples, size_t chanCount, size_t channel)
{
    std::vector<float> out;
    for (size_t i = channel; i < samples.size(); i += chanCount)
        out.push_back(samples[i]);
    return out;
}

inline void expectSquare(const std::vector<float>& a0)
{
    ASSERT_FALSE(a0.empty());
    size_t run = 0;
    bool first = true;
    for (size_t i = 0; i < a0.size(); ++i) {
        ASSERT_TRUE(a0[i] == 10.0f || a0[i] == -10.0f) << "sample " << i << ": " << a0[i];
        if (i > 0 && a0[i] != a0[i - 1]) {
            if (!first) { // the run the stream started in may be partial
                ASSERT_EQ(run, 5u) << "a level that lasted " << run << " samples ends at " << i;
            }
            first = false;
            run = 0;
        }
        ++run;
    }
}

inline void expectSawtooth(const std::vector<float>& a3)
{
    for (size_t i = 1; i < a3.size(); ++i) {
        const float step = a3[i] - a3[i - 1];
        ASSERT_TRUE(std::abs(step - 1.0f) < 1e-4f || std::abs(step + 19.0f) < 1e-4f)
            << "step " << step << " at sample " << i;
    }
}

} // namespace kro::testing
