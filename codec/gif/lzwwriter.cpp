#include "gif/lzwwriter.h"

#include <algorithm>

LzwWriter::LzwWriter(std::vector<uint8_t> &out) : m_out(out), m_slots(size_t(1) << kSlotBits, kEmpty)
{
}

void LzwWriter::put(int code)
{
    m_pending |= uint64_t(code) << m_pendingBits;
    m_pendingBits += m_bits;
    while (m_pendingBits >= 8) {
        m_out.push_back(uint8_t(m_pending));
        m_pending >>= 8;
        m_pendingBits -= 8;
    }
}

void LzwWriter::clearTable()
{
    put(kClearCode);
    std::fill(m_slots.begin(), m_slots.end(), kEmpty);
    m_nextCode = kFirstFree;
    m_bits = 9;
}

void LzwWriter::add(const uint8_t *pixels, int count)
{
    if (count <= 0)
        return;
    if (m_current < 0) {
        clearTable();
        m_current = *pixels++;
        --count;
    }
    constexpr uint32_t mask = (uint32_t(1) << kSlotBits) - 1;
    for (int i = 0; i < count; ++i) {
        const uint32_t key = uint32_t(m_current) << 8 | pixels[i];
        uint32_t slot = (key * 2654435761u) >> (32 - kSlotBits);
        uint32_t entry = m_slots[slot];
        while (entry != kEmpty && entry >> 12 != key) {
            slot = (slot + 1) & mask;
            entry = m_slots[slot];
        }
        if (entry != kEmpty) {
            m_current = int(entry & 0xFFF);
            continue;
        }
        put(m_current);
        m_slots[slot] = key << 12 | uint32_t(m_nextCode);
        ++m_nextCode;
        // The decoder learns each code a step later, so the width grows one code late.
        if (m_nextCode >= (1 << m_bits) + 1)
            ++m_bits;
        m_current = pixels[i];
        if (m_nextCode >= kCodeLimit)
            clearTable();
    }
}

void LzwWriter::finish()
{
    if (m_current >= 0)
        put(m_current);
    put(kEndCode);
    // The last bits, padded. FFmpeg's GIF encoder adds a zero bit first, so a byte
    // follows even when the end code fills the one before.
    m_out.push_back(uint8_t(m_pending));
    m_pending = 0;
    m_pendingBits = 0;
    m_current = -1;
}
