#pragma once
#include <cstdint>
#include <glib.h>

struct sr_channel_group;
struct sr_dev_inst;

namespace kro {

// A GVariant reference released on scope exit.
struct Variant {
    GVariant* v = nullptr;
    Variant() = default;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant()
    {
        if (v != nullptr)
            g_variant_unref(v);
    }
};

// Whether the device offers `key` for `group` (nullptr: the device as a
// whole); asking libsigrok for a key it does not offer logs an error.
bool hasOption(const sr_dev_inst* device, const sr_channel_group* group, uint32_t key);

// The device's per-channel sample rate in Hz; 0 when it has none.
uint64_t deviceSamplerate(const sr_dev_inst* device);

} // namespace kro
