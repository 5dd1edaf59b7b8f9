#pragma once

#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

class PngWriter;

// Encodes single frames into complete image files (JPEG, PNG, BMP, TIFF): the one
// place a still's bytes are made.
class StillEncoder
{
public:
    StillEncoder();
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
    bool openFfmpeg(AVCodecID codec, int width, int height, AVPixelFormat format, int quality);

    std::unique_ptr<PngWriter> m_png;
    AVCodecContext *m_context = nullptr;
    AVPacket *m_packet = nullptr;
};
