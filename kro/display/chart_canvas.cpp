#include "kro/display/chart_canvas.h"

namespace kro {

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
