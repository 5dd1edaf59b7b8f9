#include "qeditlistdelegate.h"

#include <QPainter>

QEditListDelegate::QEditListDelegate(QObject *parent)
    : QBaseIconListDelegate(parent)
{
}

void QEditListDelegate::drawImage(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    QBaseIconListDelegate::drawImage(painter, option, index);
    if (!index.isValid() || index.row() != hoverRow())
        return;
    painter->fillRect(option.rect.marginsRemoved(ImageMargins()), QColor(32, 32, 32, 156));
}
