#include "convert/moviewriter.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

#include "codecids.h"
#include "mmc.h"
#include "workingfile.h"

namespace {

constexpr int kOutputBuffer = 1 << 16;

int writeToFile(void *file, uint8_t *bytes, int size)
{
    // The muxer keeps the error, so the system's reason outlives the failed write.
    if (std::fwrite(bytes, 1, size_t(size), static_cast<FILE *>(file)) == size_t(size))
        return size;
    return AVERROR(errno ? errno : EIO);
}

int64_t seekInFile(void *opaque, int64_t offset, int whence)
{
    FILE *file = static_cast<FILE *>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat info;
        return std::fflush(file) == 0 && ::fstat(fileno(file), &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
    }
    if (fseeko(file, offset, whence & ~AVSEEK_FORCE) != 0)
        return AVERROR(errno);
    return ftello(file);
}

bool isAnimation(const std::string &format)
{
    return format == "gif" || format == "webp";
}

bool namesCodec(uint32_t codec)
{
    return codec != 0 && codec != UINT32_MAX;
}

const AVCodec *chooseEncoder(const AVOutputFormat *muxer, const std::string &format, uint32_t codec)
{
    if (format == "gif")
        return avcodec_find_encoder(AV_CODEC_ID_GIF);
    if (format == "webp")
        return avcodec_find_encoder_by_name("libwebp_anim");
    if (!namesCodec(codec) || muxer->video_codec == AV_CODEC_ID_NONE)
        return nullptr;
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

// The named encoder first; then the library id's own, where the muxer takes it (FFmpeg's
// native Vorbis encoder is experimental, so Vorbis goes through libvorbis); then the
// muxer's default.
const AVCodec *chooseAudioEncoder(const AVOutputFormat *muxer, const EncodeSettings &settings)
{
    if (!settings.wantsAudio() || muxer->audio_codec == AV_CODEC_ID_NONE || isAnimation(muxer->name))
        return nullptr;
    if (const AVCodec *named = avcodec_find_encoder_by_name(settings.audioEncoder.c_str()))
        if (named->type == AVMEDIA_TYPE_AUDIO && avformat_query_codec(muxer, named->id, FF_COMPLIANCE_NORMAL) == 1)
            return named;
    const AVCodecID id = CodecIds::toAv(settings.audioCodec);
    if (id != AV_CODEC_ID_NONE && avformat_query_codec(muxer, id, FF_COMPLIANCE_NORMAL) == 1) {
        if (id == AV_CODEC_ID_MP3)
            return avcodec_find_encoder_by_name("libmp3lame");
        if (id == AV_CODEC_ID_VORBIS)
            return avcodec_find_encoder_by_name("libvorbis");
        return avcodec_find_encoder(id);
    }
    if (muxer->audio_codec == AV_CODEC_ID_VORBIS)
        return avcodec_find_encoder_by_name("libvorbis");
    return avcodec_find_encoder(muxer->audio_codec);
}

int supportedRate(const AVCodec *codec, int wanted)
{
    if (!codec->supported_samplerates)
        return wanted;
    for (const int *rate = codec->supported_samplerates; *rate; ++rate)
        if (*rate == wanted)
            return wanted;
    return codec->supported_samplerates[0];
}

void supportedLayout(const AVCodec *codec, int channels, AVChannelLayout *layout)
{
    av_channel_layout_default(layout, channels > 0 ? channels : 2);
    if (!codec->ch_layouts)
        return;
    for (const AVChannelLayout *offered = codec->ch_layouts; offered->nb_channels; ++offered)
        if (av_channel_layout_compare(offered, layout) == 0)
            return;
    av_channel_layout_uninit(layout);
    av_channel_layout_copy(layout, &codec->ch_layouts[0]);
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
    // A muxer that wrote its header but no trailer may still hold packets (the GIF muxer
    // its last picture) that only the trailer frees; the unfinished file is discarded.
    if (m_headerWritten && !m_trailerWritten)
        av_write_trailer(m_muxer);
    closeFile();
    avformat_free_context(m_muxer);
    avcodec_free_context(&m_encoder);
    avcodec_free_context(&m_audioEncoder);
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    if (m_audioFifo)
        av_audio_fifo_free(m_audioFifo);
}

bool MovieWriter::prepareMuxer(const std::string &format, const EncodeSettings &settings)
{
    m_settings = settings;
    const AVOutputFormat *muxer = av_guess_format(format.c_str(), nullptr, nullptr);
    if (!muxer || format.empty() || format != muxer->name)
        return false; // names compare exactly: "GIF" is no muxer
    return avformat_alloc_output_context2(&m_muxer, muxer, nullptr, nullptr) >= 0;
}

bool MovieWriter::prepare(const std::string &format, const EncodeSettings &settings)
{
    if (!prepareMuxer(format, settings))
        return false;
    m_codec = chooseEncoder(m_muxer->oformat, format, settings.videoCodec);
    m_audioCodec = chooseAudioEncoder(m_muxer->oformat, settings);
    if (m_codec)
        m_pixelFormat = preferredFormat(m_codec);
    return m_codec || m_audioCodec;
}

bool MovieWriter::prepareCopy(const std::string &format, const EncodeSettings &settings)
{
    return prepareMuxer(format, settings);
}

bool MovieWriter::open(int descriptor, bool withPicture, bool withSound)
{
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_muxer || !m_packet || !m_frame || m_file || !(m_file = WorkingFile::openForWriting(descriptor)))
        return false;
    auto *buffer = static_cast<uint8_t *>(av_malloc(kOutputBuffer));
    if (buffer)
        m_muxer->pb = avio_alloc_context(buffer, kOutputBuffer, 1, m_file, nullptr, writeToFile, seekInFile);
    if (!m_muxer->pb) {
        av_free(buffer);
        return false;
    }
    if (!withPicture)
        m_codec = nullptr;
    // The picture comes first in the file, though its encoder opens only with a frame.
    if (m_codec && !(m_stream = avformat_new_stream(m_muxer, nullptr)))
        return false;
    if (!withSound)
        m_audioCodec = nullptr;
    return (!m_audioCodec || openAudioEncoder()) && addChapters();
}

bool MovieWriter::openAudioEncoder()
{
    m_audioEncoder = avcodec_alloc_context3(m_audioCodec);
    if (!m_audioEncoder)
        return false;
    m_audioEncoder->sample_rate = supportedRate(m_audioCodec, static_cast<int>(m_settings.sampleRate ? m_settings.sampleRate : 44100));
    supportedLayout(m_audioCodec, static_cast<int>(m_settings.channels), &m_audioEncoder->ch_layout);
    m_audioEncoder->sample_fmt = m_audioCodec->sample_fmts ? m_audioCodec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    m_audioEncoder->time_base = {1, m_audioEncoder->sample_rate};
    if (m_settings.audioBitrate)
        m_audioEncoder->bit_rate = m_settings.audioBitrate;
    if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
        m_audioEncoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(m_audioEncoder, m_audioCodec, nullptr) < 0)
        return false;
    m_audioStream = avformat_new_stream(m_muxer, nullptr);
    if (!m_audioStream || avcodec_parameters_from_context(m_audioStream->codecpar, m_audioEncoder) < 0)
        return false;
    m_audioStream->time_base = m_audioEncoder->time_base;
    m_audioFifo = av_audio_fifo_alloc(m_audioEncoder->sample_fmt, m_audioEncoder->ch_layout.nb_channels, 4096);
    return m_audioFifo != nullptr;
}

