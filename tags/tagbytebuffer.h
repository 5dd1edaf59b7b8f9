#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A growing byte buffer for assembling a tag before it is written: every put is appended or
// bounds-checked, so a size estimate can never be overrun. Allocation failure throws
// std::bad_alloc, which the public entry points turn into -1.
class TagByteBuffer
{
public:
    size_t Size() const { return m_bytes.size(); }
    const uint8_t *Data() const { return m_bytes.data(); }
    uint8_t *Data() { return m_bytes.data(); }

    void PutByte(uint8_t value) { m_bytes.push_back(value); }
    void PutBytes(const void *data, size_t length);
    void PutText(const char *text);
    void PutZeros(size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    // Drops what was put from `size` on, when a part turns out to be empty.
    void Truncate(size_t size) { m_bytes.resize(size < m_bytes.size() ? size : m_bytes.size()); }
    void PutBe16(uint32_t value);
    void PutBe24(uint32_t value);
    void PutBe32(uint32_t value);
    void PutLe16(uint32_t value);
    void PutLe32(uint32_t value);

    // Overwrite four bytes already put; false when they lie outside the buffer.
    bool SetBe32At(size_t offset, uint32_t value);
    bool SetLe32At(size_t offset, uint32_t value);

private:
    std::vector<uint8_t> m_bytes;
};

// Byte-order helpers for parsing.
inline uint32_t ReadBe32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline uint32_t ReadBe24(const uint8_t *p)
{
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
}
inline uint32_t ReadBe16(const uint8_t *p)
{
    return uint32_t(p[0]) << 8 | p[1];
}
inline uint32_t ReadLe32(const uint8_t *p)
{
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}
inline uint32_t ReadLe16(const uint8_t *p)
{
    return uint32_t(p[1]) << 8 | p[0];
}
// Four bytes of seven bits each, most significant first.
inline uint32_t ReadSynchsafe32(const uint8_t *p)
{
    return uint32_t(p[0] & 0x7F) << 21 | uint32_t(p[1] & 0x7F) << 14 | uint32_t(p[2] & 0x7F) << 7 | (p[3] & 0x7F);
}
