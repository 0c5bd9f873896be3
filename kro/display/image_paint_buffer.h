#pragma once
#include <QImage>
#include <qcustomplot.h>

namespace kro {

// QCustomPlot's paint buffer kept as an image instead of a pixmap. On the
// raster platforms the two cost the same to paint on and to show, but an
// image's pixels can be written directly (see DirectPixels), which is how
// dense traces are drawn.
class ImagePaintBuffer final : public QCPAbstractPaintBuffer {
public:
    ImagePaintBuffer(const QSize& size, double devicePixelRatio);

    QCPPainter* startPainting() override;
    void draw(QCPPainter* painter) const override;
    void clear(const QColor& color) override;

protected:
    void reallocateBuffer() override;

private:
    QImage image_;
};

} // namespace kro