bool MovieWriter::addChapters()
{
    // The muxers free what is attached here with the context.
    for (const EncodeSettings::Chapter &wanted : m_settings.chapters) {
        auto *chapter = static_cast<AVChapter *>(av_mallocz(sizeof(AVChapter)));
        if (!chapter)
            return false;
        chapter->id = m_muxer->nb_chapters + 1;
        chapter->time_base = {1, 1000000};
        chapter->start = static_cast<int64_t>(wanted.startUs);
        chapter->end = static_cast<int64_t>(wanted.startUs + wanted.lengthUs);
        if (!wanted.title.empty())
            av_dict_set(&chapter->metadata, "title", wanted.title.c_str(), 0);
        av_dynarray_add(&m_muxer->chapters, reinterpret_cast<int *>(&m_muxer->nb_chapters), chapter);
        if (!m_muxer->chapters)
            return false;
    }
    return true;
}

int MovieWriter::addCopyStream(const AVCodecParameters *parameters, AVRational timeBase)
{
    if (!m_muxer || m_headerWritten
        || avformat_query_codec(m_muxer->oformat, parameters->codec_id, FF_COMPLIANCE_NORMAL) != 1)
        return -1;
    AVStream *stream = avformat_new_stream(m_muxer, nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, parameters) < 0)
        return -1;
    stream->codecpar->codec_tag = 0;
    stream->time_base = timeBase;
    return stream->index;
}

int MovieWriter::addTrackStream(const Track::Description &track, AVRational timeBase)
{
    AVCodecParameters *parameters = Track::codecParameters(track);
    const int stream = parameters ? addCopyStream(parameters, timeBase) : -1;
    avcodec_parameters_free(&parameters);
    return stream;
}

