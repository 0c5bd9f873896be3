#include "ondrel/graph/plot_setup.h"
#include "ondrel/common/channel_map.h"
#include "ondrel/common/device_family.h"
#include "ondrel/common/table_at.h"

namespace ondrel {

namespace {

void ShowTemperatureAxis(IKroGraph& graph, bool visible)
{
    IKroAxis& axis = graph.Axes().Item(kTemperatureAxis);
    for (int element = 0; element < 2; ++element) {
        axis.Element(element).setVisible(visible);
        axis.Element(element).setSecondary(0);
    }
}

void ConfigurePlot(IKroGraph& graph, int32_t index, ColorRef color, int32_t style, const std::string& name, int axis)
{
    IKroPlot& plot = graph.Plots().Item(index);
    plot.setColor(color);
    plot.setLineStyle(static_cast<LineDash>(style));
    plot.setName(name);
    plot.setYAxis(graph.Axes().Item(axis));
}

void AddPlots(IKroGraph& graph, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        graph.Plots().Add();
}

void SetupLivePlots(IKroGraph& graph, const AcquisitionSetup& setup, const AIScanLayout& scan, bool rebuild)
{
    if (rebuild)
        AddPlots(graph, scan.chanCount + setup.nDIChanCount);

    const bool namedByScan = NamesPlotsByScan(scan.deviceName);
    for (int32_t i = 0; i < scan.chanCount; ++i) {
        const AIChannelSetting& channel = setup.AIChannel(TableAt(scan.plotPhysical, i));
        std::string name = channel.szAIChanName;
        if (namedByScan && scan.maxChanCount > 0)
            name = setup.AIChannel((scan.chanStart + i) % scan.maxChanCount).szAIChanName;
        const bool thermo = channel.bAIChanIsThermo;
        ConfigurePlot(graph, i, channel.nAIChanColor, channel.nAIChanLineStyle, name,
                      thermo ? kTemperatureAxis : kAIAxis);
        if (thermo)
            ShowTemperatureAxis(graph, true);
    }

    // Buffered AI never runs with DI: its DI plots stay unconfigured.
    if (setup.bAIEnabled && !setup.bSoftMode)
        return;

    int32_t n = 0;
    for (int32_t port = 0; port < setup.nDIMaxPortCount; ++port) {
        const uint8_t mask = setup.PortMask(port);
        for (int32_t bit = 0; bit < 8; ++bit) {
            if ((mask & (1u << bit)) == 0)
                continue;
            const DILineSetting& line = setup.DILine(8 * port + bit);
            ConfigurePlot(graph, scan.chanCount + n, line.nDIChanColor, line.nDIChanLineStyle, line.szDIChanName,
                          kDIAxis);
            ++n;
        }
    }
}

const ReplayPlot& PlotAt(const std::vector<ReplayPlot>& plots, int32_t index)
{
    static const ReplayPlot none{};
    return index >= 0 && static_cast<size_t>(index) < plots.size() ? plots[static_cast<size_t>(index)] : none;
}

void SetupReplayPlots(IKroGraph& graph, const ReplayChart& replay, bool rebuild)
{
    if (rebuild)
        AddPlots(graph, replay.nHisAIChanCount + replay.nHisDIChanCount);

    for (int32_t i = 0; i < replay.nHisAIChanCount; ++i) {
        // Only 0 (a voltage input) is fixed by the format; we write
        // kThermocoupleChannel, and read any other byte as a thermocouple too.
        const bool thermo = TableAt(replay.HisAIChanKind, i) != 0;
        const ReplayPlot& plot = PlotAt(replay.aiPlots, i);
        ConfigurePlot(graph, i, plot.color, plot.style, plot.name, thermo ? kTemperatureAxis : kAIAxis);
        if (thermo)
            ShowTemperatureAxis(graph, true);
    }
    if (!replay.bHisDI)
        return;
    for (int32_t n = 0; n < replay.nHisDIChanCount; ++n) {
        const ReplayPlot& plot = PlotAt(replay.diPlots, n);
        ConfigurePlot(graph, replay.nHisAIChanCount + n, plot.color, plot.style, plot.name, kDIAxis);
    }
}

} // namespace

std::vector<int32_t> PlotPhysicalChannels(const std::string& deviceName, int32_t maxChanCount,
                                          const std::vector<int32_t>& connection, int32_t chanStart, int32_t chanCount)
{
    std::vector<int32_t> physical;
    const int32_t first = LogicalChannel(deviceName, maxChanCount, connection, chanStart);
    for (int32_t i = 0; i < chanCount; ++i) {
        int32_t logical = first + i;
        physical.push_back(PhysicalChannel(deviceName, maxChanCount, connection, logical));
    }
    return physical;
}

void SetupPlots(IKroGraph& graph, const AcquisitionSetup& setup, const ReplayChart& replay, const AIScanLayout& scan,
                bool historyMode, bool rebuild)
{
    if (rebuild)
        graph.Plots().RemoveAll();
    ShowTemperatureAxis(graph, false);
    if (historyMode)
        SetupReplayPlots(graph, replay, rebuild);
    else
        SetupLivePlots(graph, setup, scan, rebuild);
}

} // namespace ondrel
