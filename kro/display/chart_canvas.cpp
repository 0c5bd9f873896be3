#include "kro/display/chart_canvas.h"
#include "kro/display/image_paint_buffer.h"

namespace kro {

ChartCanvas::ChartCanvas(QWidget* parent) : QCustomPlot(parent)
{
    // QCustomPlot makes its own buffers only while it has none, so this one
    // stays; the layers take it up at the next frame.
    mPaintBuffers.clear();
    mPaintBuffers.append(
        QSharedPointer<QCPAbstractPaintBuffer>(new ImagePaintBuffer(viewport().size(), bufferDevicePixelRatio())));
}

void ChartCanvas::paintEvent(QPaintEvent* event)
{
    const bool black = mBackgroundBrush.style() == Qt::SolidPattern && mBackgroundBrush.color() == Qt::black
                       && mBackgroundPixmap.isNull();
    if (!black || mPaintBuffers.isEmpty() || window()->testAttribute(Qt::WA_TranslucentBackground)) {
        QCustomPlot::paintEvent(event);
        return;
    }
    QCPPainter painter(this);
    if (!painter.isActive())
        return;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    mPaintBuffers.first()->draw(&painter);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (qsizetype i = 1; i < mPaintBuffers.size(); ++i)
        mPaintBuffers.at(i)->draw(&painter);
}

} // namespace kro
