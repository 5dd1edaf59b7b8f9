#pragma once

#include <QModelIndex>

class IBaseChunk;

// Data roles every record model answers besides the standard ones.
namespace RecordRoles {

// The row's IBaseChunk as a void* variant.
constexpr int Record = Qt::UserRole + 3;
// Whether the row's record is marked deleted.
constexpr int Deleted = Qt::UserRole + 4;

// The record behind an index of any record model or proxy; null when there is none.
IBaseChunk *record(const QModelIndex &index);
bool isDeleted(const QModelIndex &index);

} // namespace RecordRoles
