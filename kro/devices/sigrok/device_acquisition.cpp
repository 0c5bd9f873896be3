#include "kro/devices/sigrok/device_acquisition.h"
#include "kro/devices/sigrok/device_config.h"
#include "kro/devices/sigrok/sigrok_host.h"
#include "kro/devices/stream_halves.h"
#include "ondrel/components/component_error.h"
#include <algorithm>
#include <cmath>
#include <libsigrok/libsigrok.h>
#include <limits>

namespace kro {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

} // namespace

DeviceAcquisition::DeviceAcquisition(SigrokHost& host, sr_dev_inst* device, std::vector<sr_channel*> analog,
                                     std::vector<sr_channel*> logic)
    : host_(host), device_(device), analog_(std::move(analog)), logic_(std::move(logic)),
      scanPosition_(analog_.size(), -1)
{
    latest_.analog.assign(analog_.size(), kNone);
    latest_.unit.assign(analog_.size(), 0);
    latest_.logic.assign((logic_.size() + 7) / 8, 0);
}

DeviceAcquisition::~DeviceAcquisition() { stop(); }

void DeviceAcquisition::startRun(const std::vector<int32_t>& scan, std::shared_ptr<StreamHalves> halves)
{
    stop();
    std::fill(scanPosition_.begin(), scanPosition_.end(), -1);
    for (size_t i = 0; i < scan.size(); ++i)
        scanPosition_.at(static_cast<size_t>(scan[i])) = static_cast<int32_t>(i);
    halves_ = std::move(halves);
    try {
        start(scan);
    } catch (...) {
        halves_.reset();
        throw;
    }
}

void DeviceAcquisition::resumeRun()
{
    if (!halves_ || halves_->over())
        return;
    halves_->resume();
    if (halves_->over())
        stopLater();
}

