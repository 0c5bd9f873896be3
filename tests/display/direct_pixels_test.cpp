#include "kro/display/direct_pixels.h"
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {

QImage Blank()
{
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

// What Qt paints for the same rectangles under the same translation and clip.
QImage PaintedByQt(const std::vector<QRect>& rects, QPoint shift, QRect clip)
{
    QImage image = Blank();
    QPainter painter(&image);
    painter.translate(shift);
    painter.setClipRect(clip);
    for (const QRect& rect : rects)
        painter.fillRect(rect, QColor(255, 128, 0));
    return image;
}

TEST(DirectPixels, WritesWhatQtWouldPaintInsideTheClipAndTheImageOnly)
{
    // A span across the clip's edge, one beyond the image, one inside, a wide level.
    const std::vector<QRect> rects{QRect(3, -5, 1, 20), QRect(38, 20, 1, 30), QRect(10, 8, 1, 3), QRect(-4, 12, 50, 1)};
    const QPoint shift(2, 1);
    const QRect clip(0, 0, 30, 25);
    QImage direct = Blank();
    {
        QPainter painter(&direct);
        painter.translate(shift);
        painter.setClipRect(clip);
        const auto pixels = kro::DirectPixels::on(painter, QColor(255, 128, 0));
        ASSERT_TRUE(pixels.has_value());
        for (const QRect& rect : rects)
            pixels->fill(rect);
    }
    EXPECT_TRUE(direct == PaintedByQt(rects, shift, clip));
}

TEST(DirectPixels, LeavesToQtWhatItCannotWriteExactly)
{
    QImage image = Blank();
    {
        QPainter painter(&image);
        EXPECT_FALSE(kro::DirectPixels::on(painter, QColor(255, 0, 0, 128)).has_value()); // see-through
        painter.scale(2, 2);
        EXPECT_FALSE(kro::DirectPixels::on(painter, Qt::red).has_value());
        painter.resetTransform();
        painter.translate(0.5, 0);
        EXPECT_FALSE(kro::DirectPixels::on(painter, Qt::red).has_value());
        painter.resetTransform();
        QPainterPath round;
        round.addEllipse(0, 0, 20, 20);
        painter.setClipPath(round);
        EXPECT_FALSE(kro::DirectPixels::on(painter, Qt::red).has_value());
        painter.setClipping(false);
        painter.setCompositionMode(QPainter::CompositionMode_Xor);
        EXPECT_FALSE(kro::DirectPixels::on(painter, Qt::red).has_value());
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        EXPECT_TRUE(kro::DirectPixels::on(painter, Qt::red).has_value());
    }
    QImage rgb16(8, 8, QImage::Format_RGB16);
    QPainter onRgb16(&rgb16);
    EXPECT_FALSE(kro::DirectPixels::on(onRgb16, Qt::red).has_value());
    QPixmap pixmap(8, 8);
    QPainter onPixmap(&pixmap);
    EXPECT_FALSE(kro::DirectPixels::on(onPixmap, Qt::red).has_value());
}

} // namespace
