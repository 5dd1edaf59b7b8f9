#pragma once

#include "qbasedetailsmodel.h"

// The format popup's list model: one column of records shown as icon items with their
// title, icon strip and fixed item size, and never a check box.
class QIconListModel : public QBaseDetailsModel
{
    Q_OBJECT

public:
    explicit QIconListModel(QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
