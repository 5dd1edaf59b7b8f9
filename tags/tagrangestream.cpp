#include "tagrangestream.h"

#include <algorithm>

TagRangeStream::TagRangeStream(TagStream *source, int64_t offset, int64_t end)
    : m_source(source), m_offset(offset), m_end(end)
{
}

int64_t TagRangeStream::Shifted(int64_t sourceValue) const
{
    return sourceValue < 0 ? -1 : sourceValue - m_offset;
}

int TagRangeStream::Read(void *buffer, int count)
{
    if (!m_source || count < 0)
        return -1;
    if (m_end >= 0) {
        const int64_t here = m_source->Tell();
        if (here < 0)
            return -1;
        count = static_cast<int>(std::clamp<int64_t>(m_end - here, 0, count));
    }
    return m_source->Read(buffer, count);
}

int TagRangeStream::Write(const void *buffer, int count)
{
    return m_source ? m_source->Write(buffer, count) : -1;
}

int64_t TagRangeStream::Size()
{
    if (!m_source)
        return -1;
    const int64_t size = m_source->Size();
    if (size >= 0 && m_end >= 0)
        return std::min(size, m_end) - m_offset;
    return Shifted(size);
}

int64_t TagRangeStream::SetSize(int64_t size)
{
    return m_source ? Shifted(m_source->SetSize(size + m_offset)) : -1;
}

int64_t TagRangeStream::Tell()
{
    return m_source ? Shifted(m_source->Tell()) : -1;
}

int64_t TagRangeStream::Seek(int64_t position)
{
    return m_source ? Shifted(m_source->Seek(position + m_offset)) : -1;
}
