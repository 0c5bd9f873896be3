#include "ondrel/graph/plot_control.h"

namespace ondrel {

AIScanLayout PlotControl::CurrentScanLayout() const
{
    AIScanLayout scan;
    if (ai_.DeviceNumber() < 0)
        return scan;
    scan.chanStart = ai_.ChanStart();
    scan.chanCount = ai_.ChanCount();
    scan.maxChanCount = ai_.MaxChanCount();
    scan.deviceName = ai_.DeviceName();
    scan.plotPhysical = PlotPhysicalChannels(scan.deviceName, scan.maxChanCount, setup_.AIConnections(), scan.chanStart,
                                             scan.chanCount);
    return scan;
}

void PlotControl::SetupPlots(bool historyMode, bool rebuild)
{
    ondrel::SetupPlots(graph_, setup_, replay_, CurrentScanLayout(), historyMode, rebuild);
    UpdatePlotListView();
}

void PlotControl::UpdatePlotListView()
{
    PlotListInputs in;
    in.historyMode = replay_.bHistoryMode;
    in.aiEnabled = setup_.bAIEnabled;
    in.diEnabled = setup_.bDIEnabled;
    in.aiChanCount = ai_.DeviceNumber() >= 0 ? ai_.ChanCount() : 0;
    in.diChanCount = setup_.nDIChanCount;
    in.hisAI = replay_.bHisAI;
    in.hisDI = replay_.bHisDI;
    in.hisAIChanCount = replay_.nHisAIChanCount;
    in.hisDIChanCount = replay_.nHisDIChanCount;
    legend_.ShowRows(PlotListRows(graph_.Plots(), in));
}

} // namespace ondrel
