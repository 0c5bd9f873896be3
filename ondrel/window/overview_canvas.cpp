#include "ondrel/window/overview_canvas.h"
#include "kro/display/direct_pixels.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <exception>

namespace ondrel {

namespace {

constexpr int kLaneHeight = 14;
constexpr int kAxisHeight = 22;
constexpr int kDragStart = 4; // pixels a press moves before it is a drag
constexpr double kWheelStep = 1.25;
constexpr double kKeyZoom = 2.0;
const QColor kBackground(0, 0, 0);
const QColor kAxisColor(160, 160, 160);
const QColor kPositionColor(255, 255, 255);
const QColor kUnbuilt(40, 40, 40);

// Fills one pixel column from y0 to y1 (either order).
template <typename Fill>
void Column(Fill& fill, int x, int y0, int y1)
{
    fill(QRect(x, std::min(y0, y1), 1, std::abs(y1 - y0) + 1));
}

} // namespace

OverviewCanvas::OverviewCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName("OverviewCanvas");
    setAccessibleName("Recording overview");
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OverviewCanvas::setSource(OverviewColumns* columns, const OverviewSummary* summary, int64_t scans,
                               double scanInterval)
{
    columns_ = columns;
    summary_ = summary;
    span_ = OverviewSpan(scans);
    scanInterval_ = scanInterval > 0.0 ? scanInterval : 1.0;
    cursor_ = std::clamp(static_cast<double>(position_), 0.0, span_.Scans());
    anchor_.reset();
    changed();
}

void OverviewCanvas::setStyle(std::vector<QColor> aiColors, std::vector<OverviewLine> diLines)
{
    aiColors_ = std::move(aiColors);
    diLines_ = std::move(diLines);
    refresh();
}

void OverviewCanvas::refresh()
{
    stale_ = true;
    update();
}

void OverviewCanvas::setPosition(int64_t scan)
{
    if (scan == position_)
        return;
    position_ = scan;
    update();
}

QRect OverviewCanvas::plotArea() const
{
    const int lanes = static_cast<int>(diLines_.size()) * kLaneHeight;
    return {0, 0, width(), std::max(0, height() - kAxisHeight - lanes)};
}

QRect OverviewCanvas::laneArea(size_t line) const
{
    return {0, plotArea().bottom() + 1 + static_cast<int>(line) * kLaneHeight, width(), kLaneHeight};
}

double OverviewCanvas::scanAt(double x) const
{
    return span_.First() + span_.Length() * std::clamp(x, 0.0, static_cast<double>(width())) / std::max(width(), 1);
}

double OverviewCanvas::xOf(double scan) const
{
    return span_.Length() > 0.0 ? (scan - span_.First()) / span_.Length() * width() : 0.0;
}

void OverviewCanvas::changed()
{
    stale_ = true;
    update();
    emit viewChanged();
}

void OverviewCanvas::resizeEvent(QResizeEvent*) { stale_ = true; }

void OverviewCanvas::paintEvent(QPaintEvent*)
{
    if (stale_ || frame_.size() != size())
        render();
    QPainter painter(this);
    painter.drawImage(rect(), frame_);
    if (anchor_) {
        const double a = xOf(*anchor_), b = xOf(cursor_);
        painter.fillRect(QRectF(std::min(a, b), 0, std::abs(b - a), height()), QColor(255, 255, 255, 60));
    }
    painter.setPen(kPositionColor);
    const int at = static_cast<int>(std::floor(xOf(static_cast<double>(position_))));
    painter.drawLine(at, 0, at, height() - kAxisHeight);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
        const int cursorX = static_cast<int>(std::floor(xOf(cursor_)));
        painter.drawLine(cursorX, 0, cursorX, height() - kAxisHeight);
    }
}

// The picture in an image of its own, made again only when the span, the
// size or the summary changed: the position line alone costs no picture.
void OverviewCanvas::render()
{
    stale_ = false;
    if (frame_.size() != size())
        frame_ = QImage(size(), QImage::Format_RGB32);
    frame_.fill(kBackground);
    QPainter painter(&frame_);
    failure_.clear();
    shown_ = ValueSpan{};
    if (columns_ != nullptr && span_.Length() > 0.0 && width() > 0) {
        try {
            columns_->Draw(span_.First(), span_.End(), width(), picture_);
            drawAI(painter, plotArea());
            drawDI(painter);
            drawUnbuilt(painter);
        } catch (const std::exception& error) {
            failure_ = QString::fromLocal8Bit(error.what());
        }
    }
    drawAxis(painter);
}

