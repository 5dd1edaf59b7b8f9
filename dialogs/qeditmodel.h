#pragma once

#include "qzvdynamicmodel.h"

// The frame grid's model: one column of frame records showing their thumbnails.
class QEditModel : public QZvDynamicModel
{
    Q_OBJECT

public:
    explicit QEditModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
};
