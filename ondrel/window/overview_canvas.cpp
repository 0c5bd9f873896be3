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

constexpr double kLabelScale = 0.85; // the labels' size against the window's font
constexpr int kTick = 4;
constexpr int kThinnestLane = 3;   // a row for each level and one between
constexpr int kLeastPlot = 40;     // rows the AI traces keep however many lanes there are
constexpr int kWidestGutter = 120; // longer names are elided
// As wide as the widest value the scale's ends can show ('g', 4 digits).
const QString kWidestValue = "-8.888e-88";
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

QFont LabelFont(const QFont& windowFont)
{
    QFont small = windowFont;
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * kLabelScale);
    else
        small.setPixelSize(std::max(1, static_cast<int>(small.pixelSize() * kLabelScale)));
    return small;
}

} // namespace

OverviewCanvas::OverviewCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName("OverviewCanvas");
    setAccessibleName("Recording overview");
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fitLabels();
}

// The labels have a strip of their own at the left, as wide as the widest of
// them can be, so that no label hides a trace and no trace hides a label, and
// the columns do not shift as the values in view change. Lanes and the time
// axis grow with the font, so that their text stays readable at any scale.
void OverviewCanvas::fitLabels()
{
    labelFont_ = LabelFont(font());
    const QFontMetrics metrics(labelFont_);
    int widest = metrics.horizontalAdvance(kWidestValue);
    for (const OverviewLine& line : diLines_)
        widest = std::max(widest, metrics.horizontalAdvance(line.name));
    gutter_ = std::min(widest, kWidestGutter) + 2 * kTick;
    labelHeight_ = metrics.height();
    axisHeight_ = QFontMetrics(font()).height() + 8;
    const int lanes = static_cast<int>(diLines_.size()) * kThinnestLane;
    setMinimumSize(200, std::max(120, axisHeight_ + lanes + (aiColors_.empty() ? 0 : kLeastPlot)));
    stale_ = true;
}

int OverviewCanvas::plotWidth() const { return std::max(width() - gutter_, 1); }

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
    fitLabels();
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
    const int lanes = static_cast<int>(diLines_.size()) * laneHeight();
    return {gutter_, 0, plotWidth(), std::max(0, height() - axisHeight_ - lanes)};
}

QRect OverviewCanvas::laneArea(size_t line) const
{
    const int lane = laneHeight();
    return {gutter_, plotArea().bottom() + 1 + static_cast<int>(line) * lane, plotWidth(), lane};
}

// Room for a label in each lane while there is; with many lines the lanes
// thin down, to half the rows when there are AI traces to share them with.
int OverviewCanvas::laneHeight() const
{
    if (diLines_.empty())
        return 0;
    const int rows = std::max(0, height() - axisHeight_);
    const int forLanes = aiColors_.empty() ? rows : rows / 2;
    return std::clamp(forLanes / static_cast<int>(diLines_.size()), kThinnestLane, labelHeight_ + 4);
}

double OverviewCanvas::scanAt(double x) const
{
    const double column = std::clamp(x - gutter_, 0.0, static_cast<double>(plotWidth()));
    return span_.First() + span_.Length() * column / plotWidth();
}

double OverviewCanvas::xOf(double scan) const
{
    return gutter_ + (span_.Length() > 0.0 ? (scan - span_.First()) / span_.Length() * plotWidth() : 0.0);
}

void OverviewCanvas::changed()
{
    stale_ = true;
    update();
    emit viewChanged();
}

void OverviewCanvas::resizeEvent(QResizeEvent*) { stale_ = true; }

void OverviewCanvas::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        fitLabels();
    QWidget::changeEvent(event);
}

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
    // At the very end the line stands in the last column rather than past it.
    const int at = std::min(static_cast<int>(std::floor(xOf(static_cast<double>(position_)))), width() - 1);
    painter.drawLine(at, 0, at, height() - axisHeight_);
    if (hasFocus()) {
        painter.setPen(QPen(QColor(255, 255, 0), 1, Qt::DashLine));
        const int cursorX = static_cast<int>(std::floor(xOf(cursor_)));
        painter.drawLine(cursorX, 0, cursorX, height() - axisHeight_);
    }
    // Text straight onto the widget, sharp at any scale of the screen.
    drawLabels(painter);
    drawAxis(painter);
}

