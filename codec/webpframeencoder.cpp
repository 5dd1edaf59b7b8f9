#include "webpframeencoder.h"

#include <cstring>

#include <webp/encode.h>

#include "webpalphamask.h"

namespace {

// What FFmpeg's WebP encoders use unless told otherwise.
constexpr int kMethod = 4;
// Spatial noise shaping moves bits from busy areas to flat ones. At libwebp's 50 our
// frames, whose chroma the conversion through RGB already smooths, fell short of the
// structural similarity the ffmpeg tool's reach on noisy movies; 30 passes it for about
// 2 % more bytes.
constexpr int kNoiseShaping = 30;
constexpr size_t kRiffHeaderSize = 12;
constexpr uint8_t kAlphaFlag = 0x10;

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

void appendLe(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void appendChunk(std::vector<uint8_t> &out, const char *tag, const std::vector<uint8_t> &payload)
{
    out.insert(out.end(), tag, tag + 4);
    appendLe(out, uint32_t(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    if (payload.size() & 1)
        out.push_back(0);
}

// Turns a lossy still into an extended one that carries the alpha chunk before its image.
bool addAlpha(std::vector<uint8_t> &still, const std::vector<uint8_t> &alpha, int width, int height)
{
    if (still.size() < kRiffHeaderSize + 8 || std::memcmp(still.data() + kRiffHeaderSize, "VP8 ", 4) != 0)
        return false;
    std::vector<uint8_t> header{kAlphaFlag, 0, 0, 0};
    appendLe(header, uint32_t(width - 1), 3);
    appendLe(header, uint32_t(height - 1), 3);
    std::vector<uint8_t> extended(still.begin(), still.begin() + kRiffHeaderSize);
    appendChunk(extended, "VP8X", header);
    appendChunk(extended, "ALPH", alpha);
    extended.insert(extended.end(), still.begin() + kRiffHeaderSize, still.end());
    const uint32_t riffSize = uint32_t(extended.size() - 8);
    for (int i = 0; i < 4; ++i)
        extended[size_t(4 + i)] = uint8_t(riffSize >> (8 * i));
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
