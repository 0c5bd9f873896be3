#include "kro/display/column_graph.h"
#include <algorithm>
#include <cmath>

namespace kro {

namespace {

// Below this many points per column a trace is drawn point by point.
constexpr double kDenseFactor = 2.0;

} // namespace

ColumnGraph::ColumnGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPGraph(keyAxis, valueAxis) {}

void ColumnGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                       const QCPGraphDataContainer::const_iterator& begin,
                                       const QCPGraphDataContainer::const_iterator& end) const
{
    QCPAxis* key = keyAxis();
    const double pixels = key != nullptr ? key->axisRect()->width() : 0.0;
    if (lineData == nullptr || pixels < 1.0 || key->orientation() != Qt::Horizontal || key->rangeReversed()
        || key->scaleType() != QCPAxis::stLinear || static_cast<double>(end - begin) < kDenseFactor * pixels) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    update(key->range().size() / pixels);
    lineData->clear();
    const qint64 from = static_cast<qint64>(std::floor(begin->key / width_));
    const qint64 to = static_cast<qint64>(std::floor((end - 1)->key / width_));
    auto column = std::lower_bound(columns_.begin(), columns_.end(), from,
                                   [](const Column& c, qint64 index) { return c.index < index; });
    lineData->reserve(static_cast<int>(2 * std::min<qint64>(to - from + 1, columns_.end() - column)));
    for (; column != columns_.end() && column->index <= to; ++column) {
        const double x = (static_cast<double>(column->index) + 0.5) * width_;
        // Ending on the value nearer the column's last keeps the joins short.
        const bool falling = column->last < column->first;
        lineData->append(QCPGraphData(x, falling ? column->max : column->min));
        if (column->max != column->min)
            lineData->append(QCPGraphData(x, falling ? column->min : column->max));
    }
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