// Where a value lies over an area: the AI values in view, with a twentieth of
// their span to spare at each end so that neither end touches an edge.
struct OverviewScale {
    OverviewScale(const ValueSpan& shown, const QRect& area) : area(area)
    {
        const double margin = std::max((static_cast<double>(shown.max) - shown.min) * 0.05, 1e-6);
        low = shown.min - margin;
        high = shown.max + margin;
    }
    // The height of `value`, clamped to the scale first.
    double y(double value) const
    {
        return area.bottom() - (std::clamp(value, low, high) - low) / (high - low) * (area.height() - 1);
    }
    int row(double value) const { return static_cast<int>(std::lround(y(value))); }

    QRect area;
    double low = 0.0, high = 1.0;
};

// The picture in an image of its own, made again only when the span, the
// size or the summary changed: the position line alone costs no picture. The
// labels' places are settled here; their text is drawn with each paint.
void OverviewCanvas::render()
{
    stale_ = false;
    if (frame_.size() != size())
        frame_ = QImage(size(), QImage::Format_RGB32);
    frame_.fill(kBackground);
    QPainter painter(&frame_);
    failure_.clear();
    shown_ = ValueSpan{};
    labels_.clear();
    if (columns_ != nullptr && span_.Length() > 0.0 && width() > 0) {
        try {
            columns_->Draw(span_.First(), span_.End(), plotWidth(), picture_);
            for (const std::vector<ValueSpan>& columns : picture_.ai)
                for (const ValueSpan& column : columns)
                    if (std::isfinite(column.min) && std::isfinite(column.max))
                        shown_.Add(column);
            std::optional<OverviewScale> scale;
            if (!shown_.Empty() && plotArea().height() >= 2)
                scale.emplace(shown_, plotArea());
            placeLabels(painter, scale ? &*scale : nullptr);
            painter.setClipRect(QRect(gutter_, 0, plotWidth(), height()));
            if (scale)
                drawAI(painter, *scale);
            drawDI(painter);
            drawUnbuilt(painter);
            if (picture_.cutShortAt) {
                const double at = static_cast<double>(*picture_.cutShortAt) * scanInterval_;
                failure_ = QString("The data files have been cut short since the recording was opened: nothing "
                                   "is left of them from %1 on")
                               .arg(QString::fromStdString(SecondsText(at, scanInterval_)));
            }
        } catch (const std::exception& error) {
            failure_ = QString::fromLocal8Bit(error.what());
        }
    }
}

// In the gutter: the scale's ends, each by a tick at its height with its
// value beside it, and each DI lane's name.
void OverviewCanvas::placeLabels(QPainter& painter, const OverviewScale* scale)
{
    const int h = labelHeight_;
    // Elided once here, not at every paint.
    const QFontMetrics metrics(labelFont_);
    auto place = [&](int top, const QString& text) {
        labels_.push_back({top, metrics.elidedText(text, Qt::ElideRight, gutter_ - 2 * kTick)});
    };
    painter.setPen(kAxisColor);
    painter.drawLine(gutter_ - 1, 0, gutter_ - 1, plotArea().bottom());
    if (scale != nullptr) {
        const int highest = scale->row(shown_.max), lowest = scale->row(shown_.min);
        painter.drawLine(gutter_ - kTick, highest, gutter_ - 1, highest);
        painter.drawLine(gutter_ - kTick, lowest, gutter_ - 1, lowest);
        // Each value level with its tick, kept in the plot's rows; ends too
        // close together for two labels are stacked, the highest above.
        const int lastTop = std::max(0, scale->area.bottom() + 1 - h);
        const int highTop = std::clamp(highest - h / 2, 0, std::max(0, lastTop - h));
        const int lowTop = std::clamp(lowest - h / 2, highTop + h, std::max(lastTop, highTop + h));
        place(highTop, QString::number(shown_.max, 'g', 4));
        if (shown_.min != shown_.max)
            place(lowTop, QString::number(shown_.min, 'g', 4));
    }
    // Lanes thinner than a label take turns, so that no two names overlap.
    const size_t every = diLines_.empty() ? 1 : static_cast<size_t>((h + laneHeight() - 1) / laneHeight());
    for (size_t line = 0; line < diLines_.size(); line += every) {
        const int32_t port = diLines_[line].port;
        if (port >= 0 && static_cast<size_t>(port) < picture_.di.size())
            place(laneArea(line).center().y() + 1 - h / 2, diLines_[line].name);
    }
}

