#pragma once
#include "kro/display/chart_cursors.h"
#include "kro/display/chart_host.h"
#include "kro/display/kro_axes.h"
#include "kro/display/kro_plots.h"
#include "kro/display/redraw_scheduler.h"
#include "ondrel/components/graph.h"
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QCustomPlot;

namespace kro {

// The strip chart on QCustomPlot. A KroGraph is itself the widget the window
// lays out; give it a parent or own it. Drawing is coalesced: data calls only
// mark the chart dirty, and one replot per frame shows what has arrived.
//
// The chart takes the focus; the menu key or Shift+F10 raises the right-button
// event as a right click in the middle of the plotting area would, so the
// program's pop-up menu opens from the keyboard too. Accessibility: role Chart,
// the name the window gives it, a description listing its plots (kept current
// as plots come, go, are renamed, shown or hidden) and a show-menu action that
// raises the same event.
class KroGraph final : public QWidget, public ondrel::IKroGraph, private ChartHost {
    Q_OBJECT
public:
    // Frames are drawn at most this often.
    static constexpr std::chrono::milliseconds kFramePeriod{33};

    explicit KroGraph(QWidget* parent = nullptr);
    ~KroGraph() override;

    // The plot widget inside, for rendering and inspection.
    QCustomPlot* customPlot() const { return plot_; }

    QWidget* widget() override { return this; }
    bool Enabled() const override;
    void setEnabled(bool enabled) override;

    void setEvents(ondrel::IKroGraphEvents* sink) override { sink_ = sink; }
    KroAxes& Axes() override { return *axes_; }
    KroPlots& Plots() override { return *plots_; }
    ondrel::MouseAction MouseMode() const override { return mouseMode_; }
    void setMouseMode(ondrel::MouseAction mode) override;
    int32_t ChartLength() const override { return chartLength_; }
    void setChartLength(int32_t points) override;
    void ClearData() override;
    void PlotXY(float x, std::span<const float> y) override;
    void PlotData(std::span<const float> samples, ondrel::PreparedData& prepared, int32_t chanCount,
                  double scans) override;
    void PlotData(std::span<const int32_t> samples, ondrel::PreparedData& prepared, int32_t chanCount,
                  double scans) override;
    void SetXStep(const ondrel::PreparedData& prepared, double xStep) override;

    // Raises the right-button event at the middle of the plotting area; nothing
    // while the chart is disabled. `shift` is the shift-state code reported.
    void requestMenu(int32_t shift = 0);
    // "Plots: AI 0, AI 1, DI 0:1 (hidden)", or "No plots".
    QString plotSummary() const;

    // Beyond the component's contract, for the program's own pop-up menu: the
    // measuring cursors (Left / Right move A, with Ctrl B, while they are
    // shown), their read-out's text asked for at each frame, each plot's value
    // at a time, and a picture of the chart.
    ChartCursors& cursors() { return *cursors_; }
    void setCursorReadout(std::function<QString()> readout) { cursorReadout_ = std::move(readout); }
    // Linear between the neighbouring points; nothing outside the plot's data.
    std::optional<double> valueAt(int32_t plot, double x) const;
    // The plot's last point at or before x, as a digital line holds its level
    // until its next sample; nothing outside the plot's data.
    std::optional<double> heldValueAt(int32_t plot, double x) const;
    // The index in Axes() of the plot's Y axis; -1 for no such plot.
    int32_t plotAxis(int32_t plot) const;
    // PNG or PDF by the file's suffix; false when the file could not be written.
    bool savePicture(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void requestRedraw() override;
    void setAxisRange(QCPAxis* axis, double lower, double upper) override;
    void settleAutoScale() override;
    void pointsAppended(double newestX) override;
    int32_t pointBound() const override { return chartLength_; }
    void axisAdded(KroAxis& axis) override;
    void plotsChanged() override;

    void drawFrame();
    void watchUserRange(KroAxis& axis);
    void userMovedRange(const QCPAxis* axis);
    void reportRangeChanged();
    void reportMouseButton(const QMouseEvent& event);
    void reportError(int32_t number, const std::string& message);
    // Runs a data call; an allocation failure becomes the chart's error event.
    template <typename Call>
    void guardMemory(Call&& call);

    QCustomPlot* plot_;
    RedrawScheduler redraw_;
    std::unique_ptr<KroAxes> axes_;
    std::unique_ptr<KroPlots> plots_;
    ChartCursors* cursors_ = nullptr;
    std::function<QString()> cursorReadout_;
    ondrel::IKroGraphEvents* sink_ = nullptr;
    ondrel::MouseAction mouseMode_ = ondrel::MouseAction::None;
    int32_t chartLength_ = 0;
    int programmaticRange_ = 0;
    bool rangeReportQueued_ = false;
    bool drawingFrame_ = false;
    bool plotsReportQueued_ = false;
};

} // namespace kro
