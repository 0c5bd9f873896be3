#include "kro/devices/sigrok/sigrok_device.h"
#include "kro/devices/sigrok/device_config.h"
#include "kro/devices/sigrok/meter_range.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "ondrel/components/component_error.h"
#include <algorithm>
#include <libsigrok/libsigrok.h>

namespace kro {
namespace {

// How long a polled read waits for an instrument's first values.
constexpr std::chrono::milliseconds kFirstValues{2000};

std::string deviceName(const sr_dev_inst* device)
{
    std::string name = "sigrok:";
    for (const char* part : {sr_dev_inst_vendor_get(device), sr_dev_inst_model_get(device)}) {
        if (part != nullptr && *part != '\0')
            name += std::string(" ") + part;
    }
    return name;
}

} // namespace

SigrokDevice::SigrokDevice(SigrokHost& host, sr_dev_inst* device)
    : host_(host), device_(device), name_(deviceName(device))
{
    for (GSList* l = sr_dev_inst_channels_get(device); l != nullptr; l = l->next) {
        auto* ch = static_cast<sr_channel*>(l->data);
        if (ch->type == SR_CHANNEL_ANALOG) {
            analog_.push_back(ch);
            analogNames_.emplace_back(ch->name != nullptr ? ch->name : "");
        } else if (ch->type == SR_CHANNEL_LOGIC) {
            logic_.push_back(ch);
        }
    }
    readRanges();
}

SigrokDevice::~SigrokDevice()
{
    acquisition_.reset();
    if (open_)
        sr_dev_close(device_);
}

sr_channel_group* SigrokDevice::groupOf(int32_t channel) const
{
    // The smallest group holding the channel: its own when it has one.
    sr_channel_group* best = nullptr;
    guint bestSize = 0;
    for (GSList* g = sr_dev_inst_channel_groups_get(device_); g != nullptr; g = g->next) {
        auto* group = static_cast<sr_channel_group*>(g->data);
        const guint size = g_slist_length(group->channels);
        if (g_slist_find(group->channels, analog_[static_cast<size_t>(channel)]) != nullptr
            && (best == nullptr || size < bestSize)) {
            best = group;
            bestSize = size;
        }
    }
    return best;
}

// Asked each time: a meter's quantity changes with its dial.
bool SigrokDevice::hasTemperature()
{
    bool found = false;
    host_.call([&] {
        const sr_dev_driver* driver = sr_dev_inst_driver_get(device_);
        for (size_t i = 0; i < analog_.size() && !found; ++i) {
            sr_channel_group* group = groupOf(static_cast<int32_t>(i));
            Variant quantity;
            if (!hasOption(device_, group, SR_CONF_MEASURED_QUANTITY)
                || sr_config_get(driver, device_, group, SR_CONF_MEASURED_QUANTITY, &quantity.v) != SR_OK
                || !g_variant_is_of_type(quantity.v, G_VARIANT_TYPE("(ut)")))
                continue;
            guint32 mq = 0;
            guint64 flags = 0;
            g_variant_get(quantity.v, "(ut)", &mq, &flags);
            found = mq == SR_MQ_TEMPERATURE;
        }
    });
    return found;
}

void SigrokDevice::readRanges()
{
    const sr_dev_driver* driver = sr_dev_inst_driver_get(device_);
    sr_channel_group* group = analog_.empty() ? nullptr : groupOf(0);
    int32_t divisions = 0;
    if (hasOption(device_, nullptr, SR_CONF_NUM_VDIV)) {
        Variant v;
        if (sr_config_get(driver, device_, nullptr, SR_CONF_NUM_VDIV, &v.v) == SR_OK
            && g_variant_is_of_type(v.v, G_VARIANT_TYPE_INT32))
            divisions = g_variant_get_int32(v.v);
    }
    Variant list;
    if (divisions > 0 && hasOption(device_, group, SR_CONF_VDIV)
        && sr_config_list(driver, device_, group, SR_CONF_VDIV, &list.v) == SR_OK
        && g_variant_is_of_type(list.v, G_VARIANT_TYPE("a(tt)"))) {
        GVariantIter iter;
        g_variant_iter_init(&iter, list.v);
        guint64 p = 0;
        guint64 q = 0;
        while (g_variant_iter_next(&iter, "(tt)", &p, &q)) {
            if (q == 0)
                continue;
            const double half = static_cast<double>(p) / static_cast<double>(q) * divisions / 2.0;
            ranges_.push_back({-half, half, p, q, {}});
        }
    }
    Variant meter;
    if (ranges_.empty() && hasOption(device_, group, SR_CONF_RANGE)
        && sr_config_list(driver, device_, group, SR_CONF_RANGE, &meter.v) == SR_OK
        && g_variant_is_of_type(meter.v, G_VARIANT_TYPE_STRING_ARRAY)) {
        GVariantIter iter;
        g_variant_iter_init(&iter, meter.v);
        const gchar* text = nullptr;
        while (g_variant_iter_next(&iter, "&s", &text))
            if (const auto volts = meterRangeVolts(text))
                ranges_.push_back({-*volts, *volts, 0, 1, text});
    }
    // The widest first, as the cards walk theirs.
    std::stable_sort(ranges_.begin(), ranges_.end(),
                     [](const SigrokRange& a, const SigrokRange& b) { return a.high > b.high; });
    if (ranges_.empty())
        ranges_.push_back({-10.0, 10.0, 0, 1, {}});
}

void SigrokDevice::open()
{
    if (open_)
        return;
    const int result = sr_dev_open(device_);
    if (result != SR_OK)
        throw ondrel::ComponentError(name_ + " cannot be opened: " + sr_strerror(result));
    open_ = true;
    acquisition_ = std::make_unique<DeviceAcquisition>(host_, device_, analog_, logic_);
}

uint64_t SigrokDevice::samplerate()
{
    uint64_t hz = 0;
    host_.call([&] {
        open();
        hz = deviceSamplerate(device_);
    });
    return hz;
}

void SigrokDevice::setSamplerate(uint64_t hz)
{
    host_.call([&] {
        open();
        if (hasOption(device_, nullptr, SR_CONF_SAMPLERATE))
            sr_config_set(device_, nullptr, SR_CONF_SAMPLERATE, g_variant_new_uint64(hz));
    });
}

bool SigrokDevice::setRange(int32_t channel, size_t index)
{
    const SigrokRange& range = ranges_.at(index);
    if (range.vdivP == 0 && range.meterRange.empty())
        return true; // the one fixed range
    bool taken = false;
    host_.call([&] {
        open();
        if (range.vdivP != 0) {
            GVariant* pair[] = {g_variant_new_uint64(range.vdivP), g_variant_new_uint64(range.vdivQ)};
            taken = sr_config_set(device_, groupOf(channel), SR_CONF_VDIV, g_variant_new_tuple(pair, 2)) == SR_OK;
        } else {
            taken =
                sr_config_set(device_, groupOf(channel), SR_CONF_RANGE, g_variant_new_string(range.meterRange.c_str()))
                == SR_OK;
        }
    });
    return taken;
}

void SigrokDevice::startRun(const std::vector<int32_t>& scan, std::shared_ptr<StreamHalves> halves)
{
    host_.call([&] {
        open();
        acquisition_->startRun(scan, std::move(halves));
    });
}

void SigrokDevice::resumeRunLater()
{
    host_.post([this] {
        if (acquisition_)
            acquisition_->resumeRun();
    });
}

void SigrokDevice::setStallLimit(std::chrono::milliseconds limit)
{
    host_.call([&] {
        open();
        acquisition_->setStallLimit(limit);
    });
}

void SigrokDevice::stopPolling()
{
    host_.call([&] {
        if (acquisition_)
            acquisition_->stopContinuous();
    });
}

void SigrokDevice::stop()
{
    host_.call([&] {
        if (acquisition_)
            acquisition_->stop();
    });
}

bool SigrokDevice::readLatest(const std::vector<int32_t>& analog, bool logic, LatestValues& out, std::string& message)
{
    host_.call([&] {
        open();
        acquisition_->ensureContinuous();
    });
    return acquisition_->waitLatest(analog, logic, kFirstValues, out, message);
}

} // namespace kro