// Each label right-aligned against the gutter's ticks.
void OverviewCanvas::drawLabels(QPainter& painter) const
{
    painter.setFont(labelFont_);
    painter.setPen(kAxisColor);
    for (const Label& label : labels_)
        painter.drawText(QRect(kTick, label.top, gutter_ - 2 * kTick, labelHeight_), Qt::AlignRight | Qt::AlignVCenter,
                         label.text);
}

void OverviewCanvas::drawAI(QPainter& painter, const OverviewScale& scale)
{
    // In the chart's order, so the later channels lie on top as they do there.
    for (size_t ch = 0; ch < picture_.ai.size(); ++ch) {
        if (picture_.samples) {
            drawSamples(painter, scale, ch);
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
            Column(fill, gutter_ + static_cast<int>(c), scale.row(top), scale.row(bottom));
            previous = &column;
        }
    }
}

// Zoomed in past one scan a column: the scans themselves, joined, and marked
// when there is room; a gap breaks the line. Each join is drawn as the pixel
// columns it crosses, each from where the line enters it to where it leaves.
void OverviewCanvas::drawSamples(QPainter& painter, const OverviewScale& scale, size_t channel)
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
    const bool marked = static_cast<double>(scans.size()) * 6.0 < plotWidth();
    std::optional<QPointF> previous;
    for (size_t i = 0; i < scans.size(); ++i) {
        if (scans[i].Empty()) {
            previous.reset();
            continue;
        }
        const QPointF point(xOf(static_cast<double>(picture_.firstScan) + static_cast<double>(i)),
                            scale.y(scans[i].max));
        if (previous) {
            const double slope = (point.y() - previous->y()) / std::max(point.x() - previous->x(), 1e-9);
            const int from = std::max(gutter_, static_cast<int>(std::floor(previous->x())));
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
        // The levels a row or two inside the lane, apart from the next one's.
        const int inset = laneHeight() >= 8 ? 2 : laneHeight() >= 5 ? 1 : 0;
        const QRect lane = laneArea(line).adjusted(0, inset, 0, -inset);
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
            int x0 = gutter_ + static_cast<int>(i), x1 = x0 + 1;
            if (picture_.samples) {
                x0 = static_cast<int>(
                    std::floor(xOf(static_cast<double>(picture_.firstScan + static_cast<int64_t>(i)))));
                x1 = static_cast<int>(
                    std::floor(xOf(static_cast<double>(picture_.firstScan + static_cast<int64_t>(i) + 1))));
            }
            for (int x = std::max(x0, gutter_); x < std::max(x1, x0 + 1) && x < width(); ++x) {
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
    const int from = std::max(gutter_, static_cast<int>(std::ceil(xOf(static_cast<double>(done)))));
    if (from < width())
        painter.fillRect(QRect(from, 0, width() - from, height() - axisHeight_), kUnbuilt);
}

ValueSpan OverviewCanvas::shownValues()
{
    if (stale_ || frame_.size() != size())
        render();
    return shown_;
}

void OverviewCanvas::drawAxis(QPainter& painter) const
{
    const QRect axis(0, height() - axisHeight_, width(), axisHeight_);
    painter.fillRect(axis, kBackground);
    painter.setPen(kAxisColor);
    painter.setFont(font());
    painter.drawLine(gutter_ - 1, axis.top(), axis.right(), axis.top());
    const double from = span_.First() * scanInterval_, to = span_.End() * scanInterval_;
    const std::vector<double> ticks = TimeTicks(from, to, std::max(1, plotWidth() / 90));
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : to - from;
    for (double tick : ticks) {
        const int x = gutter_ + static_cast<int>(std::lround((tick - from) / (to - from) * plotWidth()));
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
        const double scansPerPixel = span_.Length() / plotWidth();
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
