#include "tagbufferedstream.h"

#include <algorithm>
#include <cstring>

TagBufferedStream::TagBufferedStream(TagStream *source)
    : m_source(source), m_buffer(4096)
{
}

int64_t TagBufferedStream::SourcePosition()
{
    if (m_sourcePosition < 0)
        m_sourcePosition = m_source->Tell();
    return m_sourcePosition;
}

int TagBufferedStream::ReadSource(void *buffer, int count)
{
    if (SourcePosition() < 0)
        return -1;
    const int n = m_source->Read(buffer, count);
    if (n > 0)
        m_sourcePosition += n;
    else if (n < 0)
        m_sourcePosition = -1;
    return n;
}

int TagBufferedStream::Read(void *buffer, int count)
{
    if (!m_source || count < 0)
        return -1;
    if (count == 0)
        return 0;
    char *out = static_cast<char *>(buffer);
    if (m_available >= count) {
        std::memcpy(out, m_buffer.data() + m_position, static_cast<size_t>(count));
        m_position += count;
        m_available -= count;
        return count;
    }
    const int copied = m_available;
    if (copied > 0)
        std::memcpy(out, m_buffer.data() + m_position, static_cast<size_t>(copied));
    m_position = m_available = 0;
    const int rest = count - copied;
    if (rest >= m_capacity)
        return copied + std::max(0, ReadSource(out + copied, rest));

    const int arrived = ReadSource(m_buffer.data(), m_capacity);
    if (arrived <= 0)
        return copied;
    const int taken = std::min(arrived, rest);
    std::memcpy(out + copied, m_buffer.data(), static_cast<size_t>(taken));
    m_position = taken;
    m_available = arrived - taken;
    return copied + taken;
}

int TagBufferedStream::Write(const void *, int)
{
    return -1;
}

int64_t TagBufferedStream::Size()
{
    if (!m_source)
        return -1;
    const int64_t size = m_source->Size();
    // A file stream's Size keeps the position; anything else is asked again on next use.
    m_sourcePosition = -1;
    return size;
}

int64_t TagBufferedStream::SetSize(int64_t size)
{
    if (!m_source)
        return -1;
    m_sourcePosition = -1;
    return m_source->SetSize(size);
}

int64_t TagBufferedStream::Tell()
{
    if (!m_source)
        return -1;
    const int64_t current = SourcePosition();
    return current < 0 ? -1 : current - m_available;
}

int64_t TagBufferedStream::Seek(int64_t target)
{
    if (!m_source)
        return -1;
    const int64_t current = SourcePosition();
    const int64_t back = current - target;
    if (current >= 0 && target >= 0 && back >= 0 && back <= m_position + m_available) {
        m_position = static_cast<int>(m_position + m_available - back);
        m_available = static_cast<int>(back);
        return target;
    }
    m_position = m_available = 0;
    m_sourcePosition = m_source->Seek(target);
    return m_sourcePosition;
}
