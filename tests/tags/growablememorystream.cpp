#include "growablememorystream.h"

#include <algorithm>
#include <cstring>

int GrowableMemoryStream::Read(void *buffer, int count)
{
    if (count < 0)
        return -1;
    const int64_t n = std::clamp<int64_t>(Size() - m_position, 0, count);
    if (n > 0)
        std::memcpy(buffer, m_bytes.data() + m_position, static_cast<size_t>(n));
    m_position += n;
    return static_cast<int>(n);
}

int GrowableMemoryStream::Write(const void *buffer, int count)
{
    if (count < 0)
        return -1;
    const size_t end = static_cast<size_t>(m_position) + static_cast<size_t>(count);
    if (end > m_bytes.size())
        m_bytes.resize(end);
    if (count > 0)
        std::memcpy(m_bytes.data() + m_position, buffer, static_cast<size_t>(count));
    m_position = static_cast<int64_t>(end);
    return count;
}

int64_t GrowableMemoryStream::SetSize(int64_t size)
{
    if (size < 0 || size > (int64_t(1) << 31))
        return -1;
    m_bytes.resize(static_cast<size_t>(size));
    m_position = size;
    return size;
}

int64_t GrowableMemoryStream::Seek(int64_t position)
{
    if (position < 0)
        return -1;
    // Like a file: seeking past the end is allowed, the gap appears on the next write.
    m_position = position;
    return position;
}
