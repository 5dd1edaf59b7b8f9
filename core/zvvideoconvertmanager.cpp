#include "zvvideoconvertmanager.h"

#include "zvvideoconvertitem.h"

#include <mutex>

ZvVideoConvertManager *ZvVideoConvertManager::m_myConvertManager = nullptr;

ZvVideoConvertManager::ZvVideoConvertManager(QObject *parent)
    : QObject(parent)
{
}

ZvVideoConvertManager *ZvVideoConvertManager::getConvertManagerObject(QObject *parent)
{
    static std::once_flag created;
    std::call_once(created, [parent] { m_myConvertManager = new ZvVideoConvertManager(parent); });
    return m_myConvertManager;
}

int ZvVideoConvertManager::addConverItem(ZvVideoConvertItem *item, int pos)
{
    if (!item)
        return -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (pos >= 0 && pos < m_items.size()) {
        m_items.insert(pos, item);
        RenumberFrom(pos);
        return pos;
    }
    const int appendedAt = m_items.size();
    m_items.append(item);
    RenumberFrom(appendedAt);
    return appendedAt;
}

bool ZvVideoConvertManager::IsValid(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return pos >= 0 && pos < m_items.size();
}

void ZvVideoConvertManager::DeleteItemAt(int pos)
{
    ZvVideoConvertItem *removed = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (pos < 0 || pos >= m_items.size())
            return;
        removed = m_items.takeAt(pos);
        RenumberFrom(pos);
    }
    delete removed;
}

void ZvVideoConvertManager::RemoveOne(ZvVideoConvertItem *item)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int pos = m_items.indexOf(item);
    if (pos < 0)
        return;
    m_items.removeAt(pos);
    RenumberFrom(pos);
}

void ZvVideoConvertManager::ClearItems()
{
    QList<ZvVideoConvertItem *> removed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        removed.swap(m_items);
    }
    qDeleteAll(removed);
}

int ZvVideoConvertManager::GetItemCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.size();
}

int ZvVideoConvertManager::GetItemIndex(ZvVideoConvertItem *item) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_items.indexOf(item);
}

void ZvVideoConvertManager::swapItem(int i, int j)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (i < 0 || j < 0 || i >= m_items.size() || j >= m_items.size())
        return;
    m_items.swapItemsAt(i, j);
    m_items.at(i)->setIndex(i);
    m_items.at(j)->setIndex(j);
}

ZvVideoConvertItem *ZvVideoConvertManager::GetItem(int pos) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return pos >= 0 && pos < m_items.size() ? m_items.at(pos) : nullptr;
}

void ZvVideoConvertManager::RenumberFrom(int pos)
{
    for (int i = pos; i < m_items.size(); ++i)
        m_items.at(i)->setIndex(i);
}
