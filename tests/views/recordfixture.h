#pragma once

#include "ibasechunk.h"
#include "qbasedetailsmodel.h"
#include "qzvdynamicmodel.h"

#include <QString>

#include <memory>
#include <vector>

// Records owned by the test, handed to models as the vector of pointers they expect.
class RecordSet
{
public:
    IBaseChunk *add(const QString &title = QString(), int check = 0)
    {
        m_owned.push_back(std::make_unique<IBaseChunk>());
        IBaseChunk *record = m_owned.back().get();
        record->SetTitle(title.toStdString());
        record->SetCheck(check);
        pointers.push_back(record);
        return record;
    }
    void addMany(int count)
    {
        for (int i = 0; i < count; ++i)
            add(QString::number(i));
    }

    std::vector<IBaseChunk *> pointers;

private:
    std::vector<std::unique_ptr<IBaseChunk>> m_owned;
};

// A derived model as the dialogs write them: the display text is the record's title.
template <typename Base> class TitleModel : public Base
{
public:
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (role == Qt::DisplayRole && index.isValid())
            return QString::fromStdString(static_cast<IBaseChunk *>(index.internalPointer())->GetTitle());
        return Base::data(index, role);
    }
};

using TitleTableModel = TitleModel<QBaseDetailsModel>;
using TitleDynamicModel = TitleModel<QZvDynamicModel>;
