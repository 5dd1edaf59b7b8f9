#include "tagmemorystream.h"

#include <algorithm>
#include <cstring>

TagMemoryStream::TagMemoryStream(void *data, int size)
    : m_data(static_cast<unsigned char *>(data)), m_capacity(std::max(0, size)), m_size(m_capacity)
{
}

int TagMemoryStream::Read(void *buffer, int count)
{
    if (!m_data || count < 0)
        return -1;
    const int n = std::min(count, m_size - m_position);
    if (n > 0)
        std::memcpy(buffer, m_data + m_position, static_cast<size_t>(n));
    m_position += std::max(0, n);
    return std::max(0, n);
}

int TagMemoryStream::Write(const void *buffer, int count)
{
    if (!m_data || count < 0)
        return -1;
    const int n = std::min(count, m_size - m_position);
    if (n > 0)
        std::memcpy(m_data + m_position, buffer, static_cast<size_t>(n));
    m_position += std::max(0, n);
    return std::max(0, n);
}

int64_t TagMemoryStream::Size()
{
    return m_data ? m_size : -1;
}

int64_t TagMemoryStream::SetSize(int64_t size)
{
    if (!m_data || size < 0)
        return -1;
    m_size = static_cast<int>(std::min<int64_t>(size, m_capacity));
    m_position = std::min(m_position, m_size);
    return m_size;
}

int64_t TagMemoryStream::Tell()
{
    return m_data ? m_position : -1;
}

int64_t TagMemoryStream::Seek(int64_t position)
{
    if (!m_data || position < 0)
        return -1;
    m_position = static_cast<int>(std::min<int64_t>(position, m_size));
    return m_position;
}
