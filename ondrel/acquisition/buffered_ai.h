#pragma once
#include "ondrel/acquisition/acquisition_context.h"
#include <span>
#include <vector>

namespace ondrel {

// Fast buffered analog input: the card fills its buffer at the hardware rate and
// hands over each half; every half is drawn, counted and, when saving is on,
// appended to "FAI.ond".
class BufferedAI final : public IKroAIEvents {
public:
    explicit BufferedAI(AcquisitionContext& context) : c_(context) {}

    // Prepares the chart and starts the card, which may adjust the sample count
    // to whole scans per half buffer: nAISampleCnt then holds the count it uses.
    // Failures throw.
    void FAIStart();
    // Stops the card. It hands over the scans it still holds as last buffers
    // before StopFAI returns: they are drawn, recorded and counted, and do not
    // stop the run again.
    void FAIStop();

    void FirstBufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount) override;
    void BufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount) override;
    void DeviceFailure(const std::string& description) override;

private:
    void StopRun();
    void OnBuffer(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount, bool secondHalf);
    template <typename Sample>
    void BufferChangeFunc(std::span<const Sample> samples, int64_t scans, int32_t chanCount);

    AcquisitionContext& c_;
    std::vector<int32_t> rawWork_; // reused: a buffer event allocates nothing once warm
    PreparedData prepared_;
    bool stopping_ = false; // inside FAIStop: the run is ending already
};

} // namespace ondrel
