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
    const bool alpha = frame->format == AV_PIX_FMT_YUVA420P;
    if ((!alpha && frame->format != AV_PIX_FMT_YUV420P) || frame->linesize[1] != frame->linesize[2]
        || !WebPConfigInit(&config) || !WebPPictureInit(&picture))
        return false;
    config.quality = static_cast<float>(quality);
    config.method = kMethod;
    // Transparent pixels keep the colour given them, which the decoder blends into their
    // neighbours.
    config.exact = 1;
    // Without the loop filter, as libwebp's own animation encoder codes the frames it
    // draws over the canvas: the filter would smooth a frame against what it does not
    // repaint, and the fine detail it takes costs more quality than the bits it saves.
    config.autofilter = 0;
    config.filter_strength = 0;
    // The lossy coder's own format: libwebp reads the frame in place.
    picture.use_argb = 0;
    picture.colorspace = alpha ? WEBP_YUV420A : WEBP_YUV420;
    picture.width = frame->width;
    picture.height = frame->height;
    picture.y = frame->data[0];
    picture.u = frame->data[1];
    picture.v = frame->data[2];
    picture.y_stride = frame->linesize[0];
    picture.uv_stride = frame->linesize[1];
    if (alpha) {
        picture.a = frame->data[3];
        picture.a_stride = frame->linesize[3];
    }
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
