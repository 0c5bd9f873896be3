#include "ondrel/graph/plot_list.h"
#include "ondrel/graph/ai_colors.h"

namespace ondrel {

namespace {

struct PlotRange {
    int32_t first = 0;
    int32_t end = 0;
};

// Analog plots come first on the chart, digital plots after them.
PlotRange ListedRange(const PlotListInputs& in)
{
    if (in.historyMode)
        return {0, (in.hisAI ? in.hisAIChanCount : 0) + (in.hisDI ? in.hisDIChanCount : 0)};
    if (in.aiEnabled)
        return {0, in.aiChanCount + (in.diEnabled ? in.diChanCount : 0)};
    if (in.diEnabled)
        return {in.aiChanCount, in.aiChanCount + in.diChanCount};
    return {};
}

} // namespace

std::vector<PlotListRow> PlotListRows(IKroPlots& plots, const PlotListInputs& in)
{
    const PlotRange range = ListedRange(in);
    std::vector<PlotListRow> rows;
    for (int32_t i = range.first; i < range.end; ++i) {
        IKroPlot& plot = plots.Item(i);
        PlotListRow row;
        row.plotIndex = i;
        row.name = plot.Name();
        row.linePicture = LineStylePicture(Code(plot.LineStyle()));
        if (row.linePicture)
            row.color = plot.Color();
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace ondrel
