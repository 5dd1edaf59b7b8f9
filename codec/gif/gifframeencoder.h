#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

// Writes a clip's PAL8 frames as GIF packets for the GIF muxer, each from its frame and
// the one before it alone, so frames encode side by side in any order. The packets are
// those FFmpeg's GIF encoder makes when fed every frame: the first carries the file's
// header and palette, and each later one only the rectangle that changed, with what
// stayed the same made transparent.
//
// All frames share the first one's palette, whose first entry with no opacity is the
// transparent colour; the pictures never use that entry, as the palette mapper makes them.
class GifFrameEncoder
{
public:
    // previous: null for the clip's first frame. False for a frame that breaks the rules above.
    static bool encode(const AVFrame *frame, const AVFrame *previous, std::vector<uint8_t> &packet);
};
