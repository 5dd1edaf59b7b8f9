#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/frame.h>
}

// What the frame callback receives: a view of one presented picture, valid only during
// the callback.
struct PlayerFrame
{
    int format = 0;
    int width = 0;
    int height = 0;
    uint8_t *plane[3] = {};
    int stride[3] = {};

    static PlayerFrame of(const AVFrame *frame);
};
