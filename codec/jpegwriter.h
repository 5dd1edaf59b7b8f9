#pragma once

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

// Writes full-range YCbCr pictures (4:2:0, 4:2:2 or 4:4:4) as baseline JPEG files
// through libjpeg, handing it the planes as they are, with no colour conversion.
class JpegWriter
{
public:
    static bool handles(AVPixelFormat format);
    // qscale 1..31 quantises as FFmpeg's encoder does at that scale; 0 takes libjpeg's
    // default quality.
    bool open(int width, int height, AVPixelFormat format, int qscale);
    bool encode(const AVFrame *frame, std::vector<uint8_t> &image);

private:
    int m_width = 0;
    int m_height = 0;
    int m_chromaShiftX = 0;
    int m_chromaShiftY = 0;
    int m_qscale = 0;
    std::vector<uint8_t> m_band;
};
