#pragma once

#include <cstddef>
#include <cstdint>

// What a cover picture's first bytes say about it. Writers keep only pictures whose type is
// recognised; an unrecognised one reports "image/jpeg" with zero dimensions.
struct TagImageInfo
{
    enum Type { Unknown, Png, Jpeg, Gif, Bmp };

    Type type = Unknown;
    const char *mime = "image/jpeg";
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;
};

TagImageInfo SniffTagImage(const uint8_t *data, size_t length);
