#include "skinpaint.h"

#include <algorithm>

namespace SkinPaint {

void drawImage(QPainter &painter, const QRect &target, const QRect &source, const QImage &image)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRectF pixels(2.0 * source.x(), 2.0 * source.y(), 2.0 * source.width(), 2.0 * source.height());
    painter.drawImage(QRectF(target), image, pixels);
}

void drawFrame(QPainter &painter, const QRect &target, const QImage &frame, bool grid)
{
    const int iw = frame.width() / 2;
    const int ih = frame.height() / 2;
    if (!grid) {
        drawImage(painter, target, QRect(0, 0, iw, ih), frame);
        return;
    }
    // Corners a third of the smaller of target and frame; edges and centre stretch.
    const int cw = std::min(target.width(), iw) / 3;
    const int ch = std::min(target.height(), ih) / 3;
    const int columnsTarget[3] = {cw, target.width() - 2 * cw, cw};
    const int rowsTarget[3] = {ch, target.height() - 2 * ch, ch};
    const int columnsSource[3] = {cw, iw - 2 * cw, cw};
    const int rowsSource[3] = {ch, ih - 2 * ch, ch};
    int ty = target.y();
    int sy = 0;
    for (int row = 0; row < 3; ++row) {
        int tx = target.x();
        int sx = 0;
        for (int column = 0; column < 3; ++column) {
            if (columnsTarget[column] > 0 && rowsTarget[row] > 0)
                drawImage(painter, QRect(tx, ty, columnsTarget[column], rowsTarget[row]),
                          QRect(sx, sy, columnsSource[column], rowsSource[row]), frame);
            tx += columnsTarget[column];
            sx += columnsSource[column];
        }
        ty += rowsTarget[row];
        sy += rowsSource[row];
    }
}

} // namespace SkinPaint
