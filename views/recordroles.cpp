#include "recordroles.h"

#include "ibasechunk.h"

namespace RecordRoles {

IBaseChunk *record(const QModelIndex &index)
{
    if (!index.isValid())
        return nullptr;
    return static_cast<IBaseChunk *>(index.data(Record).value<void *>());
}

bool isDeleted(const QModelIndex &index)
{
    return index.isValid() && index.data(Deleted).toBool();
}

} // namespace RecordRoles
