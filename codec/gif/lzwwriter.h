#pragma once

#include <cstdint>
#include <vector>

// GIF's LZW compression of 8-bit pixels: codes of 9 to 12 bits packed from the lowest
// bit, a clear code first and whenever the table is full, the end code last. The codes
// are those FFmpeg's GIF encoder writes for the same pixels, so files stay as they were.
class LzwWriter
{
public:
    explicit LzwWriter(std::vector<uint8_t> &out);

    void add(const uint8_t *pixels, int count);
    // Writes the last code and the end code, and pads the last byte.
    void finish();

private:
    static constexpr int kClearCode = 256;
    static constexpr int kEndCode = 257;
    static constexpr int kFirstFree = 258;
    static constexpr int kCodeLimit = 4095; // the table is cleared once this many are taken
    static constexpr int kSlotBits = 13;     // twice the codes a table holds, so probes stay short
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;

    void clearTable();
    void put(int code);

    std::vector<uint8_t> &m_out;
    // Each slot holds (prefix code << 8 | pixel) << 12 | code, or kEmpty.
    std::vector<uint32_t> m_slots;
    int m_current = -1; // the code of the pixels matched so far, -1 before the first
    int m_nextCode = kFirstFree;
    int m_bits = 9;
    uint64_t m_pending = 0;
    int m_pendingBits = 0;
};
