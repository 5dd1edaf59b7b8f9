#pragma once

#include <cstdint>
#include <memory>

// Process-wide map from opaque handle ids to objects. Ids are never reused and carry
// their family, so a stale id or an id of another family finds nothing.
class HandleTable
{
public:
    enum class Family { MediaInfo, EncodeConfig, Converter, Image, Writer, Track, Packet, Player, Merger };

    static uint32_t add(Family family, std::shared_ptr<void> object);
    static std::shared_ptr<void> find(Family family, uint32_t id);
    // Removes the entry; the object lives on while a call in flight holds it.
    static std::shared_ptr<void> take(Family family, uint32_t id);

    template <class T> static uint32_t insert(Family family, std::shared_ptr<T> object)
    {
        return add(family, std::static_pointer_cast<void>(std::move(object)));
    }
    template <class T> static std::shared_ptr<T> get(Family family, uint32_t id)
    {
        return std::static_pointer_cast<T>(find(family, id));
    }
    template <class T> static std::shared_ptr<T> remove(Family family, uint32_t id)
    {
        return std::static_pointer_cast<T>(take(family, id));
    }
};
