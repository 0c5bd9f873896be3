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

struct OverviewScale;

// One DI line as the overview draws it: bit `bit` of port index `port`, with
// the chart's name and colour for it.
struct OverviewLine {
    int32_t port = 0;
    int bit = 0;
    QColor color;
    QString name;
};

// The drawing of an overview: the AI channels as each pixel column's span
// over one shared scale, the DI lines as levels below them, a gutter at the
// left with the scale's ends and the lines' names, a time axis in seconds,
// the replay position and the keyboard cursor. Wheel and +/- zoom, a drag
// (PageUp/PageDown) pans, a drag with Shift or the right button (Shift
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
    // The pixel column where the data begin, right of the labels.
    int plotLeft() const { return gutter_; }
    // The rows of DI line `line` (its name stands left of them).
    QRect laneArea(size_t line) const;
    // The lowest and highest AI value in view, the ends of the picture's
    // scale (empty when there is none). Makes the picture first if it is stale.
    ValueSpan shownValues();
    const std::vector<QColor>& channelColors() const { return aiColors_; }
    const std::vector<OverviewLine>& lines() const { return diLines_; }
    // Why the last picture could not be made, or what it lacks; empty when it
    // is whole.
    const QString& failure() const { return failure_; }

signals:
    void jumpRequested(int64_t scan);
    // The shown span, the cursor or the selection moved.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Pending, Pan, Select };

    void fitLabels();
    int plotWidth() const;
    int laneHeight() const;
    QRect plotArea() const;
    void changed();
    void moveCursor(double scans, bool select);
    void zoomIn();
    void render();
    void placeLabels(QPainter& painter, const OverviewScale* scale);
    void drawLabels(QPainter& painter) const;
    void drawAI(QPainter& painter, const OverviewScale& scale);
    void drawSamples(QPainter& painter, const OverviewScale& scale, size_t channel);
    void drawDI(QPainter& painter);
    void drawAxis(QPainter& painter) const;
    void drawUnbuilt(QPainter& painter);

    OverviewColumns* columns_ = nullptr;
    const OverviewSummary* summary_ = nullptr;
    OverviewSpan span_;
    double scanInterval_ = 1.0;
    std::vector<QColor> aiColors_;
    std::vector<OverviewLine> diLines_;
    int gutter_ = 0;  // the labels' strip at the left
    QFont labelFont_; // a little smaller than the window's
    int labelHeight_ = 0;
    int axisHeight_ = 0;

    OverviewPicture picture_;
    ValueSpan shown_; // the AI values in view
    struct Label {
        int top = 0;
        QString text;
    };
    std::vector<Label> labels_; // in the gutter, elided to fit
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
