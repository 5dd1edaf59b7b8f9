#include "qiconlistmodel.h"

#include "ibasechunk.h"

QIconListModel::QIconListModel(QObject *parent)
    : QBaseDetailsModel(parent)
{
}

int QIconListModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant QIconListModel::data(const QModelIndex &index, int role) const
{
    auto *record = index.isValid() ? static_cast<IBaseChunk *>(index.internalPointer()) : nullptr;
    if (!record)
        return QBaseDetailsModel::data(index, role);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(record->GetTitle());
    case Qt::DecorationRole:
        return QString::fromStdString(record->GetImage());
    case Qt::CheckStateRole:
        return QVariant();
    case Qt::SizeHintRole:
        return itemSize();
    case Qt::UserRole:
        return QString::fromStdString(record->getItemMakeImage());
    default:
        return QBaseDetailsModel::data(index, role);
    }
}