void OverviewCanvas::drawAI(QPainter& painter, const QRect& area)
{
    ValueSpan all;
    for (const std::vector<ValueSpan>& columns : picture_.ai)
        for (const ValueSpan& column : columns)
            if (std::isfinite(column.min) && std::isfinite(column.max))
                all.Add(column);
    shown_ = all;
    if (all.Empty() || area.height() < 2)
        return;
    const double margin = std::max((static_cast<double>(all.max) - all.min) * 0.05, 1e-6);
    const double low = all.min - margin, high = all.max + margin;
    auto yOf = [&](double value) {
        const double y = area.bottom() - (value - low) / (high - low) * (area.height() - 1);
        return static_cast<int>(std::lround(std::clamp(y, static_cast<double>(area.top()), double(area.bottom()))));
    };
    // The scale's ends: each beside a tick at its height, inside the traces' span.
    const int highest = yOf(all.max), lowest = yOf(all.min);
    painter.setPen(kAxisColor);
    painter.drawLine(0, highest, 4, highest);
    painter.drawLine(0, lowest, 4, lowest);
    drawLabel(painter, QString::number(all.max, 'g', 4), highest + 2, true, kAxisColor, area);
    drawLabel(painter, QString::number(all.min, 'g', 4), lowest - 2, false, kAxisColor, area);
    // In the chart's order, so the later channels lie on top as they do there.
    for (size_t ch = 0; ch < picture_.ai.size(); ++ch) {
        if (picture_.samples) {
            drawSamples(painter, area, ch, low, high);
            continue;
        }
        const QColor color = ch < aiColors_.size() ? aiColors_[ch] : QColor(Qt::green);
        const std::optional<kro::DirectPixels> direct = kro::DirectPixels::on(painter, color);
        auto fill = [&](const QRect& r) {
            if (direct)
                direct->fill(r);
            else
                painter.fillRect(r, color);
        };
        const std::vector<ValueSpan>& columns = picture_.ai[ch];
        const ValueSpan* previous = nullptr;
        for (size_t c = 0; c < columns.size(); ++c) {
            const ValueSpan& column = columns[c];
            if (column.Empty()) {
                previous = nullptr; // a gap stays a gap
                continue;
            }
            // Reaching to the column before joins the trace where it steps.
            const double top = previous ? std::max<double>(column.max, previous->min) : column.max;
            const double bottom = previous ? std::min<double>(column.min, previous->max) : column.min;
            Column(fill, static_cast<int>(c), yOf(top), yOf(bottom));
            previous = &column;
        }
    }
}

// Zoomed in past one scan a column: the scans themselves, joined, and marked
// when there is room; a gap breaks the line. Each join is drawn as the pixel
// columns it crosses, each from where the line enters it to where it leaves.
void OverviewCanvas::drawSamples(QPainter& painter, const QRect& area, size_t channel, double low, double high)
{
    const QColor color = channel < aiColors_.size() ? aiColors_[channel] : QColor(Qt::green);
    const std::optional<kro::DirectPixels> direct = kro::DirectPixels::on(painter, color);
    auto fill = [&](const QRect& r) {
        if (direct)
            direct->fill(r);
        else
            painter.fillRect(r, color);
    };
    const std::vector<ValueSpan>& scans = picture_.ai[channel];
    const bool marked = static_cast<double>(scans.size()) * 6.0 < width();
    std::optional<QPointF> previous;
    for (size_t i = 0; i < scans.size(); ++i) {
        if (scans[i].Empty()) {
            previous.reset();
            continue;
        }
        const double value = std::clamp<double>(scans[i].max, low, high);
        const QPointF point(xOf(static_cast<double>(picture_.firstScan) + static_cast<double>(i)),
                            area.bottom() - (value - low) / (high - low) * (area.height() - 1));
        if (previous) {
            const double slope = (point.y() - previous->y()) / std::max(point.x() - previous->x(), 1e-9);
            const int from = std::max(0, static_cast<int>(std::floor(previous->x())));
            const int to = std::min(width() - 1, static_cast<int>(std::floor(point.x())));
            for (int x = from; x <= to; ++x) {
                const double enter = previous->y() + slope * (std::max<double>(x, previous->x()) - previous->x());
                const double leave = previous->y() + slope * (std::min<double>(x + 1, point.x()) - previous->x());
                Column(fill, x, static_cast<int>(std::lround(enter)), static_cast<int>(std::lround(leave)));
            }
        }
        if (marked)
            fill(QRect(static_cast<int>(point.x()) - 1, static_cast<int>(point.y()) - 1, 3, 3));
        previous = point;
    }
}

