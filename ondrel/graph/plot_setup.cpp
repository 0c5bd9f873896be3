#include "ondrel/graph/plot_setup.h"
#include "ondrel/session/channel_map.h"
#include "ondrel/session/table_at.h"

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

void ConfigurePlot(IKroGraph& graph, int32_t index, ColorRef color, int32_t style,
                   const std::string& name, int axis)
{
    IKroPlot& plot = graph.Plots().Item(index);
    plot.setColor(color);
    plot.setLineStyle(style);
    plot.setName(name);
    plot.setYAxis(graph.Axes().Item(axis));
}

void AddPlots(IKroGraph& graph, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        graph.Plots().Add();
}

void SetupLivePlots(IKroGraph& graph, const SessionState& state, const SessionTables& tables,
                    const AIScanLayout& scan, bool rebuild)
{
    if (rebuild)
        AddPlots(graph, scan.chanCount + state.nDIChanCount);

    const bool is9948 = scan.deviceName.find("9948") != std::string::npos;
    for (int32_t i = 0; i < scan.chanCount; ++i) {
        const int32_t p = TableAt(scan.plotPhysical, i);
        std::string name = TableAt(tables.szAIChanName, p);
        // This family reports its usable channels itself: names follow the scan.
        if (is9948 && scan.maxChanCount > 0)
            name = TableAt(tables.szAIChanName, (scan.chanStart + i) % scan.maxChanCount);
        const bool thermo = TableAt(tables.bAIChanIsThermo, p, false);
        ConfigurePlot(graph, i, TableAt(tables.nAIChanColor, p), TableAt(tables.nAIChanLineStyle, p), name,
                      thermo ? kTemperatureAxis : kAIAxis);
        if (thermo)
            ShowTemperatureAxis(graph, true);
    }

    // Buffered AI never runs with DI: its DI plots stay unconfigured.
    if (state.bAIEnabled && !state.bSoftMode)
        return;

    int32_t n = 0;
    for (int32_t port = 0; port < state.nDIMaxPortCount; ++port) {
        const uint8_t mask = TableAt(tables.nDIPortMask, port);
        for (int32_t bit = 0; bit < 8; ++bit) {
            if ((mask & (1u << bit)) == 0)
                continue;
            const int32_t line = 8 * port + bit;
            ConfigurePlot(graph, scan.chanCount + n, TableAt(tables.nDIChanColor, line),
                          TableAt(tables.nDIChanLineStyle, line), TableAt(tables.szDIChanName, line), kDIAxis);
            ++n;
        }
    }
}

void SetupReplayPlots(IKroGraph& graph, const SessionState& state, const ReplayTables& replay,
                      bool rebuild)
{
    if (rebuild)
        AddPlots(graph, state.nHisAIChanCount + state.nHisDIChanCount);

    for (int32_t i = 0; i < state.nHisAIChanCount; ++i) {
        // Only 0 (a voltage input) is fixed by the format; we write
        // kThermocoupleChannel, and read any other byte as a thermocouple too.
        const bool thermo = TableAt(replay.HisAIChanKind, i) != 0;
        ConfigurePlot(graph, i, TableAt(replay.HisAIPlotColor, i), TableAt(replay.HisAIPlotStyle, i),
                      TableAt(replay.HisAIPlotName, i), thermo ? kTemperatureAxis : kAIAxis);
        if (thermo)
            ShowTemperatureAxis(graph, true);
    }
    if (!state.bHisDI)
        return;
    for (int32_t n = 0; n < state.nHisDIChanCount; ++n)
        ConfigurePlot(graph, state.nHisAIChanCount + n, TableAt(replay.HisDIPlotColor, n),
                      TableAt(replay.HisDIPlotStyle, n), TableAt(replay.HisDIPlotName, n), kDIAxis);
}

} // namespace

std::vector<int32_t> PlotPhysicalChannels(const std::string& deviceName, int32_t maxChanCount,
                                          const std::vector<int32_t>& connection,
                                          int32_t chanStart, int32_t chanCount)
{
    std::vector<int32_t> physical;
    const int32_t first = LogicalChannel(deviceName, maxChanCount, connection, chanStart);
    for (int32_t i = 0; i < chanCount; ++i) {
        int32_t logical = first + i;
        physical.push_back(PhysicalChannel(deviceName, maxChanCount, connection, logical));
    }
    return physical;
}

void SetupPlots(IKroGraph& graph, const SessionState& state, const SessionTables& tables,
                const ReplayTables& replay, const AIScanLayout& scan, bool historyMode,
                bool rebuild)
{
    if (rebuild)
        graph.Plots().RemoveAll();
    ShowTemperatureAxis(graph, false);
    if (historyMode)
        SetupReplayPlots(graph, state, replay, rebuild);
    else
        SetupLivePlots(graph, state, tables, scan, rebuild);
}

} // namespace ondrel
