#pragma once
#include "kro/devices/sigrok/device_acquisition.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sr_channel_group;

namespace kro {

class SigrokHost;

// An input range of an instrument's analog channels.
struct SigrokRange {
    double low = 0.0;
    double high = 0.0;
    uint64_t vdivP = 0; // the volts per division that give it (p / q); 0: none
    uint64_t vdivQ = 1;
    std::string meterRange; // or the meter range that gives it; neither: a fixed range
};

// One instrument libsigrok found: its channels and ranges, read once when
// found, and its acquisition. Every call that reaches libsigrok goes through the host's
// thread; none may be made on that thread's behalf while it waits.
class SigrokDevice {
public:
    SigrokDevice(SigrokHost& host, sr_dev_inst* device); // host thread
    ~SigrokDevice();                                     // host thread
    SigrokDevice(const SigrokDevice&) = delete;
    SigrokDevice& operator=(const SigrokDevice&) = delete;

    // "sigrok: <vendor> <model>", e.g. "sigrok: Demo device".
    const std::string& name() const { return name_; }
    // libsigrok's device, for calls made on the host's thread.
    sr_dev_inst* instance() const { return device_; }
    const std::vector<std::string>& analogNames() const { return analogNames_; }
    int32_t analogCount() const { return static_cast<int32_t>(analogNames_.size()); }
    int32_t logicCount() const { return static_cast<int32_t>(logic_.size()); }
    int32_t portCount() const { return (logicCount() + 7) / 8; }
    // Whether an analog channel measures temperature (its quantity).
    bool hasTemperature();
    // The ranges, widest first: the instrument's volts per division over its
    // divisions, or its voltage ranges as a meter, or one fixed -10 .. 10 V
    // range when it has neither.
    const std::vector<SigrokRange>& ranges() const { return ranges_; }

    // Per-channel sample rate in Hz as the device has it; 0 when it has none.
    uint64_t samplerate();
    // Asks for `hz`; a driver may refuse or round it: read back samplerate().
    void setSamplerate(uint64_t hz);
    // Asks for range `index` on analog channel `channel`; false when refused.
    bool setRange(int32_t channel, size_t index);

    void startRun(const std::vector<int32_t>& scan, std::shared_ptr<StreamHalves> halves);
    void stop();
    // Test hook: see DeviceAcquisition::setStallLimit.
    void setStallLimit(std::chrono::milliseconds limit);
    // Ends the continuous session polled reads started, leaving a buffered
    // run alone: nothing acquires for a component that is gone.
    void stopPolling();
    // Has the host go on with a run's waiting samples; from any thread.
    void resumeRunLater();
    // Polled reads: starts a continuous session when none runs, then waits
    // for the channels asked for; see DeviceAcquisition::waitLatest.
    bool readLatest(const std::vector<int32_t>& analog, bool logic, LatestValues& out, std::string& message);

private:
    void open();
    sr_channel_group* groupOf(int32_t channel) const;
    void readRanges();

    SigrokHost& host_;
    sr_dev_inst* device_;
    std::string name_;
    std::vector<sr_channel*> analog_;
    std::vector<std::string> analogNames_;
    std::vector<sr_channel*> logic_;
    std::vector<SigrokRange> ranges_;
    bool open_ = false;
    std::unique_ptr<DeviceAcquisition> acquisition_;
};

} // namespace kro
