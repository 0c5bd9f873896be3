#pragma once
#include <deque>
#include <qcustomplot.h>

namespace kro {

// A graph that draws only what the pixels can show: a trace denser than two
// points per pixel column is drawn as each column's lowest and highest value.
// The columns lie on a fixed grid of x, one pixel wide, so a strip chart that
// scrolls keeps them; they are kept up to date with the points that arrived
// since the last frame and built afresh only when the column width changes or
// the data changed in a way appending and trimming cannot explain. A sparse
// trace is drawn point by point as before.
class ColumnGraph final : public QCPGraph {
    Q_OBJECT
public:
    ColumnGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // Empties the data and the columns with it: points that come back at the
    // same times, as many as before, would otherwise pass for the old ones.
    void clearData();

    // Full rebuilds of the columns so far, for tests and benchmarks.
    int rebuilds() const { return rebuilds_; }

    // The lowest and highest value the chart shows of the points in `keys`:
    // for a dense trace the extremes of the columns it draws there, without a
    // pass over every point; for a sparse one the points themselves.
    QCPRange shownValueRange(bool& found, const QCPRange& keys) const;

protected:
    // A dense plain line is drawn here, as each pixel column's span on the
    // screen, or mapped to pixels as one polyline where spans cannot be used;
    // anything else QCustomPlot draws.
    void draw(QCPPainter* painter) override;
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;

private:
    struct Column {
        qint64 index;
        double first, last, min, max;
        int count;
    };

    // The column width for the key axis as it is now; 0 when the trace is
    // drawn point by point.
    double denseWidth(qsizetype points) const;
    // Each column as the pixels from its lowest to its highest value, joined
    // to the column after it; false, with nothing drawn, for columns holding
    // a gap (NaN), which the polyline shows.
    bool drawSpans(QCPPainter* painter, const QCPGraphDataContainer::const_iterator& begin,
                   const QCPGraphDataContainer::const_iterator& end);
    void update(double width) const;
    void rebuild(double width) const;
    void add(double key, double value) const;
    void dropBefore(double key) const;

    mutable std::deque<Column> columns_;
    mutable double width_ = 0.0;   // of one column, in x
    mutable double lastKey_ = 0.0; // the newest point in the columns
    mutable qint64 counted_ = 0;   // points in the columns
    mutable int rebuilds_ = 0;
    QVector<QCPGraphData> shown_; // reused from frame to frame
    QVector<QPointF> pixels_;
    QVector<QRect> spans_;
    QVector<QLineF> joins_;
};

} // namespace kro
