#pragma once
#include "ondrel/overview/overview_columns.h"
#include "ondrel/overview/overview_span.h"
#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

namespace ondrel {

// One DI line as the overview draws it: bit `bit` of port index `port`, with
// the chart's name and colour for it.
struct OverviewLine {
    int32_t port = 0;
    int bit = 0;
    QColor color;
    QString name;
};

// The drawing of an overview: the AI channels as each pixel column's span
// over one shared scale with its ends marked, the DI lines as named levels
// below them, a time axis in seconds, the replay position and the keyboard
// cursor. Wheel and +/- zoom,
// a drag (PageUp/PageDown) pans, a drag with Shift or the right button (Shift
// with the arrows, then +) zooms to a range, Home shows everything, a click
// (Enter at the cursor) asks for a jump.
class OverviewCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit OverviewCanvas(QWidget* parent);

    // What to draw: `columns` and `summary` stay owned by the caller and must
    // outlive the canvas's use of them (null for nothing).
    void setSource(OverviewColumns* columns, const OverviewSummary* summary, int64_t scans, double scanInterval);
    void setStyle(std::vector<QColor> aiColors, std::vector<OverviewLine> diLines);
    // The summary grew: the picture is made again at the next paint.
    void refresh();
    void setPosition(int64_t scan);

    const OverviewSpan& span() const { return span_; }
    OverviewSpan& span() { return span_; }
    double cursor() const { return cursor_; }
    int64_t position() const { return position_; }
    // The scan under pixel column `x`.
    double scanAt(double x) const;
    // The pixel column of scan `scan`.
    double xOf(double scan) const;
    // The lowest and highest AI value in view, the ends of the picture's
    // scale (empty when there is none). Makes the picture first if it is stale.
    ValueSpan shownValues();
    const std::vector<OverviewLine>& lines() const { return diLines_; }
    // Why the last picture could not be made; empty when it could.
    const QString& failure() const { return failure_; }

signals:
    void jumpRequested(int64_t scan);
    // The shown span, the cursor or the selection moved.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Pending, Pan, Select };

    QRect plotArea() const;
    QRect laneArea(size_t line) const;
    void changed();
    void moveCursor(double scans, bool select);
    void zoomIn();
    void render();
    void drawAI(QPainter& painter, const QRect& area);
    void drawSamples(QPainter& painter, const QRect& area, size_t channel, double low, double high);
    void drawDI(QPainter& painter);
    void drawAxis(QPainter& painter);
    void drawUnbuilt(QPainter& painter);
    void drawLabel(QPainter& painter, const QString& text, int y, bool below, const QColor& color, const QRect& within);

    OverviewColumns* columns_ = nullptr;
    const OverviewSummary* summary_ = nullptr;
    OverviewSpan span_;
    double scanInterval_ = 1.0;
    std::vector<QColor> aiColors_;
    std::vector<OverviewLine> diLines_;

    OverviewPicture picture_;
    ValueSpan shown_;                               // the AI values in view
    std::vector<std::pair<int, float>> valueMarks_; // where the highest and lowest lie
    QImage frame_;
    bool stale_ = true;
    QString failure_;

    int64_t position_ = 0;
    double cursor_ = 0.0;
    std::optional<double> anchor_; // the selection's other end

    Drag drag_ = Drag::None;
    QPoint pressedAt_;
    double pressedFirst_ = 0.0;
};

} // namespace ondrel
