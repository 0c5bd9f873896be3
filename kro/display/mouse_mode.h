#pragma once
#include <QList>
#include <cstdint>

class QCustomPlot;
class QCPAxis;

namespace kro {

// Mouse modes: 0 none, 4 pan X, 5 pan Y, 6 pan XY, 7 zoom X, 8 zoom Y, 9 zoom
// XY. Pans drag with the left button; zooms drag a rectangle or use the wheel.
// Any other value leaves the mouse without effect on the axes.
void applyMouseMode(QCustomPlot& plot, int32_t mode, QCPAxis* timeAxis, const QList<QCPAxis*>& valueAxes);

} // namespace kro
