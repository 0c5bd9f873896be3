#pragma once
#include <QList>
#include "ondrel/components/graph.h"
#include <cstdint>

class QCustomPlot;
class QCPAxis;

namespace kro {

// Pans drag with the left button; zooms drag a rectangle or use the wheel. Any
// number outside the list leaves the mouse without effect on the axes.
void applyMouseMode(QCustomPlot& plot, ondrel::MouseAction mode, QCPAxis* timeAxis, const QList<QCPAxis*>& valueAxes);

} // namespace kro
