#pragma once

#include "ibasechunk.h"
#include "qbasedetailsmodel.h"

#include <QSize>

// A grid model as the dialogs write them: title as text, the record's image as decoration,
// its mask image as overlay, fixed cell size.
template <typename Base> class IconModel : public Base
{
public:
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        if (!index.isValid())
            return QVariant();
        auto *record = static_cast<IBaseChunk *>(index.internalPointer());
        switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(record->GetTitle());
        case Qt::DecorationRole:
            return QString::fromStdString(record->GetImage());
        case Qt::UserRole:
            return QString::fromStdString(record->getItemMakeImage());
        case Qt::SizeHintRole:
            return this->itemSize();
        default:
            return Base::data(index, role);
        }
    }
};
