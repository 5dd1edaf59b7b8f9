#pragma once

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

// Encodes single frames into complete image files (JPEG, PNG, BMP, TIFF, WebP).
class StillEncoder
{
public:
    StillEncoder() = default;
    ~StillEncoder();
    StillEncoder(const StillEncoder &) = delete;
    StillEncoder &operator=(const StillEncoder &) = delete;

    // The pixel format the encoder wants; requested (AV_PIX_FMT_NONE = default) is used
    // when the encoder accepts it.
    static AVPixelFormat inputFormat(AVCodecID codec, AVPixelFormat requested);

    // quality 1..100; 0 keeps the encoder's default.
    bool open(AVCodecID codec, int width, int height, AVPixelFormat format, int quality);
    bool encode(AVFrame *frame, std::vector<uint8_t> &image);

private:
    AVCodecContext *m_context = nullptr;
    AVPacket *m_packet = nullptr;
};
