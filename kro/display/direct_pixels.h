#pragma once
#include <QColor>
#include <QPainter>
#include <QRect>
#include <optional>

namespace kro {

// Opaque rectangles written straight into the image a painter paints on, for
// a trace of thousands of one-pixel spans that Qt would fill one call each.
// Only where the result is exactly what the painter itself would give: an
// image in a 32-bit format, no scaling or rotation, a rectangular clip (or
// none), an opaque colour drawn over (not blended).
class DirectPixels {
public:
    // Empty when the painter's device or state needs Qt to draw.
    static std::optional<DirectPixels> on(QPainter& painter, const QColor& color);

    // `rect` in the painter's coordinates; what falls outside the clip and
    // the image is left alone.
    void fill(const QRect& rect) const;

private:
    DirectPixels() = default;

    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    QRect bounds_;  // the clip within the image, in the image's pixels
    QPoint offset_; // the painter's translation
    quint32 pixel_ = 0;
};

} // namespace kro
