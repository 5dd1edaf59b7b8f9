#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

// Encodes a YUV 4:2:0 picture, with alpha or without, into a lossy single-image WebP
// file for an animation's frame.
class WebpFrameEncoder
{
public:
    // quality 0..100.
    static bool encode(const AVFrame *frame, int quality, std::vector<uint8_t> &still);
};
