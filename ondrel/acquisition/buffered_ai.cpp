#include "ondrel/acquisition/buffered_ai.h"
#include "ondrel/components/component_error.h"
#include "ondrel/graph/chart_length.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/recording/raw_samples.h"
#include "ondrel/recording/recording_files.h"
#include "ondrel/common/rounding.h"
#include <algorithm>

namespace ondrel {

namespace {

constexpr double kHighRate = 25000.0;

} // namespace

void BufferedAI::FAIStart()
{
    IKroPlots& plots = c_.graph.Plots();
    for (int32_t i = 0; i < plots.Count(); ++i)
        plots.Item(i).setVisible(false);
    const int32_t chanCount = c_.ai.ChanCount();
    for (int32_t i = 0; i < chanCount; ++i)
        plots.Item(i).setVisible(true);

    if (!c_.setup.bFAICyclic) {
        c_.graph.setChartLength(c_.setup.nAISampleCnt);
    } else {
        IKroAxis& time = c_.graph.Axes().Item(kTimeAxis);
        time.setMinimum(0.0);
        const double rate = c_.ai.SampleRate();
        if (rate >= kHighRate) {
            time.setMaximum(100000.0 / rate);
            c_.graph.setChartLength(CyclicStartChartLength(rate, time.Maximum()));
        } else {
            c_.graph.setChartLength(CyclicStartChartLength(rate, 10.0));
            time.setMaximum(10.0);
        }
        c_.timeBase.isNumEditEventFired = true;
        c_.timeBase.dDIVValue = time.Maximum() / 10.0;
        c_.led.setValue(c_.timeBase.dDIVValue);
        c_.timeBase.isNumEditEventFired = false;
    }
    const int32_t asked = c_.setup.nAISampleCnt;
    c_.ai.StartFAI(c_.setup.nAISampleCnt, c_.setup.bFAICyclic);
    // The strip holds one buffer of the count the card really delivers; no
    // buffer can arrive before this runs, since buffers come as events.
    if (!c_.setup.bFAICyclic && c_.setup.nAISampleCnt != asked)
        c_.graph.setChartLength(c_.setup.nAISampleCnt);
}

void BufferedAI::FAIStop()
{
    stopping_ = true;
    try {
        c_.ai.StopFAI(0);
    } catch (...) {
        stopping_ = false;
        throw;
    }
    stopping_ = false;
}

// A buffer handed over while Stop stops the card is part of that Stop, which
// completes the description once the card has handed everything over.
void BufferedAI::StopRun()
{
    if (!stopping_)
        c_.stopRun();
}

void BufferedAI::FirstBufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount)
{
    OnBuffer(raw, scaled, sampleCount, false);
}

void BufferedAI::BufferChange(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount)
{
    OnBuffer(raw, scaled, sampleCount, true);
}

void BufferedAI::DeviceFailure(const std::string& description)
{
    if (!c_.run.isSystemRunning)
        return;
    c_.prompts.MsgBox(description, "BufferChange");
    StopRun();
}

void BufferedAI::OnBuffer(std::span<const int16_t> raw, std::span<const float> scaled, int32_t sampleCount,
                          bool secondHalf)
{
    // A half that was queued before Stop belongs to no run. A full recording
    // takes nothing more: the buffer that filled it said so and stopped the run.
    if (!c_.run.isSystemRunning || c_.setup.bSoftMode || c_.run.nScanCount >= kMaxScanCount)
        return;
    try {
        const int32_t chanCount = c_.ai.ChanCount();
        if (chanCount <= 0)
            throw ComponentError("No AI channel is selected");
        // Ties go to the even neighbour, as every scan count does. A recording
        // takes no more scans than its ScanCount field can name.
        const int64_t scans = std::min<int64_t>(RoundToInt32(static_cast<double>(sampleCount) / chanCount),
                                                kMaxScanCount - c_.run.nScanCount);
        switch (c_.ai.DataReturnType()) {
        case SampleData::Scaled:
            BufferChangeFunc(scaled, scans, chanCount);
            break;
        case SampleData::RawCounts:
            BufferChangeFunc(ConvertRawSamples(c_.ai.DeviceName(), raw, rawWork_), scans, chanCount);
            break;
        default:
            c_.prompts.MsgBox("Wrong Data Return Type", "OnFirstBufferChange");
            break;
        }
        c_.run.nScanCount += scans;
        if (c_.run.nScanCount >= kMaxScanCount) {
            c_.prompts.MsgBox(kRecordingFull, "BufferChange");
            StopRun();
        } else if (secondHalf && !c_.setup.bFAICyclic) {
            StopRun();
        } else {
            c_.keepProgress();
        }
    } catch (const std::exception& error) {
        c_.prompts.MsgBox(error.what(), "BufferChange");
        StopRun();
    }
}

template <typename Sample>
void BufferedAI::BufferChangeFunc(std::span<const Sample> samples, int64_t scans, int32_t chanCount)
{
    // A count rounded up past the buffer never reads beyond what the card delivered.
    const size_t n =
        std::min(samples.size(), static_cast<size_t>(std::max<int64_t>(scans, 0)) * static_cast<size_t>(chanCount));
    const auto block = samples.first(n);
    if (c_.setup.bAISaveToDisk && c_.Files().AppendFAI(block))
        c_.run.bFAIDataSaved = true;
    c_.graph.PlotData(block, prepared_, chanCount, static_cast<double>(scans));
    c_.graph.SetXStep(prepared_, (1.0 / c_.ai.SampleRate()) * chanCount);
}

} // namespace ondrel
