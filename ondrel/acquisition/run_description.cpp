#include "ondrel/acquisition/run_control.h"
#include "ondrel/recording/recording_files.h"

namespace ondrel {

namespace {

PlotRecord RecordOf(IKroPlot& plot)
{
    return {static_cast<int32_t>(plot.Color()), Code(plot.LineStyle()), plot.Name()};
}

} // namespace

RunDescription DescribeRun(const AcquisitionContext& c)
{
    const AcquisitionSetup& s = c.setup;
    RunDescription run;
    run.aiRecorded = s.bAISaveToDisk && s.bAIEnabled;
    run.diRecorded = s.bDIEnabled && s.bDISaveToDisk;
    run.softRecorded = s.bSoftMode;
    run.floatSamples = s.bSoftMode || (c.ai.DeviceNumber() >= 0 && c.ai.DataReturnType() == SampleData::Scaled);
    run.aiChanCount = c.ai.DeviceNumber() >= 0 ? c.ai.ChanCount() : 0;
    run.diChanCount = s.nDIChanCount;
    IKroPlots& plots = c.graph.Plots();
    if (run.aiRecorded) {
        AIDescription ai;
        for (int32_t i = 0; i < run.aiChanCount; ++i)
            ai.plots.push_back(RecordOf(plots.Item(i)));
        const int32_t channels = c.ai.MaxChanCount();
        for (int32_t i = 0; i < channels; ++i) {
            ai.channelKinds.push_back(s.AIChannel(i).bAIChanIsThermo ? kThermocoupleChannel : kVoltageChannel);
        }
        run.ai = std::move(ai);
    }
    if (run.diRecorded) {
        DIDescription di;
        // The chart always holds the AI plots first.
        for (int32_t i = 0; i < run.diChanCount; ++i)
            di.plots.push_back(RecordOf(plots.Item(run.aiChanCount + i)));
        const int32_t ports = c.dio.PortCount();
        for (int32_t p = 0; p < ports; ++p)
            di.portMasks.push_back(s.PortMask(p));
        run.di = std::move(di);
    }
    return run;
}

std::optional<std::string> AISwitchRefusal(const AcquisitionSetup& s, const IKroAI& ai)
{
    if (ai.DeviceNumber() < 0)
        return "No AI device is selected";
    if (ai.ChanCount() < 1)
        return "No AI channel is selected";
    if (s.bDIEnabled && !s.bSoftMode)
        return "FAI can't run together with DI";
    return std::nullopt;
}

std::optional<std::string> DISwitchRefusal(const AcquisitionSetup& s, const IKroDIO& dio)
{
    if (dio.DeviceNumber() < 0)
        return "No DI device is selected";
    if (s.nDIPortCount <= 0)
        return "No DI Port is selected";
    if (s.bAIEnabled && !s.bSoftMode)
        return "FAI can't run together with DI";
    return std::nullopt;
}

} // namespace ondrel
