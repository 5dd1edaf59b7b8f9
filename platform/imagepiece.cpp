#include "imagepiece.h"

#include <QPainter>

QRectF ImagePiece::fromBottomLeft(const QRectF &rect, qreal height)
{
    return QRectF(rect.x(), height - rect.y() - rect.height(), rect.width(), rect.height());
}

void ImagePiece::drawAll(QPainter &painter, const QImage &image, const QVector<ImagePiece> &pieces)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const ImagePiece &piece : pieces)
        painter.drawImage(piece.destination, image, piece.source);
}

QSizeF ImagePiece::logicalSize(const QImage &image)
{
    return QSizeF(image.size()) / image.devicePixelRatio();
}
