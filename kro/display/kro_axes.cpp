#include "kro/display/kro_axes.h"
#include "kro/display/oscilloscope_style.h"
#include "ondrel/components/component_error.h"
#include <qcustomplot.h>

namespace kro {

KroAxes::KroAxes(ChartHost& host, QCustomPlot& plot) : host_(host), plot_(plot)
{
    // The spare top axis stays hidden; the right one is the digital axis.
    plot_.xAxis2->setVisible(false);
    plot_.yAxis2->setVisible(true);
    KroAxis& time = adopt(plot_.xAxis, false, true);
    time.SetRange(0.0, 10.0);
    adopt(plot_.yAxis, true, true).SetRange(0.0, 10.0);
    adopt(plot_.yAxis2, true, false).SetRange(0.0, 10.0);
}

KroAxis& KroAxes::Item(int32_t index)
{
    if (index < 0 || index >= Count())
        throw ondrel::ComponentError("Axes: index " + std::to_string(index) + " is out of range (the chart has "
                                     + std::to_string(Count()) + " axes)");
    return *items_[static_cast<size_t>(index)];
}

KroAxis& KroAxes::Add()
{
    KroAxis& axis = adopt(plot_.axisRect()->addAxis(QCPAxis::atRight), true, false);
    axis.SetRange(0.0, 10.0);
    host_.axisAdded(axis);
    return axis;
}

QList<QCPAxis*> KroAxes::valueAxes() const
{
    QList<QCPAxis*> axes;
    for (size_t i = 1; i < items_.size(); ++i)
        axes.append(items_[i]->qcpAxis());
    return axes;
}

KroAxis* KroAxes::find(const QCPAxis* axis) const
{
    for (const auto& item : items_)
        if (item->qcpAxis() == axis)
            return item.get();
    return nullptr;
}

KroAxis& KroAxes::adopt(QCPAxis* axis, bool autoScale, bool withGrid)
{
    styleAxis(*axis, withGrid);
    items_.push_back(std::make_unique<KroAxis>(host_, axis, autoScale));
    return *items_.back();
}

} // namespace kro
