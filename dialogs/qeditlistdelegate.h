#pragma once

#include "qbaseiconlistdelegate.h"

// The frame grid's cell painter: the thumbnail, darkened while the mouse is over its cell.
class QEditListDelegate : public QBaseIconListDelegate
{
    Q_OBJECT

public:
    explicit QEditListDelegate(QObject *parent = nullptr);

    void drawImage(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