void OverviewCanvas::drawDI(QPainter& painter)
{
    for (size_t line = 0; line < diLines_.size(); ++line) {
        const OverviewLine& di = diLines_[line];
        if (di.port < 0 || static_cast<size_t>(di.port) >= picture_.di.size())
            continue;
        drawLabel(painter, di.name, laneArea(line).top() + 1, true, kAxisColor, laneArea(line));
        const QRect lane = laneArea(line).adjusted(0, 2, 0, -2);
        const auto bit = static_cast<uint8_t>(1u << di.bit);
        const std::optional<kro::DirectPixels> direct = kro::DirectPixels::on(painter, di.color);
        auto fill = [&](const QRect& r) {
            if (direct)
                direct->fill(r);
            else
                painter.fillRect(r, di.color);
        };
        const std::vector<PortSpan>& spans = picture_.di[static_cast<size_t>(di.port)];
        for (size_t i = 0; i < spans.size(); ++i) {
            if (spans[i].Empty())
                continue;
            const bool high = (spans[i].always & bit) != 0;
            const bool low = (spans[i].ever & bit) == 0;
            int x0 = static_cast<int>(i), x1 = static_cast<int>(i) + 1;
            if (picture_.samples) {
                x0 = static_cast<int>(
                    std::floor(xOf(static_cast<double>(picture_.firstScan + static_cast<int64_t>(i)))));
                x1 = static_cast<int>(
                    std::floor(xOf(static_cast<double>(picture_.firstScan + static_cast<int64_t>(i) + 1))));
            }
            for (int x = std::max(x0, 0); x < std::max(x1, x0 + 1) && x < width(); ++x) {
                if (high)
                    fill(QRect(x, lane.top(), 1, 1));
                else if (low)
                    fill(QRect(x, lane.bottom(), 1, 1));
                else
                    Column(fill, x, lane.top(), lane.bottom()); // both levels within the column
            }
        }
    }
}

// What the summary has not reached yet is shaded (the data files are read
// directly when zoomed in far enough, so nothing is missing then).
void OverviewCanvas::drawUnbuilt(QPainter& painter)
{
    if (summary_ == nullptr || summary_->Finished() || picture_.fromData)
        return;
    const SummaryShape& shape = summary_->Shape();
    const int64_t done = shape.aiChannels > 0 ? summary_->AIDone() : summary_->DIDone();
    const int from = std::max(0, static_cast<int>(std::ceil(xOf(static_cast<double>(done)))));
    if (from < width())
        painter.fillRect(QRect(from, 0, width() - from, height() - kAxisHeight), kUnbuilt);
}

ValueSpan OverviewCanvas::shownValues()
{
    if (stale_ || frame_.size() != size())
        render();
    return shown_;
}

// A label at the left, its top at `y` (`below`) or its bottom there, kept
// within `within`. Drawn before the traces, so that no trace is ever hidden
// under a label.
void OverviewCanvas::drawLabel(QPainter& painter, const QString& text, int y, bool below, const QColor& color,
                               const QRect& within)
{
    QFont small = font();
    small.setPixelSize(kLaneHeight - 4);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    const int h = metrics.height();
    const int top = std::clamp(below ? y : y + 1 - h, within.top(), std::max(within.top(), within.bottom() + 1 - h));
    painter.setPen(color);
    painter.drawText(QRect(6, top, metrics.horizontalAdvance(text) + 4, h), Qt::AlignLeft | Qt::AlignVCenter, text);
}

