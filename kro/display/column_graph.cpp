#include "kro/display/column_graph.h"
#include "kro/display/direct_pixels.h"
#include <algorithm>
#include <cmath>

namespace kro {

namespace {

// Below this many points per column a trace is drawn point by point.
constexpr double kDenseFactor = 2.0;
// Spans are drawn when at least this many columns share a rectangle on average.
constexpr qint64 kColumnsPerSpan = 4;

} // namespace

ColumnGraph::ColumnGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPGraph(keyAxis, valueAxis) {}

void ColumnGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                       const QCPGraphDataContainer::const_iterator& begin,
                                       const QCPGraphDataContainer::const_iterator& end) const
{
    const double width = denseWidth(end - begin);
    if (lineData == nullptr || width <= 0.0) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    update(width);
    const qint64 from = static_cast<qint64>(std::floor(begin->key / width_));
    const qint64 to = static_cast<qint64>(std::floor((end - 1)->key / width_));
    auto column = std::lower_bound(columns_.begin(), columns_.end(), from,
                                   [](const Column& c, qint64 index) { return c.index < index; });
    lineData->resize(static_cast<qsizetype>(2 * std::min<qint64>(to - from + 1, columns_.end() - column)));
    QCPGraphData* const out = lineData->data();
    qsizetype n = 0;
    // A flat stretch (a digital line that holds its level) needs only its ends.
    auto append = [out, &n](double x, double y) {
        if (n >= 2 && out[n - 1].value == y && out[n - 2].value == y)
            out[n - 1].key = x;
        else
            out[n++] = QCPGraphData(x, y);
    };
    // A column whose values all fall within one pixel row is one point.
    const QCPAxis* value = valueAxis();
    const bool linear = value != nullptr && value->scaleType() == QCPAxis::stLinear
                        && value->orientation() == Qt::Vertical && value->axisRect()->height() > 0;
    const double rowHeight = linear ? value->range().size() / value->axisRect()->height() : 0.0;
    for (; column != columns_.end() && column->index <= to; ++column) {
        const double x = (static_cast<double>(column->index) + 0.5) * width_;
        if (column->max - column->min < rowHeight) {
            append(x, column->last);
            continue;
        }
        // Each column is drawn from the extreme nearer where the trace stands,
        // so the join to it is short and a busy trace costs half the pixels;
        // the first goes the way its own points went.
        const bool downwards = n > 0
                                   ? std::abs(out[n - 1].value - column->max) < std::abs(out[n - 1].value - column->min)
                                   : column->last < column->first;
        append(x, downwards ? column->max : column->min);
        if (column->max != column->min)
            append(x, downwards ? column->min : column->max);
    }
    lineData->resize(n);
}

void ColumnGraph::draw(QCPPainter* painter)
{
    QCPAxis* key = keyAxis();
    QCPAxis* value = valueAxis();
    const bool plain = key != nullptr && value != nullptr && lineStyle() == lsLine && scatterStyle().isNone()
                       && brush().style() == Qt::NoBrush && selection().isEmpty() && key->range().size() > 0
                       && value->scaleType() == QCPAxis::stLinear && value->orientation() == Qt::Vertical
                       && !value->rangeReversed() && value->range().size() > 0;
    QCPGraphDataContainer::const_iterator begin, end;
    if (plain)
        getVisibleDataBounds(begin, end, QCPDataRange(0, dataCount()));
    if (!plain || denseWidth(end - begin) <= 0.0) {
        QCPGraph::draw(painter);
        return;
    }
    applyDefaultAntialiasingHint(painter);
    // Spans show what a one-pixel aliased line shows, on a raster image only:
    // a vector file keeps the polyline, and a scaled picture is Qt's to draw.
    const bool spans = pen().style() == Qt::SolidLine && pen().widthF() <= 1.0
                       && !painter->testRenderHint(QPainter::Antialiasing)
                       && !painter->modes().testFlag(QCPPainter::pmVectorized)
                       && painter->deviceTransform().type() <= QTransform::TxTranslate;
    if (spans && drawSpans(painter, begin, end))
        return;
    getOptimizedLineData(&shown_, begin, end);
    // Both axes are linear and not reversed: coordToPixel's own arithmetic,
    // step for step, so the trace lands on the rows the grid and cursors use.
    const QRect area = key->axisRect()->rect();
    const QCPRange keys = key->range();
    const QCPRange values = value->range();
    pixels_.resize(shown_.size());
    const QCPGraphData* from = shown_.constData();
    QPointF* to = pixels_.data();
    bool gaps = false; // NaN values break the line
    for (qsizetype i = 0; i < shown_.size(); ++i) {
        to[i] = QPointF((from[i].key - keys.lower) / keys.size() * area.width() + area.left(),
                        area.bottom() - (from[i].value - values.lower) / values.size() * area.height());
        gaps = gaps || std::isnan(from[i].value);
    }
    painter->setPen(pen());
    painter->setBrush(Qt::NoBrush);
    if (gaps || pen().style() == Qt::NoPen) {
        drawLinePlot(painter, pixels_);
        return;
    }
    painter->drawPolyline(pixels_.constData(), static_cast<int>(pixels_.size()));
}

