#include "qformatlistdelegate.h"

#include "ibasechunk.h"
#include "qbaseimagedraw.h"
#include "recordroles.h"

#include <QPainter>

QFormatListDelegate::QFormatListDelegate(QObject *parent)
    : QBaseIconListDelegate(parent)
{
}

void QFormatListDelegate::drawImage(QPainter *painter, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    IBaseChunk *record = RecordRoles::record(index);
    if (!record)
        return;
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const std::string path = record->GetImage();
    if (!path.empty())
        drawIconFrame(painter, cell, QString::fromStdString(path), selected);
    drawOverlay(painter, cell, index);
    if (selected)
        return;
    painter->save();
    painter->setPen(QColor(213, 214, 215));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(cell.x(), cell.y(), cell.width() - 1, cell.height() - 1);
    painter->restore();
}

// The frame goes in with its pixel size as target and source: the drawing routine doubles
// the source, Qt clips it to the frame and shrinks the target alike, which leaves the
// frame at its logical size.
void QFormatListDelegate::drawIconFrame(QPainter *painter, const QRect &cell, const QString &path,
                                        bool selected) const
{
    QImage strip(path);
    if (strip.isNull())
        return;
    const int frameHeight = strip.height() / 3;
    QImage frame = strip.copy(0, selected ? 0 : frameHeight, strip.width(), frameHeight);
    frame.setDevicePixelRatio(2.0);
    const int x = cell.x() + (cell.width() - frame.width()) / 2 + 18;
    const int y = cell.y() + ImageMargins().top();
    QBaseImageDraw::drawImage(painter, QRect(x, y, frame.width(), frame.height()), frame,
                              QRect(0, 0, frame.width(), frame.height()));
}
