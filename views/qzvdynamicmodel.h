#pragma once

#include "qbasedetailsmodel.h"

// The record table exposing its rows lazily, a batch at a time, as the view scrolls.
class QZvDynamicModel : public QBaseDetailsModel
{
    Q_OBJECT

public:
    static constexpr int BatchSize = 100;

    explicit QZvDynamicModel(QObject *parent = nullptr);

    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    void setDatas(std::vector<IBaseChunk *> *records) override;
    void insertRefeshLastRow() override;
    virtual void resetCount();

    // Resets the view, keeping the rows exposed so far.
    void refresh();
    void loadAllData();

signals:
    void numberPopulated(int number);
};
