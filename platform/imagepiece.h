#pragma once

#include <QImage>
#include <QRectF>
#include <QVector>

class QPainter;

// One part of an image (source) and where it is drawn in a view (destination).
struct ImagePiece
{
    QRectF source;
    QRectF destination;

    bool operator==(const ImagePiece &other) const
    {
        return source == other.source && destination == other.destination;
    }

    // The pieces' geometry is computed with the origin at the bottom left; this turns
    // such a rectangle into Qt's top-left coordinates within a height.
    static QRectF fromBottomLeft(const QRectF &rect, qreal height);
    static QSizeF logicalSize(const QImage &image);
    static void drawAll(QPainter &painter, const QImage &image, const QVector<ImagePiece> &pieces);
};
