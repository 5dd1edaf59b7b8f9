#pragma once

#include "qzvviewmodeldrawattribute.h"

#include <QAbstractItemModel>
#include <QStringList>

#include <algorithm>
#include <vector>

class IBaseChunk;

// A flat table whose rows are the records of a vector the caller owns. Each index carries
// its record as internal pointer, so a record that an index or a pending paint can still
// reach must stay alive until the owner has reset the model. The rows are the records
// announced so far (by a reset or an insert), so records the owner appends show up only
// once announced, as Qt's views and proxies require.
class QBaseDetailsModel : public QAbstractItemModel, public QZVViewModelDrawAttribute
{
    Q_OBJECT

public:
    explicit QBaseDetailsModel(QObject *parent = nullptr);
    ~QBaseDetailsModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    virtual void setDatas(std::vector<IBaseChunk *> *records);
    virtual void refreshData(int row, int column);
    // The owner appended one record to the vector.
    virtual void insertRefeshLastRow();

    void refresh();
    void setCheckInColumn(int column) { m_checkColumn = column; }
    int checkInColum() const { return m_checkColumn; }
    void refreshCheckState();
    void OnItemStateChange();
    void refreshColumn(int column);
    // Emits nothing: set it before setDatas, or follow it with refresh().
    void setHeaderList(const QStringList &headers) { m_headers = headers; }

signals:
    // 0 none, 1 some, 2 all records checked.
    void itemCheckChange(int state);

public slots:
    void OnStateChanged(int state);
    void OnStateChanged(bool checked);

protected:
    std::vector<IBaseChunk *> *records() const { return m_records; }
    int recordCount() const { return m_records ? static_cast<int>(m_records->size()) : 0; }
    void storeRecords(std::vector<IBaseChunk *> *records) { m_records = records; }
    // Rows the views know of; never more than the vector holds.
    int exposedRows() const { return std::min(m_exposedRows, recordCount()); }
    void setExposedRows(int rows) { m_exposedRows = rows; }
    void announceRows(int first, int last);
    // True while an insertion is being announced: a fetch from a handler of that
    // announcement would nest one insertion inside another.
    bool isAnnouncing() const { return m_announcing; }

private:
    std::vector<IBaseChunk *> *m_records = nullptr;
    int m_exposedRows = 0;
    bool m_announcing = false;
    QStringList m_headers;
    int m_checkColumn = 0;
};
