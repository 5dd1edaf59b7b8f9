#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include <sys/mman.h>

// A large table read and written all over, as a colour histogram is: on small pages most
// steps would miss the TLB, so it asks for huge pages before its memory is first touched.
// Its memory is a mapping of its own, so it starts as zeros: items whose initial value is
// all zero bytes are left as they are, and each page is first touched where it is used
// instead of by one thread writing the whole table.
template <typename T>
class HugePageArray
{
public:
    template <typename Value>
    HugePageArray(size_t count, Value initial)
        : m_count(count), m_bytes((count * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage)
    {
        m_items = static_cast<T *>(mapAligned(m_bytes));
        if (!isZero(T(initial)))
            for (size_t i = 0; i < count; ++i)
                new (m_items + i) T(initial);
    }
    ~HugePageArray()
    {
        std::destroy_n(m_items, m_count);
        munmap(m_items, m_bytes);
    }
    HugePageArray(const HugePageArray &) = delete;
    HugePageArray &operator=(const HugePageArray &) = delete;

    T &operator[](size_t index) const { return m_items[index]; }

private:
    static constexpr size_t kHugePage = size_t(2) << 20;

    static bool isZero(const T &value)
    {
        const unsigned char zeros[sizeof(T)] = {};
        return std::memcmp(&value, zeros, sizeof(T)) == 0;
    }

    // Huge pages need their alignment: a larger mapping is trimmed to it. bytes: whole huge pages.
    static void *mapAligned(size_t bytes)
    {
        const size_t padded = bytes + kHugePage;
        void *mapped = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        const auto begin = reinterpret_cast<uintptr_t>(mapped);
        const uintptr_t aligned = (begin + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
        const size_t head = aligned - begin;
        if (head)
            munmap(mapped, head);
        if (padded - head > bytes)
            munmap(reinterpret_cast<void *>(aligned + bytes), padded - head - bytes);
        madvise(reinterpret_cast<void *>(aligned), bytes, MADV_HUGEPAGE);
        return reinterpret_cast<void *>(aligned);
    }

    size_t m_count;
    size_t m_bytes;
    T *m_items;
};
