#include "kro/devices/sigrok/device_config.h"
#include <libsigrok/libsigrok.h>

namespace kro {

bool hasOption(const sr_dev_inst* device, const sr_channel_group* group, uint32_t key)
{
    GArray* keys = sr_dev_options(sr_dev_inst_driver_get(device), device, group);
    if (keys == nullptr)
        return false;
    bool found = false;
    for (guint i = 0; i < keys->len && !found; ++i)
        found = g_array_index(keys, uint32_t, i) == key;
    g_array_free(keys, TRUE);
    return found;
}

uint64_t deviceSamplerate(const sr_dev_inst* device)
{
    if (!hasOption(device, nullptr, SR_CONF_SAMPLERATE))
        return 0;
    Variant rate;
    if (sr_config_get(sr_dev_inst_driver_get(device), device, nullptr, SR_CONF_SAMPLERATE, &rate.v) != SR_OK
        || !g_variant_is_of_type(rate.v, G_VARIANT_TYPE_UINT64))
        return 0;
    return g_variant_get_uint64(rate.v);
}

} // namespace kro