void OverviewCanvas::drawAxis(QPainter& painter)
{
    const QRect axis(0, height() - kAxisHeight, width(), kAxisHeight);
    painter.fillRect(axis, kBackground);
    painter.setPen(kAxisColor);
    painter.drawLine(axis.topLeft(), axis.topRight());
    const double from = span_.First() * scanInterval_, to = span_.End() * scanInterval_;
    const std::vector<double> ticks = TimeTicks(from, to, std::max(1, width() / 90));
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : to - from;
    for (double tick : ticks) {
        const int x = static_cast<int>(std::lround((tick - from) / (to - from) * width()));
        painter.drawLine(x, axis.top(), x, axis.top() + 4);
        const QString text = QString::fromStdString(SecondsText(tick, step));
        const int textWidth = painter.fontMetrics().horizontalAdvance(text);
        painter.drawText(std::clamp(x - textWidth / 2, 0, std::max(0, width() - textWidth)),
                         axis.bottom() - painter.fontMetrics().descent(), text);
    }
}

void OverviewCanvas::mousePressEvent(QMouseEvent* event)
{
    pressedAt_ = event->position().toPoint();
    pressedFirst_ = span_.First();
    const bool select = event->button() == Qt::RightButton
                        || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (select) {
        drag_ = Drag::Select;
        anchor_ = scanAt(pressedAt_.x());
        cursor_ = *anchor_;
        update();
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Pending;
    }
}

void OverviewCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Pending && std::abs(at.x() - pressedAt_.x()) >= kDragStart)
        drag_ = Drag::Pan;
    if (drag_ == Drag::Pan) {
        const double scansPerPixel = span_.Length() / std::max(width(), 1);
        span_.PanBy(pressedFirst_ - span_.First() - (at.x() - pressedAt_.x()) * scansPerPixel);
        changed();
    } else if (drag_ == Drag::Select) {
        cursor_ = scanAt(at.x());
        update();
    }
}

void OverviewCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const Drag drag = std::exchange(drag_, Drag::None);
    if (drag == Drag::Pending) {
        cursor_ = scanAt(event->position().x());
        emit jumpRequested(static_cast<int64_t>(std::floor(cursor_)));
        changed();
    } else if (drag == Drag::Select && anchor_) {
        const double from = *anchor_;
        anchor_.reset();
        if (std::abs(xOf(from) - xOf(cursor_)) >= kDragStart)
            span_.Show(from, cursor_);
        changed();
    }
}

void OverviewCanvas::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    span_.ZoomAt(scanAt(event->position().x()), std::pow(kWheelStep, notches));
    changed();
}

void OverviewCanvas::moveCursor(double scans, bool select)
{
    if (select && !anchor_)
        anchor_ = cursor_;
    if (!select)
        anchor_.reset();
    cursor_ = std::clamp(cursor_ + scans, 0.0, span_.Scans());
    // The cursor stays in sight: the span follows it.
    if (cursor_ < span_.First())
        span_.PanBy(cursor_ - span_.First());
    else if (cursor_ > span_.End())
        span_.PanBy(cursor_ - span_.End());
    changed();
}

void OverviewCanvas::zoomIn()
{
    if (anchor_) {
        span_.Show(*anchor_, cursor_);
        anchor_.reset();
    } else {
        span_.ZoomAt(cursor_, kKeyZoom);
    }
    changed();
}

void OverviewCanvas::keyPressEvent(QKeyEvent* event)
{
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const double step = std::max(span_.Length() / 100.0, 1.0);
    switch (event->key()) {
    case Qt::Key_Left:
        moveCursor(-step, shift);
        break;
    case Qt::Key_Right:
        moveCursor(step, shift);
        break;
    case Qt::Key_PageUp:
        span_.PanBy(-span_.Length() / 4.0);
        cursor_ = std::clamp(cursor_, span_.First(), span_.End());
        changed();
        break;
    case Qt::Key_PageDown:
        span_.PanBy(span_.Length() / 4.0);
        cursor_ = std::clamp(cursor_, span_.First(), span_.End());
        changed();
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        span_.ZoomAt(cursor_, 1.0 / kKeyZoom);
        changed();
        break;
    case Qt::Key_Home:
        span_.Home();
        anchor_.reset();
        changed();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit jumpRequested(static_cast<int64_t>(std::floor(cursor_)));
        break;
    case Qt::Key_Escape:
        if (anchor_) {
            anchor_.reset();
            changed();
            break;
        }
        QWidget::keyPressEvent(event);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace ondrel
