#pragma once
#include "ondrel/components/graph.h"
#include "ondrel/graph/plot_setup.h"
#include "ondrel/graph/time_base.h"
#include "ondrel/graph/replay_chart.h"
#include "ondrel/common/acquisition_setup.h"
#include "ondrel/common/prompts.h"
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// The two boxes and the auto-scale check box of one axis, as the dialog shows them.
struct AxisBoxes {
    bool autoScale = false;
    std::string min, max;
    bool minEnabled = true, maxEnabled = true;
};

enum class AxisBox { XMin, XMax, YMin, YMax };

// What the graph settings read and write, owned by the window.
struct GraphSettingsParts {
    IKroGraph& graph;
    TimeBase& timeBase;
    AcquisitionSetup& setup;
    ReplayChart& replay;
    AIScanLayout scan; // the live AI scan: which device channel each AI plot shows
    IPrompts& prompts;
    bool running; // a run or a replay is moving the X axis
};

// The logic of the "Graph Setting" dialog: each plot's colour and line style,
// the axis ranges or auto-scaling. OK applies the axes and the time base to
// the chart and writes the plot choices into the tables the plots are built
// from; the window then rebuilds the plots. Nothing reaches the chart before OK.
class GraphSettings {
public:
    static constexpr int32_t kLineStyleCount = 5; // "Solid" .. "DashDotDot"

    explicit GraphSettings(const GraphSettingsParts& parts) : p_(parts) {}

    void Form_Load();
    void lstPlots_Click(int32_t row);
    void CmbLineStyle_Click(int32_t item);
    void BtnColor_Click();
    void chkXAutoS_Click(bool checked);
    void chkYAutoS_Click(bool checked);
    void LostFocus(AxisBox box);
    // True when everything was applied and the dialog may close.
    bool BtnApply_Click();

    const std::vector<std::string>& PlotNames() const { return names_; }
    const std::vector<ColorRef>& PlotColors() const { return PlotColors_; }
    const std::vector<int32_t>& PlotLineStyles() const { return PlotLineStyles_; }
    std::optional<int32_t> SelectedRow() const { return row_; }
    // BtnColor's background and CmbLineStyle's selection.
    std::optional<ColorRef> ShownColor() const { return shownColor_; }
    std::optional<int32_t> ShownLineStyle() const { return shownStyle_; }
    // The boxes; the dialog writes what the operator types into them.
    AxisBoxes& X() { return x_; }
    AxisBoxes& Y() { return y_; }

private:
    void FillX();
    void FillY();
    void CheckRange(AxisBoxes& axis, bool isMaxBox, const char* rangeMessage);
    void Apply();
    void WriteLiveTables();
    void WriteReplayTables();
    int32_t Plot(int32_t index) const;

    GraphSettingsParts p_;
    std::vector<std::string> names_;
    std::vector<int32_t> PlotLineStyles_;
    std::vector<ColorRef> PlotColors_;
    std::optional<int32_t> row_;
    std::optional<ColorRef> shownColor_;
    std::optional<int32_t> shownStyle_;
    AxisBoxes x_, y_;
};

} // namespace ondrel
