#include "qhistorylistdelegate.h"

QHistoryListDelegate::QHistoryListDelegate(QObject *parent)
    : QBaseIconListDelegate(parent)
{
}

void QHistoryListDelegate::drawImage(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    QBaseIconListDelegate::drawImage(painter, option, index);
}