bool ColumnGraph::drawSpans(QCPPainter* painter, const QCPGraphDataContainer::const_iterator& begin,
                            const QCPGraphDataContainer::const_iterator& end)
{
    update(denseWidth(end - begin));
    const qint64 from = static_cast<qint64>(std::floor(begin->key / width_));
    const qint64 to = static_cast<qint64>(std::floor((end - 1)->key / width_));
    auto column = std::lower_bound(columns_.begin(), columns_.end(), from,
                                   [](const Column& c, qint64 index) { return c.index < index; });
    // coordToPixel's arithmetic, as the polyline maps its points. An aliased
    // line lights the pixel a point falls in (the floor, not the nearest), so
    // a span starts in the pixel where Qt would draw the column's middle and
    // covers the rows its extremes fall in: a trace keeps its pixels when it
    // grows dense.
    const QRect area = keyAxis()->axisRect()->rect();
    const QCPRange keys = keyAxis()->range();
    const QCPRange values = valueAxis()->range();
    auto pixelX = [&](double key) { return (key - keys.lower) / keys.size() * area.width() + area.left(); };
    auto pixelY = [&](double value) { return area.bottom() - (value - values.lower) / values.size() * area.height(); };
    auto pixel = [](double coordinate) { return static_cast<int>(std::floor(coordinate)); };
    auto middle = [&](qint64 index) { return pixelX((static_cast<double>(index) + 0.5) * width_); };
    spans_.clear();
    joins_.clear();
    // Written straight into the chart's image the spans cost next to nothing.
    // Elsewhere Qt fills a rectangle at a cost per rectangle and per pixel
    // row: a trace whose rows change in most columns (an analog signal) is
    // drawn faster as one line, a level or a busy digital line as a few
    // rectangles.
    const std::optional<DirectPixels> direct = DirectPixels::on(*painter, pen().color());
    const qint64 mostSpans = (to - from + 1) / kColumnsPerSpan;
    const int first = pixel(middle(from));
    qint64 previous = from - 2; // no column drawn yet
    for (; column != columns_.end() && column->index <= to; ++column) {
        if (std::isnan(column->min) || std::isnan(column->max) || std::isnan(column->first) || std::isnan(column->last))
            return false;
        double low = column->min;
        double high = column->max;
        // The step to the next column is drawn in this one, where Qt's segment
        // from this column's last point to the next one's first runs; past
        // empty columns it is a line across them.
        const auto next = column + 1;
        if (next != columns_.end() && next->index <= to) {
            if (next->index == column->index + 1) {
                low = std::min(low, next->first);
                high = std::max(high, next->first);
            } else {
                joins_.append(
                    QLineF(middle(column->index), pixelY(column->last), middle(next->index), pixelY(next->first)));
            }
        }
        const bool adjacent = previous + 1 == column->index;
        previous = column->index;
        // Columns are one pixel wide: counted from the first, so that middles
        // falling on a pixel's edge cannot put two columns on one pixel.
        const int left = first + static_cast<int>(column->index - from);
        const int top = pixel(pixelY(high));
        const int bottom = pixel(pixelY(low));
        // A level held over several columns is one rectangle, and so is a
        // busy digital line that crosses between the same rows in each.
        QRect* last = spans_.isEmpty() ? nullptr : &spans_.last();
        if (adjacent && last->top() == top && last->bottom() == bottom)
            last->setRight(left);
        else
            spans_.append(QRect(left, top, 1, bottom - top + 1));
        if (!direct && spans_.size() > mostSpans)
            return false;
    }
    if (direct) {
        for (const QRect& span : spans_)
            direct->fill(span);
    } else {
        painter->setPen(Qt::NoPen);
        painter->setBrush(pen().color());
        painter->drawRects(spans_.constData(), static_cast<int>(spans_.size()));
        painter->setBrush(Qt::NoBrush);
    }
    if (!joins_.isEmpty()) {
        painter->setPen(pen());
        painter->drawLines(joins_.constData(), static_cast<int>(joins_.size()));
    }
    return true;
}

