#pragma once

#include "qzvviewmodeldrawattribute.h"

#include <QRegExp>
#include <QSortFilterProxyModel>

// Sorts record rows by their text, filters them by expression, by excluded filter ids and
// by the deleted flag, and colours rows by their position in the proxy so the colours keep
// alternating after sorting. Its source is always a record model.
class QZVBaseSortModel : public QSortFilterProxyModel, public QZVViewModelDrawAttribute
{
    Q_OBJECT

public:
    enum FilterDeleteMode
    {
        NoDeleteFilter = 0,
        OnlyDeleted = 1,
        HideDeleted = 2
    };

    explicit QZVBaseSortModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A record whose filter id occurs anywhere in this text is hidden.
    void setFilterIdSet(const QString &ids);
    void setDeleteFilter(FilterDeleteMode mode);
    // Keeps the caller's case sensitivity; a plain text would become a case-sensitive pattern.
    void setFilterRegExp(const QRegExp &regExp);
    void refreshIndex(const QModelIndex &index);
    void refreshCheckState();
    // Over the visible rows: 0 none, 1 some, 2 all checked; 0 when no row is visible.
    int getItemChangeState() const;

public slots:
    virtual void setAllItemCheck(bool checked);
    virtual void setAllItemCheck(int state);
    virtual void itemCheckStateChanged(const QModelIndex &index, int state);

public:
    virtual void OnItemStateChange();

signals:
    void emitSort(int column, Qt::SortOrder order);
    void itemCheckChange(int state);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QString m_filterIdSet;
    FilterDeleteMode m_deleteMode = NoDeleteFilter;
};
