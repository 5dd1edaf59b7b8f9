#pragma once

#include "qbasedetailsmodel.h"

// The history table's model, shared by the table and the thumbnail grid: four text
// columns, and the thumbnail in column 0 while it serves the grid.
class QHistoryModel : public QBaseDetailsModel
{
    Q_OBJECT

public:
    explicit QHistoryModel(QObject *parent = nullptr);
    ~QHistoryModel() override;

    // Only stored: the caller shows the other view afterwards.
    void setIsIcon(bool icon) { m_isIcon = icon; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    void refreshData(int row, int column) override;

    // Takes the records out of the vector inside one reset, so no view or proxy can
    // reach them afterwards; the caller deletes them.
    void removeRecords(const std::vector<IBaseChunk *> &gone);

private:
    bool m_isIcon = false;
};
