#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The pieces of a WebP file's RIFF container that its writers share.
namespace WebpChunks {

constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kRiffHeaderSize = 12; // "RIFF", the size, "WEBP"
constexpr uint32_t kAlphaFlag = 0x10;  // in the extended header's flags

inline void appendLe(std::vector<uint8_t> &out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

inline void appendChunkHeader(std::vector<uint8_t> &out, const char *tag, uint64_t payloadSize)
{
    out.insert(out.end(), tag, tag + 4);
    appendLe(out, payloadSize, 4);
}

// A chunk's payload is followed by a zero byte when its size is odd.
inline size_t padded(size_t size)
{
    return size + (size & 1);
}

} // namespace WebpChunks