void DeviceAcquisition::ensureContinuous()
{
    if (running())
        return;
    stop();
    std::fill(scanPosition_.begin(), scanPosition_.end(), -1);
    std::vector<int32_t> all(analog_.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int32_t>(i);
    start(all);
}

void DeviceAcquisition::start(const std::vector<int32_t>& enabledAnalog)
{
    for (size_t i = 0; i < analog_.size(); ++i) {
        const bool on =
            std::find(enabledAnalog.begin(), enabledAnalog.end(), static_cast<int32_t>(i)) != enabledAnalog.end();
        sr_dev_channel_enable(analog_[i], on ? TRUE : FALSE);
    }
    for (sr_channel* ch : logic_)
        sr_dev_channel_enable(ch, TRUE);
    {
        std::lock_guard lock(mutex_);
        std::fill(latest_.analog.begin(), latest_.analog.end(), kNone);
        latest_.logicSeen = false;
        latest_.failure.clear();
        latest_.lastData = std::chrono::steady_clock::now();
    }
    stopRequested_ = false;
    if (sr_session_new(host_.context(), &session_) != SR_OK) {
        session_ = nullptr;
        throw ondrel::ComponentError("libsigrok could not create a session");
    }
    sr_session_dev_add(session_, device_);
    sr_session_datafeed_callback_add(session_, &DeviceAcquisition::onPacket, this);
    sr_session_stopped_callback_set(session_, &DeviceAcquisition::onStopped, this);
    running_ = true;
    const int result = sr_session_start(session_);
    if (result != SR_OK) {
        running_ = false;
        sr_session_destroy(session_);
        session_ = nullptr;
        throw ondrel::ComponentError(std::string("The device did not start acquiring: ") + sr_strerror(result));
    }
    startWatching();
}

void DeviceAcquisition::stop()
{
    cancelStopLater();
    stopWatching();
    if (session_ == nullptr)
        return;
    if (running_) {
        stopRequested_ = true;
        sr_session_stop(session_);
        // The drivers end their sources from the main loop: run it until the
        // session reports that it has stopped.
        while (running_)
            g_main_context_iteration(host_.mainContext(), TRUE);
    }
    sr_session_destroy(session_);
    session_ = nullptr;
    halves_.reset();
}

void DeviceAcquisition::stopContinuous()
{
    if (!halves_)
        stop();
}

// A stop asked for from inside a packet callback waits for the main loop, so
// the driver is not torn down under its own feet. stop() cancels it, so it
// never reaches a later session.
void DeviceAcquisition::stopLater()
{
    if (pendingStop_ != nullptr)
        return;
    pendingStop_ = g_idle_source_new();
    g_source_set_callback(
        pendingStop_,
        [](gpointer self) -> gboolean {
            auto& a = *static_cast<DeviceAcquisition*>(self);
            a.cancelStopLater();
            if (a.running_ && !a.stopRequested_) {
                a.stopRequested_ = true;
                sr_session_stop(a.session_);
            }
            return G_SOURCE_REMOVE;
        },
        this, nullptr);
    g_source_attach(pendingStop_, host_.mainContext());
}

void DeviceAcquisition::cancelStopLater()
{
    if (pendingStop_ == nullptr)
        return;
    g_source_destroy(pendingStop_);
    g_source_unref(pendingStop_);
    pendingStop_ = nullptr;
}

// A driver that loses its instrument does not always end the stream: one that
// sends nothing for several sample periods counts as gone, so a run fails and
// polled reads stop instead of showing the last values for ever.
void DeviceAcquisition::startWatching()
{
    stallLimit_ = fixedStallLimit_;
    if (stallLimit_.count() <= 0) {
        stallLimit_ = kStallLimit;
        if (const uint64_t hz = deviceSamplerate(device_); hz > 0) {
            const auto periods = std::chrono::milliseconds(static_cast<int64_t>(3000.0 / static_cast<double>(hz)));
            stallLimit_ = std::max(stallLimit_, periods);
        }
    }
    watchdog_ = g_timeout_source_new(250);
    g_source_set_callback(
        watchdog_,
        [](gpointer self) -> gboolean {
            static_cast<DeviceAcquisition*>(self)->watch();
            return G_SOURCE_CONTINUE;
        },
        this, nullptr);
    g_source_attach(watchdog_, host_.mainContext());
}

void DeviceAcquisition::stopWatching()
{
    if (watchdog_ == nullptr)
        return;
    g_source_destroy(watchdog_);
    g_source_unref(watchdog_);
    watchdog_ = nullptr;
}

void DeviceAcquisition::watch()
{
    if (!running_ || stopRequested_)
        return;
    const std::string message = "The device has sent nothing for " + std::to_string((stallLimit_.count() + 999) / 1000)
                                + " s: it may have been unplugged or switched off";
    {
        std::lock_guard lock(mutex_);
        if (std::chrono::steady_clock::now() - latest_.lastData <= stallLimit_ || !latest_.failure.empty())
            return;
        latest_.failure = message;
    }
    changed_.notify_all();
    if (halves_)
        halves_->fail(message);
    stopLater();
}

void DeviceAcquisition::onStopped(void* self)
{
    auto& a = *static_cast<DeviceAcquisition*>(self);
    a.running_ = false;
    a.changed_.notify_all();
}

void DeviceAcquisition::onPacket(const sr_dev_inst* /*device*/, const sr_datafeed_packet* packet, void* self)
{
    auto& a = *static_cast<DeviceAcquisition*>(self);
    switch (packet->type) {
    case SR_DF_ANALOG:
        a.takeAnalog(*packet);
        break;
    case SR_DF_LOGIC:
        a.takeLogic(*packet);
        break;
    case SR_DF_END:
        a.takeEnd();
        break;
    default:
        break;
    }
}

int32_t DeviceAcquisition::analogIndex(const sr_channel* channel) const
{
    for (size_t i = 0; i < analog_.size(); ++i)
        if (analog_[i] == channel)
            return static_cast<int32_t>(i);
    return -1;
}

void DeviceAcquisition::takeAnalog(const sr_datafeed_packet& packet)
{
    const auto& analog = *static_cast<const sr_datafeed_analog*>(packet.payload);
    const guint channels = g_slist_length(analog.meaning->channels);
    if (channels == 0 || analog.num_samples == 0)
        return;
    // The packet is already in memory: a buffer of its size is no risk.
    values_.resize(static_cast<size_t>(analog.num_samples) * channels);
    if (sr_analog_to_float(&analog, values_.data()) != SR_OK)
        return;
    const size_t n = analog.num_samples;
    size_t j = 0;
    for (GSList* l = analog.meaning->channels; l != nullptr; l = l->next, ++j) {
        const int32_t index = analogIndex(static_cast<const sr_channel*>(l->data));
        if (index < 0)
            continue;
        const auto i = static_cast<size_t>(index);
        {
            std::lock_guard lock(mutex_);
            latest_.analog[i] = values_[(n - 1) * channels + j];
            latest_.unit[i] = static_cast<int32_t>(analog.meaning->unit);
            latest_.lastData = std::chrono::steady_clock::now();
        }
        if (!halves_ || scanPosition_[i] < 0 || halves_->over())
            continue;
        std::span<const float> block(values_.data(), n);
        if (channels > 1) { // several channels come interleaved: take this one's
            deinterleaved_.resize(n);
            for (size_t s = 0; s < n; ++s)
                deinterleaved_[s] = values_[s * channels + j];
            block = deinterleaved_;
        }
        if (!halves_->push(scanPosition_[i], block))
            stopLater();
    }
    changed_.notify_all();
}

void DeviceAcquisition::takeLogic(const sr_datafeed_packet& packet)
{
    const auto& logic = *static_cast<const sr_datafeed_logic*>(packet.payload);
    if (logic.unitsize == 0 || logic.length < logic.unitsize)
        return;
    const auto* last = static_cast<const uint8_t*>(logic.data) + (logic.length / logic.unitsize - 1) * logic.unitsize;
    {
        std::lock_guard lock(mutex_);
        const size_t bytes = std::min<size_t>(logic.unitsize, latest_.logic.size());
        std::copy(last, last + bytes, latest_.logic.begin());
        latest_.logicSeen = true;
        latest_.lastData = std::chrono::steady_clock::now();
    }
    changed_.notify_all();
}

void DeviceAcquisition::takeEnd()
{
    if (halves_ && !stopRequested_)
        halves_->endOfStream();
    if (!stopRequested_) {
        std::lock_guard lock(mutex_);
        if (latest_.failure.empty())
            latest_.failure = "The device stopped sending data: it may have been unplugged or switched off";
    }
    changed_.notify_all();
}

bool DeviceAcquisition::waitLatest(const std::vector<int32_t>& wanted, bool logic, std::chrono::milliseconds timeout,
                                   LatestValues& out, std::string& message)
{
    std::unique_lock lock(mutex_);
    const auto ready = [&] {
        if (!latest_.failure.empty())
            return true;
        if (logic && !latest_.logicSeen)
            return false;
        return std::all_of(wanted.begin(), wanted.end(), [&](int32_t c) {
            return c < 0 || static_cast<size_t>(c) >= latest_.analog.size()
                   || !std::isnan(latest_.analog[static_cast<size_t>(c)]);
        });
    };
    if (!changed_.wait_for(lock, timeout, ready)) {
        message = "The device sent no data within " + std::to_string(timeout.count()) + " ms";
        return false;
    }
    if (!latest_.failure.empty()) {
        message = latest_.failure;
        return false;
    }
    out = latest_;
    return true;
}

} // namespace kro
