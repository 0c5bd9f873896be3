#include "kro/display/chart_cursors.h"
#include <QMouseEvent>
#include <cmath>
#include <qcustomplot.h>

namespace kro {

namespace {

constexpr double kGrabPixels = 4.0;
const std::array<QColor, 2> kCursorColors{QColor(255, 220, 0), QColor(0, 220, 255)};

} // namespace

ChartCursors::ChartCursors(QCustomPlot& plot, QCPAxis& timeAxis, std::function<void()> moved)
    : QObject(&plot), plot_(plot), time_(timeAxis), moved_(std::move(moved))
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto* line = new QCPItemStraightLine(&plot_);
        line->setPen(QPen(kCursorColors[i], 0, Qt::DashLine));
        line->setSelectable(false);
        line->setClipToAxisRect(true);
        for (QCPItemPosition* end : {line->point1, line->point2}) {
            end->setAxes(&time_, plot_.axisRect()->axis(QCPAxis::atLeft));
            end->setTypeX(QCPItemPosition::ptPlotCoords);
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
        line->setVisible(false);
        lines_[i] = line;
    }
    readout_ = new QCPItemText(&plot_);
    readout_->position->setType(QCPItemPosition::ptAxisRectRatio);
    readout_->position->setCoords(0.01, 0.01);
    readout_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    readout_->setTextAlignment(Qt::AlignLeft);
    readout_->setColor(Qt::white);
    // Opaque and above the traces, which would otherwise cross its text.
    readout_->setBrush(QColor(Qt::black));
    readout_->setLayer(QStringLiteral("overlay"));
    readout_->setPen(QPen(QColor(170, 170, 170)));
    readout_->setPadding(QMargins(4, 2, 4, 2));
    readout_->setSelectable(false);
    readout_->setVisible(false);
    plot_.installEventFilter(this);
}

void ChartCursors::setShown(bool shown)
{
    shown_ = shown;
    if (shown) {
        const QCPRange range = time_.range();
        x_ = {range.lower + range.size() / 3.0, range.lower + 2.0 * range.size() / 3.0};
    }
    for (size_t i = 0; i < lines_.size(); ++i) {
        lines_[i]->setVisible(shown);
        setX(static_cast<int>(i), x_[i]);
    }
    readout_->setVisible(shown);
    dragging_ = -1;
    moved_();
}

void ChartCursors::setX(int cursor, double x)
{
    const auto i = static_cast<size_t>(cursor);
    x_[i] = x;
    lines_[i]->point1->setCoords(x, 0.0);
    lines_[i]->point2->setCoords(x, 1.0);
    moved_();
}

void ChartCursors::nudge(int cursor, int pixels)
{
    const double pixel = time_.coordToPixel(x(cursor));
    setX(cursor, time_.pixelToCoord(pixel + pixels));
}

void ChartCursors::setText(const QString& text) { readout_->setText(text); }

QString ChartCursors::text() const { return readout_->text(); }

int ChartCursors::cursorNear(double pixelX) const
{
    int nearest = -1;
    double best = kGrabPixels;
    for (int i = 0; i < 2; ++i) {
        const double distance = std::abs(time_.coordToPixel(x(i)) - pixelX);
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

// Seen before QCustomPlot's own handling, so a grabbed cursor never starts a
// zoom rectangle or a pan.
bool ChartCursors::eventFilter(QObject* watched, QEvent* event)
{
    if (!shown_ || watched != &plot_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        dragging_ = cursorNear(mouse->position().x());
        return dragging_ >= 0;
    }
    case QEvent::MouseMove:
        if (dragging_ < 0)
            return false;
        setX(dragging_, time_.pixelToCoord(static_cast<QMouseEvent*>(event)->position().x()));
        return true;
    case QEvent::MouseButtonRelease:
        if (dragging_ < 0)
            return false;
        dragging_ = -1;
        return true;
    default:
        return false;
    }
}

} // namespace kro
