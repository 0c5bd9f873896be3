#include "kro/display/kro_plot.h"
#include "kro/display/color_ref.h"
#include "kro/display/column_graph.h"
#include "kro/display/kro_axis.h"
#include "kro/display/line_style.h"
#include "ondrel/components/component_error.h"
#include <QGuiApplication>
#include <qcustomplot.h>

namespace kro {

KroPlot::KroPlot(ChartHost& host, QCPGraph* graph, KroAxis& yAxis, std::string name)
    : host_(host), graph_(graph), yAxis_(&yAxis), name_(std::move(name))
{
    graph_->setAdaptiveSampling(true);
    graph_->setName(QString::fromStdString(name_));
    applyPen();
}

void KroPlot::setName(const std::string& name)
{
    name_ = name;
    graph_->setName(QString::fromStdString(name));
    host_.plotsChanged();
}

void KroPlot::setColor(ondrel::ColorRef color)
{
    color_ = color;
    applyPen();
}

void KroPlot::setLineStyle(ondrel::LineDash style)
{
    lineStyle_ = style;
    applyPen();
}

void KroPlot::applyPen()
{
    // System colours follow the desktop's scheme, not the chart's dark one.
    QPen pen(colorFromRef(color_, QGuiApplication::palette()), 0, penStyleOf(lineStyle_));
    graph_->setPen(pen);
    host_.requestRedraw();
}

void KroPlot::ClearPlotData()
{
    if (auto* columns = qobject_cast<ColumnGraph*>(graph_))
        columns->clearData();
    else
        graph_->data()->clear();
    lastX_.reset();
    host_.requestRedraw();
}

void KroPlot::setYAxis(ondrel::IKroAxis& axis)
{
    auto* target = dynamic_cast<KroAxis*>(&axis);
    if (target == nullptr || target->qcpAxis()->parentPlot() != graph_->parentPlot())
        throw ondrel::ComponentError("YAxis: the axis does not belong to this chart");
    if (target->qcpAxis()->orientation() != Qt::Vertical)
        throw ondrel::ComponentError("YAxis: the time axis cannot be a plot's Y axis");
    yAxis_ = target;
    graph_->setValueAxis(target->qcpAxis());
    host_.requestRedraw();
}

void KroPlot::setStartX(double x) { startX_ = x; }

bool KroPlot::Visible() const { return graph_->visible(); }

void KroPlot::setVisible(bool visible)
{
    graph_->setVisible(visible);
    host_.requestRedraw();
    host_.plotsChanged();
}

void KroPlot::AddPoint(double y, double xStep) { append(nextX(xStep), y); }

void KroPlot::AddXY(double x, double y) { append(x, y); }

int32_t KroPlot::PointCount() const { return graph_->data()->size(); }

void KroPlot::append(double x, double y)
{
    graph_->data()->add(QCPGraphData(x, y));
    lastX_ = x;
    trimTo(host_.pointBound());
    host_.pointsAppended(x);
}

void KroPlot::appendSorted(QVector<QCPGraphData> points, double lastX)
{
    const int32_t bound = host_.pointBound();
    if (bound > 0 && points.size() > bound)
        points = points.mid(points.size() - bound);
    graph_->data()->add(points, true);
    lastX_ = lastX;
    trimTo(bound);
    host_.pointsAppended(lastX);
}

void KroPlot::trimTo(int32_t bound)
{
    if (bound <= 0)
        return;
    auto data = graph_->data();
    const int excess = data->size() - bound;
    if (excess <= 0)
        return;
    // Cheap in the container: removing from the front only moves its start.
    data->removeBefore(data->at(excess)->key);
    // Points sharing the cut key may still exceed the bound; drop them singly.
    while (data->size() > bound)
        data->remove(data->constBegin()->key);
    host_.requestRedraw();
}

} // namespace kro
