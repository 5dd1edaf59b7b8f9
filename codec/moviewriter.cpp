#include "moviewriter.h"

extern "C" {
#include <libavutil/opt.h>
}

#include "codecids.h"
#include "mmc.h"

namespace {

const AVCodec *chooseEncoder(const AVOutputFormat *muxer, const std::string &format, uint32_t codec)
{
    if (format == "gif")
        return avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (format == "webp")
        return avcodec_find_encoder_by_name("libwebp_anim");
    switch (codec) {
    case MMC_CODEC_H264:
        return avcodec_find_encoder_by_name("libx264");
    case MMC_CODEC_HEVC:
        return avcodec_find_encoder_by_name("libx265");
    default:
        break;
    }
    const AVCodecID id = CodecIds::toAv(codec);
    if (id != AV_CODEC_ID_NONE && avformat_query_codec(muxer, id, FF_COMPLIANCE_NORMAL) == 1)
        return avcodec_find_encoder(id);
    return avcodec_find_encoder(muxer->video_codec);
}

AVPixelFormat preferredFormat(const AVCodec *codec)
{
    if (codec->id == AV_CODEC_ID_GIF)
        return AV_PIX_FMT_PAL8;
    for (const AVPixelFormat *f = codec->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f)
        if (*f == AV_PIX_FMT_YUV420P)
            return *f;
    return codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
}

AVRational encoderTimeBase(const AVCodec *codec, AVRational filterTimeBase)
{
    if (codec->id == AV_CODEC_ID_GIF)
        return {1, 100}; // GIF delays count hundredths of a second
    if (codec->id == AV_CODEC_ID_WEBP)
        return {1, 1000};
    return filterTimeBase;
}

} // namespace

MovieWriter::~MovieWriter()
{
    if (m_muxer && !(m_muxer->oformat->flags & AVFMT_NOFILE))
        avio_closep(&m_muxer->pb);
    avformat_free_context(m_muxer);
    avcodec_free_context(&m_encoder);
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
}

bool MovieWriter::prepare(const std::string &format, const EncodeSettings &settings)
{
    m_settings = settings;
    const AVOutputFormat *muxer = av_guess_format(format.c_str(), nullptr, nullptr);
    if (!muxer || format.empty() || format != muxer->name)
        return false; // names compare exactly: "GIF" is no muxer
    m_codec = chooseEncoder(muxer, format, settings.videoCodec);
    if (!m_codec)
        return false;
    m_pixelFormat = preferredFormat(m_codec);
    return avformat_alloc_output_context2(&m_muxer, muxer, nullptr, nullptr) >= 0;
}

bool MovieWriter::open(const std::string &path)
{
    m_path = path;
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_muxer || !m_packet || !m_frame)
        return false;
    const std::string url = "file:" + path;
    return avio_open(&m_muxer->pb, url.c_str(), AVIO_FLAG_WRITE) >= 0;
}

bool MovieWriter::openEncoder(const AVFrame *frame, AVRational timeBase)
{
    m_encoder = avcodec_alloc_context3(m_codec);
    if (!m_encoder)
        return false;
    m_encoder->width = frame->width;
    m_encoder->height = frame->height;
    m_encoder->pix_fmt = AVPixelFormat(frame->format);
    m_encoder->sample_aspect_ratio = frame->sample_aspect_ratio;
    m_encoder->time_base = encoderTimeBase(m_codec, timeBase);
    m_encoder->thread_count = 0;
    if (m_settings.videoBitrate)
        m_encoder->bit_rate = m_settings.videoBitrate;
    if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
        m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (m_codec->id == AV_CODEC_ID_WEBP) {
        av_dict_set_int(&options, "quality", m_settings.quality ? m_settings.quality : 75, 0);
        av_dict_set_int(&options, "lossless", 0, 0);
        av_dict_set_int(&options, "compression_level", 4, 0);
    }
    if (m_settings.profile == 66 && m_codec->id == AV_CODEC_ID_H264)
        av_dict_set(&options, "profile", "baseline", 0);
    const int opened = avcodec_open2(m_encoder, m_codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;
    m_stream = avformat_new_stream(m_muxer, nullptr);
    if (!m_stream || avcodec_parameters_from_context(m_stream->codecpar, m_encoder) < 0)
        return false;
    m_stream->time_base = m_encoder->time_base;
    // Users expect a Live Photo animation to loop for ever; the WebP muxer plays once
    // unless told otherwise. Muxers without the option ignore it.
    if (m_muxer->priv_data)
        av_opt_set_int(m_muxer->priv_data, "loop", 0, 0);
    return avformat_write_header(m_muxer, nullptr) >= 0;
}

bool MovieWriter::write(const AVFrame *frame, AVRational timeBase)
{
    if (!m_encoder && !openEncoder(frame, timeBase))
        return false;
    if (frame->width != m_encoder->width || frame->height != m_encoder->height)
        return false;
    av_frame_unref(m_frame);
    if (av_frame_ref(m_frame, frame) < 0)
        return false;
    m_frame->pts = av_rescale_q(frame->pts, timeBase, m_encoder->time_base);
    // Two source frames inside one output tick would break the muxer's ordering.
    if (m_lastPts != AV_NOPTS_VALUE && m_frame->pts <= m_lastPts)
        m_frame->pts = m_lastPts + 1;
    m_lastPts = m_frame->pts;
    m_frame->pict_type = AV_PICTURE_TYPE_NONE;
    if (avcodec_send_frame(m_encoder, m_frame) < 0)
        return false;
    ++m_frames;
    return drain();
}

bool MovieWriter::drain()
{
    for (;;) {
        const int received = avcodec_receive_packet(m_encoder, m_packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return false;
        av_packet_rescale_ts(m_packet, m_encoder->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        if (av_interleaved_write_frame(m_muxer, m_packet) < 0)
            return false;
    }
}

bool MovieWriter::finish()
{
    if (!m_encoder || m_frames == 0)
        return false;
    if (avcodec_send_frame(m_encoder, nullptr) < 0 || !drain())
        return false;
    const bool trailer = av_write_trailer(m_muxer) >= 0;
    const bool closed = avio_closep(&m_muxer->pb) >= 0;
    return trailer && closed;
}
