#include "still/stillencoder.h"

#include <cmath>

#include "still/pngwriter.h"

namespace {

bool accepts(const AVCodec *codec, AVPixelFormat format)
{
    for (const AVPixelFormat *f = codec->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

// 100 is the best JPEG quantiser scale (1), 1 the coarsest (31).
int jpegQScale(int quality)
{
    return 1 + static_cast<int>(std::lround((100 - quality) * 30 / 99.0));
}

} // namespace

StillEncoder::StillEncoder() = default;

StillEncoder::~StillEncoder()
{
    av_packet_free(&m_packet);
    avcodec_free_context(&m_context);
}

AVPixelFormat StillEncoder::inputFormat(AVCodecID codec, AVPixelFormat requested)
{
    const AVCodec *encoder = avcodec_find_encoder(codec);
    if (!encoder)
        return AV_PIX_FMT_NONE;
    if (requested != AV_PIX_FMT_NONE && accepts(encoder, requested))
        return requested;
    switch (codec) {
    case AV_CODEC_ID_MJPEG:
        return AV_PIX_FMT_YUVJ420P;
    case AV_CODEC_ID_PNG:
    case AV_CODEC_ID_TIFF:
        return AV_PIX_FMT_RGB24;
    case AV_CODEC_ID_BMP:
        return AV_PIX_FMT_BGR24;
    default:
        return encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_NONE;
    }
}

bool StillEncoder::open(AVCodecID codec, int width, int height, AVPixelFormat format, int quality)
{
    if (codec == AV_CODEC_ID_PNG && PngWriter::handles(format)) {
        m_png = std::make_unique<PngWriter>();
        return m_png->open(width, height, format);
    }
    return openFfmpeg(codec, width, height, format, quality);
}

bool StillEncoder::openFfmpeg(AVCodecID codec, int width, int height, AVPixelFormat format, int quality)
{
    const AVCodec *encoder = avcodec_find_encoder(codec);
    m_context = encoder ? avcodec_alloc_context3(encoder) : nullptr;
    m_packet = av_packet_alloc();
    if (!m_context || !m_packet)
        return false;
    m_context->width = width;
    m_context->height = height;
    m_context->pix_fmt = format;
    m_context->time_base = {1, 25};
    if (codec == AV_CODEC_ID_MJPEG) {
        m_context->color_range = AVCOL_RANGE_JPEG;
        if (quality > 0) {
            m_context->flags |= AV_CODEC_FLAG_QSCALE;
            m_context->global_quality = jpegQScale(quality) * FF_QP2LAMBDA;
            m_context->qmin = 1;
        }
    } else if (codec == AV_CODEC_ID_PNG) {
        // zlib's level 4 deflates photographs about four times faster than its default
        // for files a few percent larger; PNG offers no quality choice to trade this.
        m_context->compression_level = 4;
    }
    return avcodec_open2(m_context, encoder, nullptr) >= 0;
}

bool StillEncoder::encode(AVFrame *frame, std::vector<uint8_t> &image)
{
    if (m_png)
        return m_png->encode(frame, image);
    if (!m_context)
        return false;
    // With a fixed quantiser the encoder reads the scale from each frame, not from the
    // context; a frame without one would be coded at the finest scale.
    if (m_context->flags & AV_CODEC_FLAG_QSCALE)
        frame->quality = m_context->global_quality;
    if (avcodec_send_frame(m_context, frame) < 0)
        return false;
    const int received = avcodec_receive_packet(m_context, m_packet);
    if (received < 0)
        return false;
    image.assign(m_packet->data, m_packet->data + m_packet->size);
    av_packet_unref(m_packet);
    return true;
}
