#include "kro/display/direct_pixels.h"
#include <QImage>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>

namespace kro {

std::optional<DirectPixels> DirectPixels::on(QPainter& painter, const QColor& color)
{
    QPaintDevice* device = painter.device();
    if (device == nullptr || device->devType() != QInternal::Image || color.alpha() != 255 || painter.opacity() < 1.0
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver
        || painter.testRenderHint(QPainter::Antialiasing))
        return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_ARGB32
        && format != QImage::Format_RGB32)
        return std::nullopt;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx())
        || transform.dy() != std::floor(transform.dy()))
        return std::nullopt;
    DirectPixels pixels;
    pixels.offset_ = QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    pixels.bounds_ = image->rect();
    if (painter.hasClipping()) {
        const QRegion clip = painter.clipRegion();
        if (clip.rectCount() > 1)
            return std::nullopt;
        pixels.bounds_ &= clip.boundingRect().translated(pixels.offset_);
    }
    pixels.bits_ = image->bits();
    pixels.bytesPerLine_ = image->bytesPerLine();
    pixels.pixel_ = color.rgba(); // opaque: the same in all three formats
    return pixels;
}

void DirectPixels::fill(const QRect& rect) const
{
    const QRect area = rect.translated(offset_) & bounds_;
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<quint32*>(bits_ + y * bytesPerLine_);
        std::fill(line + area.left(), line + area.right() + 1, pixel_);
    }
}

} // namespace kro
