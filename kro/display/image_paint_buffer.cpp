#include "kro/display/image_paint_buffer.h"

namespace kro {

ImagePaintBuffer::ImagePaintBuffer(const QSize& size, double devicePixelRatio)
    : QCPAbstractPaintBuffer(size, devicePixelRatio)
{
    reallocateBuffer();
}

QCPPainter* ImagePaintBuffer::startPainting()
{
    auto* painter = new QCPPainter(&image_);
    painter->setRenderHint(QPainter::Antialiasing);
    return painter;
}

void ImagePaintBuffer::draw(QCPPainter* painter) const
{
    if (painter != nullptr && painter->isActive())
        painter->drawImage(0, 0, image_);
}

void ImagePaintBuffer::clear(const QColor& color) { image_.fill(color); }

void ImagePaintBuffer::reallocateBuffer()
{
    setInvalidated();
    image_ = QImage(mSize * mDevicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(mDevicePixelRatio);
}

} // namespace kro
