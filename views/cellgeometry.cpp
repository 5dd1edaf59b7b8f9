#include "cellgeometry.h"

namespace CellGeometry {

QPoint checkboxOffset(const QRect &cell, const QPoint &position, const QSize &box)
{
    const int x = position.x() == -1 ? 5 : position.x();
    const int y = position.y() == -1 ? (cell.height() - box.height()) / 2 : position.y();
    return QPoint(x, y);
}

QRect checkboxRect(const QRect &cell, const QPoint &position, const QSize &box)
{
    return QRect(cell.topLeft() + checkboxOffset(cell, position, box), box);
}

QRect checkboxHitRect(const QRect &box, const QMargins &margins)
{
    return QRect(box.left() - margins.left(), box.top() - margins.top(),
                 box.width() + margins.left() + margins.right(), box.height() + margins.top() + margins.bottom());
}

QRect checkTextRect(const QRect &cell, int checkOffsetX, int boxWidth, int spacing)
{
    const int indent = checkOffsetX + boxWidth + spacing;
    return QRect(cell.left() + indent, cell.top(), cell.width() - indent - 5, cell.height());
}

QList<QRect> controlRects(const QRect &cell, const QList<QSize> &sizes, int summedWidth, int spacing,
                          Qt::Alignment alignment)
{
    const int count = sizes.size();
    const int total = summedWidth + spacing * (count - 1);
    int start = 0;
    if (alignment & (Qt::AlignHCenter | Qt::AlignVCenter))
        start = (cell.width() - total) / 2;
    else if (alignment & Qt::AlignRight)
        start = cell.width() - total;
    QList<QRect> rects;
    int before = 0;
    for (int i = 0; i < count; ++i) {
        const QSize size = sizes.at(i);
        const int x = start + before + spacing * i;
        const int y = (cell.height() - size.height()) / 2;
        rects << QRect(cell.left() + x, cell.top() + y, size.width(), size.height());
        before += size.width();
    }
    return rects;
}

QRect centredRect(const QRect &area, const QSize &size)
{
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

QRect centreCropSource(const QRect &area, const QSize &logicalSize)
{
    if (area.width() <= 0 || area.height() <= 0)
        return QRect();
    QRect source(QPoint(0, 0), logicalSize);
    const qint64 areaByImage = qint64(area.width()) * source.height();
    const qint64 imageByArea = qint64(source.width()) * area.height();
    if (areaByImage > imageByArea) {
        const int height = int(qint64(source.width()) * area.height() / area.width());
        source = QRect(0, (source.height() - height) / 2, source.width(), height);
    } else {
        const int width = int(qint64(source.height()) * area.width() / area.height());
        source = QRect((source.width() - width) / 2, 0, width, source.height());
    }
    return source;
}

} // namespace CellGeometry
