#include "qhistorymodel.h"

#include "qhistorychunk.h"

#include <QFont>

QHistoryModel::QHistoryModel(QObject *parent)
    : QBaseDetailsModel(parent)
{
}

QHistoryModel::~QHistoryModel() = default;

QVariant QHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !index.internalPointer())
        return QBaseDetailsModel::data(index, role);
    auto *record = static_cast<QHistoryChunk *>(index.internalPointer());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0:
            return QString::fromStdString(record->GetTitle());
        case 1:
            return QString::fromStdString(record->GetResolution());
        case 2:
            return QString::fromStdString(record->GetFormat());
        case 3:
            return QString::fromStdString(record->GetCreateTime());
        default:
            break;
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == 0 && m_isIcon)
            return QString::fromStdString(record->GetImage());
        break;
    case Qt::FontRole: {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(12);
        font.setWeight(QFont::Normal);
        return font;
    }
    case Qt::BackgroundRole:
    case Qt::CheckStateRole:
        return QVariant();
    case Qt::SizeHintRole:
        return itemSize();
    case Qt::UserRole:
        return QVariant::fromValue(static_cast<void *>(record));
    default:
        break;
    }
    return QBaseDetailsModel::data(index, role);
}

void QHistoryModel::refreshData(int row, int column)
{
    const QModelIndex cell = index(row, column);
    if (cell.isValid())
        emit dataChanged(cell, cell, {});
}

void QHistoryModel::removeRecords(const std::vector<IBaseChunk *> &gone)
{
    std::vector<IBaseChunk *> *list = records();
    if (!list || gone.empty())
        return;
    beginResetModel();
    list->erase(std::remove_if(list->begin(), list->end(),
                               [&gone](IBaseChunk *record) {
                                   return std::find(gone.begin(), gone.end(), record) != gone.end();
                               }),
                list->end());
    setExposedRows(recordCount());
    endResetModel();
}