void ColumnGraph::clearData()
{
    mDataContainer->clear();
    columns_.clear();
    counted_ = 0;
}

double ColumnGraph::denseWidth(qsizetype points) const
{
    QCPAxis* key = keyAxis();
    const double pixels = key != nullptr ? key->axisRect()->width() : 0.0;
    if (pixels < 1.0 || key->orientation() != Qt::Horizontal || key->rangeReversed()
        || key->scaleType() != QCPAxis::stLinear || static_cast<double>(points) < kDenseFactor * pixels)
        return 0.0;
    return key->range().size() / pixels;
}

QCPRange ColumnGraph::shownValueRange(bool& found, const QCPRange& keys) const
{
    found = false;
    const auto begin = mDataContainer->findBegin(keys.lower, false);
    const auto end = mDataContainer->findEnd(keys.upper, false);
    const double width = denseWidth(end - begin);
    if (width <= 0.0)
        return getValueRange(found, QCP::sdBoth, keys);
    update(width);
    // The columns the drawing takes in: from the one of the first point drawn
    // to the one of the last.
    const qint64 from = static_cast<qint64>(std::floor(begin->key / width_));
    const qint64 to = static_cast<qint64>(std::floor((end - 1)->key / width_));
    QCPRange range;
    auto column = std::lower_bound(columns_.begin(), columns_.end(), from,
                                   [](const Column& c, qint64 index) { return c.index < index; });
    for (; column != columns_.end() && column->index <= to; ++column) {
        if (std::isnan(column->min) || std::isnan(column->max))
            continue;
        if (!found)
            range = QCPRange(column->min, column->max);
        range.expand(QCPRange(column->min, column->max));
        found = true;
    }
    return range;
}

void ColumnGraph::update(double width) const
{
    const QCPGraphDataContainer& data = *mDataContainer;
    if (data.isEmpty()) {
        columns_.clear();
        counted_ = 0;
        return;
    }
    if (columns_.empty() || std::abs(width - width_) > width_ * 1e-9) {
        rebuild(width);
        return;
    }
    dropBefore(data.constBegin()->key);
    if (columns_.empty()) { // every point counted was trimmed away
        rebuild(width);
        return;
    }
    // Points after the newest one counted are the ones that arrived.
    for (auto it = data.findEnd(lastKey_, false); it != data.constEnd(); ++it)
        add(it->key, it->value);
    if (counted_ != data.size())
        rebuild(width);
}

void ColumnGraph::rebuild(double width) const
{
    ++rebuilds_;
    width_ = width;
    columns_.clear();
    counted_ = 0;
    for (const QCPGraphData& point : *mDataContainer)
        add(point.key, point.value);
}

void ColumnGraph::add(double key, double value) const
{
    lastKey_ = key;
    ++counted_;
    const auto index = static_cast<qint64>(std::floor(key / width_));
    if (columns_.empty() || columns_.back().index != index) {
        columns_.push_back({index, value, value, value, value, 1});
        return;
    }
    Column& column = columns_.back();
    column.last = value;
    column.min = std::min(column.min, value);
    column.max = std::max(column.max, value);
    ++column.count;
}

// The oldest points were trimmed: whole columns go, and the one the new first
// point lies in is counted again from the points it still holds.
void ColumnGraph::dropBefore(double key) const
{
    const auto index = static_cast<qint64>(std::floor(key / width_));
    while (!columns_.empty() && columns_.front().index < index) {
        counted_ -= columns_.front().count;
        columns_.pop_front();
    }
    if (columns_.empty() || columns_.front().index != index)
        return;
    const double end = static_cast<double>(index + 1) * width_;
    Column fresh{index, 0, 0, 0, 0, 0};
    for (auto it = mDataContainer->constBegin(); it != mDataContainer->constEnd() && it->key < end; ++it) {
        if (fresh.count == 0)
            fresh = {index, it->value, it->value, it->value, it->value, 0};
        fresh.last = it->value;
        fresh.min = std::min(fresh.min, it->value);
        fresh.max = std::max(fresh.max, it->value);
        ++fresh.count;
    }
    counted_ += fresh.count - columns_.front().count;
    columns_.front() = fresh;
}

} // namespace kro
