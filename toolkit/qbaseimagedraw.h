#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRect>

// Turns double-resolution skin images into pixels. Every rectangle given here is in
// logical units; the conversion to image pixels happens here and nowhere else.
class QBaseImageDraw
{
public:
    QBaseImageDraw() = default;

    static void drawImage(QPainter &painter, QRect target, QRect source, QImage &image);
    static void drawImage(QPainter *painter, QRect target, QImage &image, QRect source);
    static void drawPixmap(QPainter &painter, QRect target, QRect source, QPixmap &pixmap);
    // One state frame: stretched whole, or as a nine-slice whose corners keep their size.
    static void drawBtnImageBg(QPainter &painter, QRect rect, QImage &frame, bool grid);
    static QPainterPath GetRoundedRectanglePath(QRectF rect, double radius);
    static QPainterPath GetRoundedRectanglePath(double x, double y, double width, double height,
                                                double radius);
};
