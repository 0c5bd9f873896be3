#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <functional>

class QCPAxis;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;

namespace kro {

// Two measuring cursors, A and B: vertical lines at a time on the X axis and
// a read-out box in the plotting area's corner. A left press within a few
// pixels of a line drags it, ahead of any zoom or pan of the mouse mode.
// Hidden, they take no event and draw nothing.
class ChartCursors final : public QObject {
    Q_OBJECT
public:
    ChartCursors(QCustomPlot& plot, QCPAxis& timeAxis, std::function<void()> moved);

    bool shown() const { return shown_; }
    // Showing places A and B at a third and two thirds of the visible span.
    void setShown(bool shown);
    double x(int cursor) const { return x_[static_cast<size_t>(cursor)]; }
    void setX(int cursor, double x);
    // Moves a cursor by `pixels` on the screen.
    void nudge(int cursor, int pixels);
    void setText(const QString& text);
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int cursorNear(double pixelX) const;

    QCustomPlot& plot_;
    QCPAxis& time_;
    std::function<void()> moved_;
    std::array<QCPItemStraightLine*, 2> lines_{};
    QCPItemText* readout_ = nullptr;
    std::array<double, 2> x_{};
    bool shown_ = false;
    int dragging_ = -1;
};

} // namespace kro
