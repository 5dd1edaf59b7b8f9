#include "webpframeencoder.h"

#include <webp/encode.h>

namespace {

// What FFmpeg's WebP encoders use unless told otherwise.
constexpr int kMethod = 4;

} // namespace

bool WebpFrameEncoder::encode(const AVFrame *frame, int quality, std::vector<uint8_t> &still)
{
    WebPConfig config;
    WebPPicture picture;
    if (frame->format != AV_PIX_FMT_BGRA || frame->linesize[0] % 4 != 0 || !WebPConfigInit(&config)
        || !WebPPictureInit(&picture))
        return false;
    config.quality = static_cast<float>(quality);
    config.method = kMethod;
    // Transparent pixels keep their colour, which the decoder blends into their neighbours.
    config.exact = 1;
    // Little-endian ARGB words are BGRA bytes; libwebp reads the frame in place.
    picture.use_argb = 1;
    picture.width = frame->width;
    picture.height = frame->height;
    picture.argb = reinterpret_cast<uint32_t *>(frame->data[0]);
    picture.argb_stride = frame->linesize[0] / 4;
    WebPMemoryWriter memory;
    WebPMemoryWriterInit(&memory);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &memory;
    const bool encoded = WebPEncode(&config, &picture) != 0;
    if (encoded)
        still.assign(memory.mem, memory.mem + memory.size);
    WebPMemoryWriterClear(&memory);
    WebPPictureFree(&picture);
    return encoded;
}
