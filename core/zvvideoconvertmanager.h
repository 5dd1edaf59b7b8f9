#pragma once

#include <QList>
#include <QObject>

#include <mutex>

class ZvVideoConvertItem;

// The process-wide conversion queue in display order. Every item's index equals its
// position after every operation. Items are added on the file-adding thread while the
// GUI thread works on the queue, so every operation takes the lock.
class ZvVideoConvertManager : public QObject
{
    Q_OBJECT

public:
    static ZvVideoConvertManager *getConvertManagerObject(QObject *parent = nullptr);

    // Inserts at pos when 0 <= pos < count, else appends; returns the item's position.
    int addConverItem(ZvVideoConvertItem *item, int pos);
    bool IsValid(int pos) const;
    void DeleteItemAt(int pos);
    // Hands the item back to the caller without deleting it.
    void RemoveOne(ZvVideoConvertItem *item);
    void ClearItems();
    int GetItemCount() const;
    int GetItemIndex(ZvVideoConvertItem *item) const;
    void swapItem(int i, int j);
    ZvVideoConvertItem *GetItem(int pos) const;

private:
    explicit ZvVideoConvertManager(QObject *parent);
    void RenumberFrom(int pos);

    static ZvVideoConvertManager *m_myConvertManager;
    mutable std::mutex m_mutex;
    QList<ZvVideoConvertItem *> m_items;
};
