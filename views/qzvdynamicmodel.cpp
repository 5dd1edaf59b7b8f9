#include "qzvdynamicmodel.h"

#include <algorithm>

QZvDynamicModel::QZvDynamicModel(QObject *parent)
    : QBaseDetailsModel(parent)
{
}

bool QZvDynamicModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !isAnnouncing() && exposedRows() < recordCount();
}

void QZvDynamicModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const int first = exposedRows();
    const int count = std::min(BatchSize, recordCount() - first);
    announceRows(first, first + count - 1);
    emit numberPopulated(count);
}

void QZvDynamicModel::setDatas(std::vector<IBaseChunk *> *records)
{
    beginResetModel();
    setExposedRows(0);
    storeRecords(records);
    endResetModel();
}

// An appended record becomes a row at once only when it directly follows the exposed
// rows; otherwise fetchMore exposes it in its turn.
void QZvDynamicModel::insertRefeshLastRow()
{
    const int last = recordCount() - 1;
    if (last >= 0 && exposedRows() == last)
        announceRows(last, last);
}

void QZvDynamicModel::resetCount()
{
    beginResetModel();
    setExposedRows(0);
    endResetModel();
}

// Keeps the exposed rows, less any the owner took out of the vector.
void QZvDynamicModel::refresh()
{
    beginResetModel();
    setExposedRows(exposedRows());
    endResetModel();
}

void QZvDynamicModel::loadAllData()
{
    while (canFetchMore(QModelIndex()))
        fetchMore(QModelIndex());
}
