#pragma once
#include "kro/display/chart_host.h"
#include "ondrel/components/graph.h"
#include <QVector>
#include <optional>

class QCPGraph;
class QCPGraphData;

namespace kro {

// One trace of the chart. Points are kept sorted by x in the graph's data
// container; with a bound in force only the newest points stay.
class KroPlot final : public ondrel::IKroPlot {
public:
    KroPlot(ChartHost& host, QCPGraph* graph, KroAxis& yAxis, std::string name);

    QCPGraph* graph() const { return graph_; }
    KroAxis& yAxis() const { return *yAxis_; }

    std::string Name() const override { return name_; }
    void setName(const std::string& name) override;
    ondrel::ColorRef Color() const override { return color_; }
    void setColor(ondrel::ColorRef color) override;
    ondrel::LineDash LineStyle() const override { return lineStyle_; }
    void setLineStyle(ondrel::LineDash style) override;
    void ClearPlotData() override;
    void setYAxis(ondrel::IKroAxis& axis) override;
    void setStartX(double x) override;
    bool Visible() const override;
    void setVisible(bool visible) override;
    void AddPoint(double y, double xStep) override;
    void AddXY(double x, double y) override;
    int32_t PointCount() const override;

    // The x the next stepped point gets: StartX for an empty sequence.
    double nextX(double xStep) const { return lastX_ ? *lastX_ + xStep : startX_; }
    // Appends points sorted by x; `lastX` is where the sequence continues from
    // (it may lie past the points kept when a buffer's head was dropped).
    void appendSorted(QVector<QCPGraphData> points, double lastX);
    // Drops the oldest points beyond the bound (0 = unbounded).
    void trimTo(int32_t bound);

private:
    void append(double x, double y);
    void applyPen();

    ChartHost& host_;
    QCPGraph* graph_;
    KroAxis* yAxis_;
    std::string name_;
    ondrel::ColorRef color_ = 0x00FF00;
    ondrel::LineDash lineStyle_ = ondrel::LineDash::Solid;
    double startX_ = 0.0;
    std::optional<double> lastX_;
};

} // namespace kro
