#include "kro/display/mouse_mode.h"
#include <qcustomplot.h>

namespace kro {
namespace {

using ondrel::MouseAction;

Qt::Orientations orientationsOf(MouseAction mode)
{
    switch (mode) {
    case MouseAction::PanX:
    case MouseAction::ZoomX:
        return Qt::Horizontal;
    case MouseAction::PanY:
    case MouseAction::ZoomY:
        return Qt::Vertical;
    case MouseAction::PanXY:
    case MouseAction::ZoomXY:
        return Qt::Horizontal | Qt::Vertical;
    case MouseAction::None:
        break;
    }
    return {};
}

} // namespace

void applyMouseMode(QCustomPlot& plot, MouseAction mode, QCPAxis* timeAxis, const QList<QCPAxis*>& valueAxes)
{
    const Qt::Orientations along = orientationsOf(mode);
    const QList<QCPAxis*> horizontal = along.testFlag(Qt::Horizontal) ? QList<QCPAxis*>{timeAxis} : QList<QCPAxis*>{};
    const QList<QCPAxis*> vertical = along.testFlag(Qt::Vertical) ? valueAxes : QList<QCPAxis*>{};
    const bool pan = mode >= MouseAction::PanX && mode <= MouseAction::PanXY;
    const bool zoom = mode >= MouseAction::ZoomX && mode <= MouseAction::ZoomXY;

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
