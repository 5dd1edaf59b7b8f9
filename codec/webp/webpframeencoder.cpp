#include "webp/webpframeencoder.h"

#include <cstring>

#include <webp/encode.h>

#include "webp/webpalphamask.h"
#include "webp/webpchunks.h"

using namespace WebpChunks;

namespace {

// What FFmpeg's WebP encoders use unless told otherwise.
constexpr int kMethod = 4;
// Spatial noise shaping moves bits from busy areas to flat ones. At libwebp's 50 our
// frames, whose chroma the conversion through RGB already smooths, fell short of the
// structural similarity the ffmpeg tool's reach on noisy movies; 30 passes it for about
// 2 % more bytes.
constexpr int kNoiseShaping = 30;
constexpr size_t kExtendedHeaderSize = 10;

bool encodeLossy(const AVFrame *frame, int quality, bool withAlpha, std::vector<uint8_t> &still)
{
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&picture))
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
    config.sns_strength = kNoiseShaping;
    // The lossy coder's own format: libwebp reads the frame in place.
    picture.use_argb = 0;
    picture.colorspace = withAlpha ? WEBP_YUV420A : WEBP_YUV420;
    picture.width = frame->width;
    picture.height = frame->height;
    picture.y = frame->data[0];
    picture.u = frame->data[1];
    picture.v = frame->data[2];
    picture.y_stride = frame->linesize[0];
    picture.uv_stride = frame->linesize[1];
    if (withAlpha) {
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

// Turns a lossy still into an extended one that carries the alpha chunk before its image.
bool addAlpha(std::vector<uint8_t> &still, const std::vector<uint8_t> &alpha, int width, int height)
{
    if (still.size() < kRiffHeaderSize + kChunkHeaderSize || std::memcmp(still.data() + kRiffHeaderSize, "VP8 ", 4) != 0)
        return false;
    const size_t image = still.size() - kRiffHeaderSize;
    std::vector<uint8_t> extended{'R', 'I', 'F', 'F'};
    appendLe(extended, 4 + kChunkHeaderSize + kExtendedHeaderSize + kChunkHeaderSize + padded(alpha.size()) + image, 4);
    extended.insert(extended.end(), {'W', 'E', 'B', 'P'});
    appendChunkHeader(extended, "VP8X", kExtendedHeaderSize);
    appendLe(extended, kAlphaFlag, 4);
    appendLe(extended, uint64_t(width - 1), 3);
    appendLe(extended, uint64_t(height - 1), 3);
    appendChunkHeader(extended, "ALPH", alpha.size());
    extended.insert(extended.end(), alpha.begin(), alpha.end());
    extended.resize(extended.size() + padded(alpha.size()) - alpha.size(), 0);
    extended.insert(extended.end(), still.end() - std::ptrdiff_t(image), still.end());
    still = std::move(extended);
    return true;
}

} // namespace

bool WebpFrameEncoder::encode(const AVFrame *frame, int quality, std::vector<uint8_t> &still)
{
    const bool alpha = frame->format == AV_PIX_FMT_YUVA420P;
    if ((!alpha && frame->format != AV_PIX_FMT_YUV420P) || frame->linesize[1] != frame->linesize[2])
        return false;
    // A blended frame's alpha only keeps or covers: our own coder takes it, for a sliver
    // of the memory and time libwebp's takes. A translucent source's goes to libwebp.
    std::vector<uint8_t> mask;
    const bool masked = alpha && WebpAlphaMask::encode(frame->data[3], frame->linesize[3], frame->width, frame->height, mask);
    return encodeLossy(frame, quality, alpha && !masked, still)
           && (!masked || addAlpha(still, mask, frame->width, frame->height));
}
