#include "kro/display/oscilloscope_style.h"
#include <qcustomplot.h>

namespace kro {
namespace {

const QColor kAxisColor(170, 170, 170);
const QColor kGridColor(0, 96, 0);

} // namespace

void styleChart(QCustomPlot& plot)
{
    plot.setBackground(Qt::black);
    plot.axisRect()->setBackground(Qt::black);
    // Crisp one-pixel traces draw far faster than antialiased ones and suit
    // the scope look; the data are thinned per pixel column by the graphs.
    plot.setNotAntialiasedElements(QCP::aeAll);
    // A trace is one polyline call: QCustomPlot's "fast" polylines draw each
    // segment with its own call, which costs more than the pixels.
    plot.setPlottingHint(QCP::phFastPolylines, false);
    plot.setPlottingHint(QCP::phCacheLabels, true);
    // One paint buffer instead of two: the overlay's own buffer was cleared and
    // blended over the chart on every frame only to speed up the zoom rectangle.
    plot.layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    // The legend is the window's own, beside the chart. QCustomPlot's hidden
    // one would still measure every plot's name on every frame.
    plot.setAutoAddPlottableToLegend(false);
    plot.setAttribute(Qt::WA_OpaquePaintEvent);
    plot.selectionRect()->setPen(QPen(Qt::white, 1, Qt::DashLine));
    plot.selectionRect()->setBrush(QColor(255, 255, 255, 32));
}

void styleAxis(QCPAxis& axis, bool withGrid)
{
    styleAxisLine(axis, true);
    axis.setTickLabelColor(kAxisColor);
    axis.setLabelColor(kAxisColor);
    axis.grid()->setVisible(withGrid);
    axis.grid()->setPen(QPen(kGridColor, 0, Qt::DotLine));
    axis.grid()->setZeroLinePen(QPen(kGridColor.lighter(150), 0, Qt::SolidLine));
    axis.grid()->setSubGridVisible(false);
}

void styleAxisLine(QCPAxis& axis, bool visible)
{
    const QPen pen = visible ? QPen(kAxisColor, 0) : QPen(Qt::NoPen);
    axis.setBasePen(pen);
    axis.setTickPen(pen);
    axis.setSubTickPen(pen);
}

} // namespace kro