bool MovieWriter::writeHeader()
{
    if (m_headerWritten)
        return true;
    if (m_codec && !m_encoder)
        return false; // the picture's stream is not described yet
    // Users expect a Live Photo animation to loop for ever; the WebP muxer plays once
    // unless told otherwise. Muxers without the option ignore it.
    if (m_muxer->priv_data)
        av_opt_set_int(m_muxer->priv_data, "loop", 0, 0);
    m_headerWritten = avformat_write_header(m_muxer, nullptr) >= 0;
    return m_headerWritten;
}

AVCodecContext *MovieWriter::createEncoder(int width, int height, AVPixelFormat format, AVRational sampleAspect,
                                           AVRational timeBase) const
{
    AVCodecContext *encoder = avcodec_alloc_context3(m_codec);
    if (!encoder)
        return nullptr;
    encoder->width = width;
    encoder->height = height;
    encoder->pix_fmt = format;
    encoder->sample_aspect_ratio = sampleAspect;
    encoder->time_base = timeBase;
    encoder->thread_count = 0;
    if (m_settings.videoBitrate)
        encoder->bit_rate = m_settings.videoBitrate;
    if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary *options = nullptr;
    if (m_codec->id == AV_CODEC_ID_WEBP) {
        av_dict_set_int(&options, "quality", m_settings.quality ? m_settings.quality : 75, 0);
        av_dict_set_int(&options, "lossless", 0, 0);
        av_dict_set_int(&options, "compression_level", 4, 0);
    }
    if (m_settings.profile == 66 && m_codec->id == AV_CODEC_ID_H264)
        av_dict_set(&options, "profile", "baseline", 0);
    const int opened = avcodec_open2(encoder, m_codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        avcodec_free_context(&encoder);
    return encoder;
}

bool MovieWriter::openEncoder(const AVFrame *frame, AVRational timeBase)
{
    if (!m_stream)
        return false;
    m_encoder = createEncoder(frame->width, frame->height, AVPixelFormat(frame->format), frame->sample_aspect_ratio,
                              encoderTimeBase(m_codec, timeBase));
    if (!m_encoder || avcodec_parameters_from_context(m_stream->codecpar, m_encoder) < 0)
        return false;
    m_stream->time_base = m_encoder->time_base;
    return writeHeader();
}

bool MovieWriter::stamp(AVFrame *frame, AVRational timeBase)
{
    if (!m_codec || (!m_encoder && !openEncoder(frame, timeBase)))
        return false;
    if (frame->width != m_encoder->width || frame->height != m_encoder->height)
        return false;
    frame->pts = av_rescale_q(frame->pts, timeBase, m_encoder->time_base);
    // Two source frames inside one output tick would break the muxer's ordering.
    if (m_lastPts != AV_NOPTS_VALUE && frame->pts <= m_lastPts)
        frame->pts = m_lastPts + 1;
    if (m_lastPts != AV_NOPTS_VALUE)
        m_frameSpacing = frame->pts - m_lastPts;
    m_lastPts = frame->pts;
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    return true;
}

bool MovieWriter::write(const AVFrame *frame, AVRational timeBase)
{
    av_frame_unref(m_frame);
    if (av_frame_ref(m_frame, frame) < 0 || !stamp(m_frame, timeBase)
        || avcodec_send_frame(m_encoder, m_frame) < 0)
        return false;
    ++m_frames;
    return drain(m_encoder, m_stream);
}

bool MovieWriter::writeStampedPicture(const std::vector<uint8_t> &packet)
{
    av_packet_unref(m_packet);
    if (!m_encoder || av_new_packet(m_packet, static_cast<int>(packet.size())) < 0)
        return false;
    std::copy(packet.begin(), packet.end(), m_packet->data);
    m_packet->pts = m_lastPts;
    m_packet->dts = m_lastPts;
    if (m_frames == 0)
        m_packet->flags |= AV_PKT_FLAG_KEY;
    ++m_frames;
    return writeEncoded(m_encoder, m_stream, m_packet, m_frameSpacing);
}

bool MovieWriter::writeAudio(const AVFrame *frame)
{
    if (!m_audioEncoder || !writeHeader())
        return false;
    // Encoders without variable frame sizes take exactly their frame size (1024 for
    // AAC), and a short frame only at the very end.
    const int chunk = m_audioEncoder->frame_size > 0 ? m_audioEncoder->frame_size : 1024;
    if (frame) {
        if (av_audio_fifo_write(m_audioFifo, reinterpret_cast<void **>(frame->extended_data), frame->nb_samples)
            < frame->nb_samples)
            return false;
        while (av_audio_fifo_size(m_audioFifo) >= chunk)
            if (!encodeAudio(chunk))
                return false;
        return true;
    }
    if (av_audio_fifo_size(m_audioFifo) > 0 && !encodeAudio(av_audio_fifo_size(m_audioFifo)))
        return false;
    return avcodec_send_frame(m_audioEncoder, nullptr) >= 0 && drain(m_audioEncoder, m_audioStream);
}

bool MovieWriter::encodeAudio(int samples)
{
    av_frame_unref(m_frame);
    m_frame->nb_samples = samples;
    m_frame->format = m_audioEncoder->sample_fmt;
    m_frame->sample_rate = m_audioEncoder->sample_rate;
    if (av_channel_layout_copy(&m_frame->ch_layout, &m_audioEncoder->ch_layout) < 0
        || av_frame_get_buffer(m_frame, 0) < 0
        || av_audio_fifo_read(m_audioFifo, reinterpret_cast<void **>(m_frame->data), samples) < samples)
        return false;
    m_frame->pts = m_audioSamples;
    m_audioSamples += samples;
    ++m_frames;
    return avcodec_send_frame(m_audioEncoder, m_frame) >= 0 && drain(m_audioEncoder, m_audioStream);
}

bool MovieWriter::padAudioTo(int64_t t)
{
    if (!m_audioEncoder)
        return true;
    const int64_t wanted = av_rescale(t, m_audioEncoder->sample_rate, 1000000);
    int64_t missing = wanted - m_audioSamples - av_audio_fifo_size(m_audioFifo);
    while (missing > 0) {
        const int samples = static_cast<int>(std::min<int64_t>(missing, 4096));
        AVFrame *silence = av_frame_alloc();
        bool ok = silence != nullptr;
        if (ok) {
            silence->nb_samples = samples;
            silence->format = m_audioEncoder->sample_fmt;
            ok = av_channel_layout_copy(&silence->ch_layout, &m_audioEncoder->ch_layout) >= 0
                 && av_frame_get_buffer(silence, 0) >= 0
                 && av_samples_set_silence(silence->extended_data, 0, samples, silence->ch_layout.nb_channels,
                                           m_audioEncoder->sample_fmt) >= 0
                 && writeAudio(silence);
        }
        av_frame_free(&silence);
        if (!ok)
            return false;
        missing -= samples;
    }
    return true;
}

bool MovieWriter::writePacket(AVPacket *packet, AVRational timeBase, int stream)
{
    if (stream < 0 || stream >= static_cast<int>(m_muxer->nb_streams) || !writeHeader())
        return false;
    av_packet_rescale_ts(packet, timeBase, m_muxer->streams[stream]->time_base);
    packet->stream_index = stream;
    packet->pos = -1;
    ++m_frames;
    return av_interleaved_write_frame(m_muxer, packet) >= 0;
}

bool MovieWriter::drain(AVCodecContext *encoder, AVStream *stream)
{
    for (;;) {
        const int received = avcodec_receive_packet(encoder, m_packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0 || !writeEncoded(encoder, stream, m_packet, m_frameSpacing))
            return false;
    }
}

bool MovieWriter::writeEncoded(AVCodecContext *encoder, AVStream *stream, AVPacket *packet, int64_t spacing)
{
    // Without a duration the last picture would get none, and players drop it.
    if (encoder == m_encoder && packet->duration <= 0)
        packet->duration = spacing;
    av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
    packet->stream_index = stream->index;
    return av_interleaved_write_frame(m_muxer, packet) >= 0;
}

bool MovieWriter::finish()
{
    if (m_frames == 0 || !writeHeader())
        return false;
    if (m_encoder && (avcodec_send_frame(m_encoder, nullptr) < 0 || !drain(m_encoder, m_stream)))
        return false;
    m_trailerWritten = true;
    const bool trailer = av_write_trailer(m_muxer) >= 0;
    const bool closed = closeFile();
    return trailer && closed;
}

bool MovieWriter::closeFile()
{
    if (m_muxer && m_muxer->pb) {
        avio_flush(m_muxer->pb);
        m_systemError = systemError();
        av_freep(&m_muxer->pb->buffer);
        avio_context_free(&m_muxer->pb);
    }
    if (m_file && std::fclose(m_file) != 0 && m_systemError == 0)
        m_systemError = errno;
    m_file = nullptr;
    return m_systemError == 0;
}

int MovieWriter::systemError() const
{
    if (m_muxer && m_muxer->pb && m_muxer->pb->error < 0)
        return AVUNERROR(m_muxer->pb->error);
    return m_systemError;
}
