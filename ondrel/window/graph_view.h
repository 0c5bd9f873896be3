#pragma once
#include "ondrel/components/ai_device.h"
#include "ondrel/components/graph.h"
#include "ondrel/graph/plot_control.h"
#include "ondrel/graph/time_base.h"
#include <QObject>
#include <functional>

class QMenu;
class QAction;

namespace kro {
class KroGraph;
}

namespace ondrel {

class GraphPanel;

// What the graph frame and the chart are wired to, all owned by the window.
struct GraphViewParts {
    TimeBaseParts timeBase;
    GraphPanel& panel;
    PlotControl& plots;
    AcquisitionSetup& setup;
    ReplayChart& replay;
    std::function<bool()> running;  // a run or a replay moves the X axis
    std::function<void()> overview; // opens the overview of the recording replayed
};

// The chart's events and the graph frame's buttons: the time base on the
// read-out's spins and after zooms, the pop-up menu "Menufile" on a right
// click (mouse modes, and the measuring cursors and the chart's picture),
// chart errors, Clear Graph and the graph settings dialog; "Overview..." in
// history mode.
class GraphView final : public QObject, public IKroGraphEvents {
    Q_OBJECT
public:
    GraphView(const GraphViewParts& parts, QWidget* owner);
    ~GraphView() override;

    TimeBase& timeBase() { return timeBase_; }
    QMenu* Menufile() const { return menu_; }

    void GraphError(int32_t number, const std::string& message) override;
    void RangeChanged(double xMin, double xMax, double yMin, double yMax) override;
    void MouseButton(int16_t& button, int32_t shift, float& x, float& y) override;

    void BtnGraphSet_Click();
    void BtnClearGraph_Click();
    void ShowCursors(bool shown);
    void SavePicture();

private:
    void BuildMenu();
    void AddOverviewItem();
    QString CursorText() const;

    GraphViewParts p_;
    TimeBase timeBase_;
    QWidget* owner_;
    kro::KroGraph* chart_; // none when the chart is not ours: no cursors or picture
    QMenu* menu_ = nullptr;
    QAction* cursorsAction_ = nullptr;
    QAction* overviewAction_ = nullptr;
};

} // namespace ondrel
