#include "api/handletable.h"

#include <mutex>
#include <unordered_map>

namespace {

struct Entry
{
    HandleTable::Family family;
    std::shared_ptr<void> object;
};

struct Table
{
    std::mutex mutex;
    std::unordered_map<uint32_t, Entry> entries;
    uint32_t lastId = 0;
};

Table &table()
{
    static Table instance;
    return instance;
}

} // namespace

uint32_t HandleTable::add(Family family, std::shared_ptr<void> object)
{
    if (!object)
        return 0;
    Table &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (t.lastId == UINT32_MAX)
        return 0; // never wrap round to an id a caller may still hold
    const uint32_t id = ++t.lastId;
    t.entries.emplace(id, Entry{family, std::move(object)});
    return id;
}

std::shared_ptr<void> HandleTable::find(Family family, uint32_t id)
{
    Table &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto it = t.entries.find(id);
    if (it == t.entries.end() || it->second.family != family)
        return nullptr;
    return it->second.object;
}

std::shared_ptr<void> HandleTable::take(Family family, uint32_t id)
{
    Table &t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    const auto it = t.entries.find(id);
    if (it == t.entries.end() || it->second.family != family)
        return nullptr;
    std::shared_ptr<void> object = std::move(it->second.object);
    t.entries.erase(it);
    return object;
}
