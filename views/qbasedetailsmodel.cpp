#include "qbasedetailsmodel.h"

#include "ibasechunk.h"
#include "recordroles.h"

#include <QBrush>

#include <algorithm>

QBaseDetailsModel::QBaseDetailsModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

QBaseDetailsModel::~QBaseDetailsModel() = default;

QModelIndex QBaseDetailsModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || row >= recordCount())
        return QModelIndex();
    return createIndex(row, column, (*m_records)[static_cast<size_t>(row)]);
}

QModelIndex QBaseDetailsModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int QBaseDetailsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : exposedRows();
}

int QBaseDetailsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QVariant QBaseDetailsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !index.internalPointer())
        return QVariant();
    auto *record = static_cast<IBaseChunk *>(index.internalPointer());
    const int row = index.row();
    switch (role) {
    case Qt::EditRole:
        return record->getColumnEnable(index.column());
    case Qt::FontRole:
        return textFont();
    case Qt::BackgroundRole:
        return QBrush(rowBackgroundColor(row));
    case Qt::ForegroundRole:
        return QBrush(rowTextColor(row, record->isDeleted()));
    case Qt::CheckStateRole:
        if (index.column() != m_checkColumn)
            return QVariant();
        return record->GetCheck() != 0 ? 2 : 0;
    case RecordRoles::Record:
        return QVariant::fromValue(static_cast<void *>(record));
    case RecordRoles::Deleted:
        return record->isDeleted();
    default:
        return QVariant();
    }
}

bool QBaseDetailsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const bool checkRole = role == Qt::CheckStateRole || role == Qt::UserRole;
    if (!index.isValid() || !checkRole || index.column() != m_checkColumn || !m_records
        || !index.internalPointer())
        return QAbstractItemModel::setData(index, value, role);
    static_cast<IBaseChunk *>(index.internalPointer())->SetCheck(value.toInt());
    emit dataChanged(index, index);
    if (role == Qt::CheckStateRole)
        OnItemStateChange();
    return true;
}

QVariant QBaseDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return QVariant();
    return m_headers.at(section);
}

Qt::ItemFlags QBaseDetailsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDropEnabled;
    if (index.column() == m_checkColumn)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

void QBaseDetailsModel::setDatas(std::vector<IBaseChunk *> *records)
{
    beginResetModel();
    m_records = records;
    m_exposedRows = recordCount();
    endResetModel();
}

void QBaseDetailsModel::refreshData(int row, int column)
{
    const QModelIndex cell = index(row, column);
    if (cell.isValid())
        emit dataChanged(cell, cell);
}

// Announces what the owner appended since the last announcement: normally just the last row.
void QBaseDetailsModel::insertRefeshLastRow()
{
    if (recordCount() > exposedRows())
        announceRows(exposedRows(), recordCount() - 1);
}

void QBaseDetailsModel::announceRows(int first, int last)
{
    m_announcing = true;
    beginInsertRows(QModelIndex(), first, last);
    m_exposedRows = last + 1;
    endInsertRows();
    m_announcing = false;
}

void QBaseDetailsModel::refresh()
{
    beginResetModel();
    m_exposedRows = recordCount();
    endResetModel();
}

void QBaseDetailsModel::refreshCheckState()
{
    OnItemStateChange();
}

void QBaseDetailsModel::OnItemStateChange()
{
    if (!m_records)
        return;
    const auto checked = std::count_if(m_records->begin(), m_records->end(),
                                       [](IBaseChunk *record) { return record && record->GetCheck() != 0; });
    const auto total = static_cast<std::ptrdiff_t>(m_records->size());
    emit itemCheckChange(checked >= total ? 2 : (checked > 0 ? 1 : 0));
}

void QBaseDetailsModel::refreshColumn(int column)
{
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void QBaseDetailsModel::OnStateChanged(int state)
{
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        setData(index(row, m_checkColumn), state, Qt::CheckStateRole);
}

void QBaseDetailsModel::OnStateChanged(bool checked)
{
    OnStateChanged(checked ? 2 : 0);
}
