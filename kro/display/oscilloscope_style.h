#pragma once

class QCustomPlot;
class QCPAxis;

namespace kro {

// The dark oscilloscope look: black screen, green graticule, grey axes.
void styleChart(QCustomPlot& plot);
void styleAxis(QCPAxis& axis, bool withGrid);
// Shows or hides an axis's line and tick marks.
void styleAxisLine(QCPAxis& axis, bool visible);

} // namespace kro
