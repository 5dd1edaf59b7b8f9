#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include <sys/mman.h>

// A large table read and written all over, as a colour histogram is: on small pages most
// steps would miss the TLB, so it asks for huge pages before its memory is first touched.
template <typename T>
class HugePageArray
{
public:
    template <typename Value>
    HugePageArray(size_t count, Value initial) : m_count(count)
    {
        constexpr size_t hugePage = size_t(2) << 20;
        const size_t bytes = (count * sizeof(T) + hugePage - 1) / hugePage * hugePage;
        m_items = static_cast<T *>(std::aligned_alloc(hugePage, bytes));
        if (!m_items)
            throw std::bad_alloc();
        madvise(m_items, bytes, MADV_HUGEPAGE);
        for (size_t i = 0; i < count; ++i)
            new (m_items + i) T(initial);
    }
    ~HugePageArray()
    {
        std::destroy_n(m_items, m_count);
        std::free(m_items);
    }
    HugePageArray(const HugePageArray &) = delete;
    HugePageArray &operator=(const HugePageArray &) = delete;

    T &operator[](size_t index) const { return m_items[index]; }

private:
    size_t m_count;
    T *m_items;
};
