#include "tagbytebuffer.h"

#include <cstring>

void TagByteBuffer::PutBytes(const void *data, size_t length)
{
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + length);
}

void TagByteBuffer::PutText(const char *text)
{
    PutBytes(text, std::strlen(text));
}

void TagByteBuffer::PutBe16(uint32_t value)
{
    PutByte(uint8_t(value >> 8));
    PutByte(uint8_t(value));
}

void TagByteBuffer::PutBe24(uint32_t value)
{
    PutByte(uint8_t(value >> 16));
    PutBe16(value);
}

void TagByteBuffer::PutBe32(uint32_t value)
{
    PutBe16(value >> 16);
    PutBe16(value);
}

void TagByteBuffer::PutLe16(uint32_t value)
{
    PutByte(uint8_t(value));
    PutByte(uint8_t(value >> 8));
}

void TagByteBuffer::PutLe32(uint32_t value)
{
    PutLe16(value);
    PutLe16(value >> 16);
}

bool TagByteBuffer::SetBe32At(size_t offset, uint32_t value)
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < 4)
        return false;
    for (int i = 0; i < 4; ++i)
        m_bytes[offset + i] = uint8_t(value >> (24 - 8 * i));
    return true;
}

bool TagByteBuffer::SetLe32At(size_t offset, uint32_t value)
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < 4)
        return false;
    for (int i = 0; i < 4; ++i)
        m_bytes[offset + i] = uint8_t(value >> (8 * i));
    return true;
}
