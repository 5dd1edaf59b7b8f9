#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

// Drawing of double-resolution skin images. Source rectangles are in logical units (half
// the image's pixels); nothing else in this folder converts them.
namespace SkinPaint {

void drawImage(QPainter &painter, const QRect &target, const QRect &source, const QImage &image);
// One state frame: stretched whole, or as a nine-slice whose corners keep their size.
void drawFrame(QPainter &painter, const QRect &target, const QImage &frame, bool grid);

} // namespace SkinPaint
