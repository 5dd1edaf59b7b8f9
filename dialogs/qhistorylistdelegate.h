#pragma once

#include "qbaseiconlistdelegate.h"

// The history grid's cell painter: the thumbnail drawn as the icon delegate draws it.
class QHistoryListDelegate : public QBaseIconListDelegate
{
    Q_OBJECT

public:
    explicit QHistoryListDelegate(QObject *parent = nullptr);

    void drawImage(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
