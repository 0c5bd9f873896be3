#pragma once
#include <qcustomplot.h>

namespace kro {

// QCustomPlot with a cheaper way onto the screen. Every frame QCustomPlot
// fills the widget with its background and then blends its paint buffer over
// it. On the chart's black background the buffer can be copied instead: into
// an opaque window's backing store, a premultiplied pixel copied is exactly
// that pixel blended over black, so the fill and the blend both go. The
// frame is painted into an image, whose pixels dense traces write directly.
class ChartCanvas final : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartCanvas(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kro
