#include "qeditmodel.h"

#include "ibasechunk.h"

#include <QSize>

QEditModel::QEditModel(QObject *parent)
    : QZvDynamicModel(parent)
{
}

QVariant QEditModel::data(const QModelIndex &index, int role) const
{
    auto *record = index.isValid() ? static_cast<IBaseChunk *>(index.internalPointer()) : nullptr;
    if (record && role == Qt::DecorationRole)
        return QString::fromStdString(record->GetImage());
    if (record && role == Qt::SizeHintRole)
        return itemSize();
    return QBaseDetailsModel::data(index, role);
}

int QEditModel::columnCount(const QModelIndex &) const
{
    return 1;
}
