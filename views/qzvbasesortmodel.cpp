#include "qzvbasesortmodel.h"

#include "ibasechunk.h"
#include "recordroles.h"

#include <QBrush>

QZVBaseSortModel::QZVBaseSortModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

QVariant QZVBaseSortModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int row = index.row();
    if (role == Qt::ForegroundRole) {
        IBaseChunk *record = RecordRoles::record(mapToSource(index));
        return QBrush(rowTextColor(row, record && record->isDeleted()));
    }
    if (role == Qt::BackgroundRole)
        return QBrush(rowBackgroundColor(row));
    return QSortFilterProxyModel::data(index, role);
}

bool QZVBaseSortModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const bool checkRole = role == Qt::CheckStateRole || role == Qt::UserRole;
    IBaseChunk *record = (index.isValid() && index.column() == 0 && checkRole)
                             ? RecordRoles::record(mapToSource(index))
                             : nullptr;
    if (!record)
        return QSortFilterProxyModel::setData(index, value, role);
    record->SetCheck(value.toInt());
    emit dataChanged(index, index);
    return true;
}

void QZVBaseSortModel::sort(int column, Qt::SortOrder order)
{
    QSortFilterProxyModel::sort(column, order);
    emit emitSort(column, order);
}

void QZVBaseSortModel::setFilterIdSet(const QString &ids)
{
    if (ids == m_filterIdSet)
        return;
    beginResetModel();
    m_filterIdSet = ids;
    endResetModel();
}

void QZVBaseSortModel::setDeleteFilter(FilterDeleteMode mode)
{
    if (mode == m_deleteMode)
        return;
    beginResetModel();
    m_deleteMode = mode;
    endResetModel();
}

void QZVBaseSortModel::setFilterRegExp(const QRegExp &regExp)
{
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
    QSortFilterProxyModel::setFilterRegExp(regExp);
QT_WARNING_POP
    OnItemStateChange();
}

void QZVBaseSortModel::refreshIndex(const QModelIndex &index)
{
    if (index.isValid())
        emit dataChanged(index, index);
}

void QZVBaseSortModel::refreshCheckState()
{
    OnItemStateChange();
}

int QZVBaseSortModel::getItemChangeState() const
{
    const int rows = rowCount();
    if (rows <= 0)
        return 0;
    int checked = 0;
    for (int row = 0; row < rows; ++row) {
        IBaseChunk *record = RecordRoles::record(mapToSource(index(row, 0)));
        if (record && record->GetCheck() != 0)
            ++checked;
    }
    return checked >= rows ? 2 : (checked > 0 ? 1 : 0);
}

void QZVBaseSortModel::OnItemStateChange()
{
    if (rowCount() > 0)
        emit itemCheckChange(getItemChangeState());
}

void QZVBaseSortModel::itemCheckStateChanged(const QModelIndex &index, int state)
{
    if (!index.isValid())
        return;
    setData(index, state, Qt::CheckStateRole);
    OnItemStateChange();
}

void QZVBaseSortModel::setAllItemCheck(int state)
{
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        setData(index(row, 0), state, Qt::CheckStateRole);
}

void QZVBaseSortModel::setAllItemCheck(bool checked)
{
    setAllItemCheck(checked ? 2 : 0);
}

bool QZVBaseSortModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_deleteMode == NoDeleteFilter && m_filterIdSet.isEmpty())
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    IBaseChunk *record = sourceModel() ? RecordRoles::record(sourceModel()->index(sourceRow, 0, sourceParent))
                                       : nullptr;
    if (!record)
        return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
    if (m_deleteMode == OnlyDeleted && !record->isDeleted())
        return false;
    if (m_deleteMode == HideDeleted && record->isDeleted())
        return false;
    const QString id = QString::fromStdString(record->GetFilterId());
    if (!id.isEmpty() && !m_filterIdSet.isEmpty() && m_filterIdSet.contains(id, Qt::CaseSensitive))
        return false;
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

bool QZVBaseSortModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (!left.isValid() || !right.isValid())
        return false;
    return left.data(Qt::DisplayRole).toString() < right.data(Qt::DisplayRole).toString();
}
