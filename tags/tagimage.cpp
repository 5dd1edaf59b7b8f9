#include "tagimage.h"

#include "tagbytebuffer.h"

#include <cstring>

namespace {

bool IsPng(const uint8_t *p)
{
    return (p[0] == 0x89 && std::memcmp(p + 1, "PNG", 3) == 0)
        || (p[0] == 0x8A && (std::memcmp(p + 1, "PNG", 3) == 0 || std::memcmp(p + 1, "MNG", 3) == 0));
}

void ReadPng(const uint8_t *data, size_t length, TagImageInfo *info)
{
    if (length < 16)
        return;
    for (uint64_t pos = 8; pos + 8 <= length;) {
        const uint32_t chunkLength = ReadBe32(data + pos);
        if (std::memcmp(data + pos + 4, "IHDR", 4) == 0) {
            if (pos + 18 > length)
                return;
            const uint8_t colourType = data[pos + 17];
            const uint32_t channels = 1 + ((colourType & 3) == 2 ? 2 : 0) + ((colourType & 4) ? 1 : 0);
            info->width = ReadBe32(data + pos + 8);
            info->height = ReadBe32(data + pos + 12);
            info->depth = data[pos + 16] * channels;
            return;
        }
        pos += uint64_t(chunkLength) + 12;
    }
}

void ReadJpeg(const uint8_t *data, size_t length, TagImageInfo *info)
{
    if (length < 6)
        return;
    for (uint64_t pos = 2; pos + 5 <= length;) {
        if (data[pos] == 0xFF && data[pos + 1] == 0xC0) {
            if (pos + 9 > length)
                return;
            info->height = ReadBe16(data + pos + 5);
            info->width = ReadBe16(data + pos + 7);
            info->depth = data[pos + 4] * 3u;
            return;
        }
        pos += 2 + uint64_t(ReadBe16(data + pos + 2));
    }
}

} // namespace

TagImageInfo SniffTagImage(const uint8_t *data, size_t length)
{
    TagImageInfo info;
    if (!data || length < 4)
        return info;
    if (IsPng(data)) {
        info.type = TagImageInfo::Png;
        info.mime = "image/png";
        ReadPng(data, length, &info);
    } else if (data[0] == 0xFF && data[1] == 0xD8) {
        info.type = TagImageInfo::Jpeg;
        ReadJpeg(data, length, &info);
    } else if (std::memcmp(data, "GIF", 3) == 0) {
        info.type = TagImageInfo::Gif;
        info.mime = "image/gif";
        if (length >= 11) {
            info.width = ReadLe16(data + 6);
            info.height = ReadLe16(data + 8);
            info.depth = (data[10] & 7u) + 1;
        }
    } else if (data[0] == 'B' && data[1] == 'M') {
        info.type = TagImageInfo::Bmp;
        info.mime = "image/bmp";
        if (length >= 30) {
            info.width = ReadLe32(data + 18);
            info.height = ReadLe32(data + 22);
            info.depth = ReadLe16(data + 28);
        }
    }
    return info;
}
