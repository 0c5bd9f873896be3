#include "kro/display/mouse_mode.h"
#include <qcustomplot.h>

namespace kro {
namespace {

Qt::Orientations orientationsOf(int32_t mode)
{
    switch (mode) {
    case 4:
    case 7:
        return Qt::Horizontal;
    case 5:
    case 8:
        return Qt::Vertical;
    case 6:
    case 9:
        return Qt::Horizontal | Qt::Vertical;
    default:
        return {};
    }
}

} // namespace

void applyMouseMode(QCustomPlot& plot, int32_t mode, QCPAxis* timeAxis, const QList<QCPAxis*>& valueAxes)
{
    const Qt::Orientations along = orientationsOf(mode);
    const QList<QCPAxis*> horizontal = along.testFlag(Qt::Horizontal) ? QList<QCPAxis*>{timeAxis} : QList<QCPAxis*>{};
    const QList<QCPAxis*> vertical = along.testFlag(Qt::Vertical) ? valueAxes : QList<QCPAxis*>{};
    const bool pan = mode >= 4 && mode <= 6;
    const bool zoom = mode >= 7 && mode <= 9;

    QCPAxisRect* rect = plot.axisRect();
    rect->setRangeDrag(pan ? along : Qt::Orientations{});
    rect->setRangeDragAxes(horizontal, vertical);
    rect->setRangeZoom(zoom ? along : Qt::Orientations{});
    // The rectangle zoom works on the zoom axes of both orientations, so an
    // axis that must stay put is left out of the lists altogether.
    rect->setRangeZoomAxes(horizontal, vertical);

    QCP::Interactions interactions;
    if (pan)
        interactions |= QCP::iRangeDrag;
    if (zoom)
        interactions |= QCP::iRangeZoom;
    plot.setInteractions(interactions);
    plot.setSelectionRectMode(zoom ? QCP::srmZoom : QCP::srmNone);
}

} // namespace kro
