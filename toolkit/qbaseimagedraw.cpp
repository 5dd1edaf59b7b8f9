#include "qbaseimagedraw.h"

#include <algorithm>

namespace {

QRectF doubled(const QRect &source)
{
    return QRectF(2.0 * source.x(), 2.0 * source.y(), 2.0 * source.width(), 2.0 * source.height());
}

}

void QBaseImageDraw::drawImage(QPainter &painter, QRect target, QRect source, QImage &image)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(target), image, doubled(source), Qt::AutoColor);
}

void QBaseImageDraw::drawImage(QPainter *painter, QRect target, QImage &image, QRect source)
{
    drawImage(*painter, target, source, image);
}

void QBaseImageDraw::drawPixmap(QPainter &painter, QRect target, QRect source, QPixmap &pixmap)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawPixmap(QRectF(target), pixmap, doubled(source));
}

void QBaseImageDraw::drawBtnImageBg(QPainter &painter, QRect rect, QImage &frame, bool grid)
{
    const int iw = frame.width() / 2;
    const int ih = frame.height() / 2;
    const int X = rect.x();
    const int Y = rect.y();
    const int W = rect.width();
    const int H = rect.height();
    if (!grid) {
        drawImage(painter, rect, QRect(0, 0, iw, ih), frame);
        return;
    }
    // A target smaller than the frame gets smaller corners, cut from the frame's outer edges.
    const int cw = std::min(W, iw) / 3;
    const int ch = std::min(H, ih) / 3;
    const int mw = W - 2 * cw;
    const int mh = H - 2 * ch;
    const int smw = iw - 2 * cw;
    const int smh = ih - 2 * ch;

    drawImage(painter, QRect(X, Y, cw, ch), QRect(0, 0, cw, ch), frame);
    drawImage(painter, QRect(X + W - cw, Y, cw, ch), QRect(iw - cw, 0, cw, ch), frame);
    if (mw > 0)
        drawImage(painter, QRect(X + cw, Y, mw, ch), QRect(cw, 0, smw, ch), frame);
    drawImage(painter, QRect(X, Y + H - ch, cw, ch), QRect(0, ih - ch, cw, ch), frame);
    drawImage(painter, QRect(X + W - cw, Y + H - ch, cw, ch), QRect(iw - cw, ih - ch, cw, ch),
              frame);
    if (mw > 0)
        drawImage(painter, QRect(X + cw, Y + H - ch, mw, ch), QRect(cw, ih - ch, smw, ch), frame);
    if (mh > 0)
        drawImage(painter, QRect(X, Y + ch, cw, mh), QRect(0, ch, cw, smh), frame);
    if (mh != 0)
        drawImage(painter, QRect(X + W - cw, Y + ch, cw, mh), QRect(iw - cw, ch, cw, smh), frame);
    if (mh != 0 && smh != 0)
        drawImage(painter, QRect(X + cw, Y + ch, mw, mh), QRect(cw, ch, smw, smh), frame);
}

QPainterPath QBaseImageDraw::GetRoundedRectanglePath(QRectF rect, double radius)
{
    const double x = rect.x();
    const double y = rect.y();
    const double right = x + rect.width();
    const double bottom = y + rect.height();
    const int half = static_cast<int>(std::min(rect.width(), rect.height())) / 2;
    const double r = radius > half ? half : radius;

    // Quadratic corners with the rectangle's corner as control point, counter-clockwise
    // from the top edge; the last curve ends on the start point, so no explicit close.
    QPainterPath path;
    path.moveTo(right - r, y);
    path.lineTo(x + r, y);
    path.quadTo(x, y, x, y + r);
    path.lineTo(x, bottom - r);
    path.quadTo(x, bottom, x + r, bottom);
    path.lineTo(right - r, bottom);
    path.quadTo(right, bottom, right, bottom - r);
    path.lineTo(right, y + r);
    path.quadTo(right, y, right - r, y);
    return path;
}

QPainterPath QBaseImageDraw::GetRoundedRectanglePath(double x, double y, double width,
                                                     double height, double radius)
{
    return GetRoundedRectanglePath(QRectF(x, y, width, height), radius);
}
