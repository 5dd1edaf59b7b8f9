#pragma once

#include <cstdint>
#include <vector>

// Codes an alpha plane of only fully transparent and fully opaque pixels, as an animated
// WebP's blended frames have, into the payload of a WebP ALPH chunk: lossless, the two
// values bundled eight pixels to a code, with rows copied from the one above and runs
// from the left. libwebp's general lossless coder took some 18 MB and 85 ms for the plane
// of a 2.5-megapixel frame, on each of the encoding threads at once; this takes a few
// hundred kilobytes and about a millisecond.
class WebpAlphaMask
{
public:
    // False, and the payload left empty, when a pixel is neither 0 nor 255.
    static bool encode(const uint8_t *alpha, int stride, int width, int height, std::vector<uint8_t> &payload);
};
