#include "source/mediasource.h"

#include "librarystate.h"
#include "source/webpanimation.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/display.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The clockwise turn that shows the picture upright, as the display matrix asks.
int uprightRotation(const AVStream *stream)
{
    const uint8_t *matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
    if (!matrix)
        return 0;
    const double angle = -av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
    if (std::isnan(angle))
        return 0;
    const int quarter = static_cast<int>(std::lround(angle / 90.0));
    return ((quarter % 4) + 4) % 4 * 90;
}

// The movie demuxer numbers its streams from the header alone, so a second reader of the
// same file needs no probing to find the video stream.
bool readsMovies(const AVFormatContext *format)
{
    return std::strcmp(format->iformat->name, "mov,mp4,m4a,3gp,3g2,mj2") == 0;
}

// An HEVC picture marked unreferenced may still be referred to from a higher temporal
// layer, so only a stream of one layer, as its configuration record says, can pass over
// such pictures. 0 when the record does not say.
int hevcTemporalLayers(const AVCodecParameters *parameters)
{
    constexpr int kRecordSize = 23;
    constexpr int kLayersByte = 21;
    if (parameters->extradata_size < kRecordSize || parameters->extradata[0] != 1)
        return 0;
    return (parameters->extradata[kLayersByte] >> 3) & 7;
}

} // namespace

MediaSource::MediaSource() = default;

MediaSource::~MediaSource()
{
    av_packet_free(&m_packet);
    avcodec_free_context(&m_decoder);
    avformat_close_input(&m_format);
}

int MediaSource::interrupted(void *opaque)
{
    const auto *self = static_cast<const MediaSource *>(opaque);
    return LibraryState::abortRequested() || (self->m_cancel && self->m_cancel->load());
}

bool MediaSource::open(const std::string &path, const std::atomic<bool> *cancel)
{
    LibraryState::initialise();
    m_cancel = cancel;
    m_path = path;
    if (path.empty() || LibraryState::abortRequested())
        return false;
    if (WebpAnimation::isAnimated(path)) {
        m_webp = std::make_unique<WebpAnimation>();
        return m_webp->open(path);
    }
    m_format = avformat_alloc_context();
    if (!m_format)
        return false;
    m_format->interrupt_callback = {&MediaSource::interrupted, this};
    AVDictionary *options = nullptr;
    // A '%' in a still's name is part of the name, not a sequence pattern.
    av_dict_set(&options, "pattern_type", "none", 0);
    // The explicit protocol keeps a ':' in the name from reading as a protocol prefix.
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&m_format, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false; // avformat_open_input freed the context
    if (avformat_find_stream_info(m_format, nullptr) < 0)
        return false;
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        const AVStream *stream = m_format->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
            && !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
            && stream->codecpar->width > 0 && stream->codecpar->height > 0) {
            m_videoIndex = static_cast<int>(i);
            m_rotation = uprightRotation(stream);
            break;
        }
    }
    return true;
}

const AVStream *MediaSource::videoStream() const
{
    return m_videoIndex >= 0 ? m_format->streams[m_videoIndex] : nullptr;
}

const AVStream *MediaSource::attachedPicture() const
{
    if (!m_format)
        return nullptr;
    for (unsigned i = 0; i < m_format->nb_streams; ++i)
        if ((m_format->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC)
            && m_format->streams[i]->attached_pic.size > 0)
            return m_format->streams[i];
    return nullptr;
}

int MediaSource::audioStreamCount() const
{
    int count = 0;
    for (unsigned i = 0; m_format && i < m_format->nb_streams; ++i)
        count += m_format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
    return count;
}

bool MediaSource::hasVideo() const
{
    return m_webp || m_videoIndex >= 0;
}

int MediaSource::displayWidth() const
{
    if (m_webp)
        return m_webp->width();
    const AVStream *stream = videoStream();
    if (!stream)
        return 0;
    return m_rotation % 180 ? stream->codecpar->height : stream->codecpar->width;
}

int MediaSource::displayHeight() const
{
    if (m_webp)
        return m_webp->height();
    const AVStream *stream = videoStream();
    if (!stream)
        return 0;
    return m_rotation % 180 ? stream->codecpar->width : stream->codecpar->height;
}

uint64_t MediaSource::durationUs() const
{
    if (m_webp)
        return m_webp->durationUs();
    if (m_format && m_format->duration > 0)
        return static_cast<uint64_t>(m_format->duration);
    const AVStream *stream = videoStream();
    if (stream && stream->duration > 0)
        return static_cast<uint64_t>(av_rescale_q(stream->duration, stream->time_base, {1, 1000000}));
    return 0;
}

bool MediaSource::openDecoder(int threads)
{
    if (m_webp || m_decoder)
        return true;
    const AVStream *stream = videoStream();
    if (!stream)
        return false;
    const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
    m_decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    m_packet = av_packet_alloc();
    if (!m_decoder || !m_packet || avcodec_parameters_to_context(m_decoder, stream->codecpar) < 0)
        return false;
    m_decoder->pkt_timebase = stream->time_base;
    m_decoder->thread_count = threads;
    return avcodec_open2(m_decoder, codec, nullptr) >= 0;
}

VideoParams MediaSource::videoParams() const
{
    VideoParams params;
    if (m_webp) {
        params.width = m_webp->width();
        params.height = m_webp->height();
        params.format = AV_PIX_FMT_BGRA;
        params.timeBase = {1, 1000};
        return params;
    }
    const AVStream *stream = videoStream();
    if (!stream || !m_decoder)
        return params;
    params.width = m_decoder->width;
    params.height = m_decoder->height;
    params.format = m_decoder->pix_fmt;
    params.timeBase = stream->time_base;
    if (m_decoder->sample_aspect_ratio.num > 0)
        params.sampleAspect = m_decoder->sample_aspect_ratio;
    params.frameRate = av_guess_frame_rate(m_format, const_cast<AVStream *>(stream), nullptr);
    return params;
}

bool MediaSource::seek(uint64_t t)
{
    if (m_webp) {
        m_webp->rewind();
        return true;
    }
    const AVStream *stream = videoStream();
    if (!stream || !m_decoder)
        return false;
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const int64_t target = start + av_rescale_q(static_cast<int64_t>(t), {1, 1000000}, stream->time_base);
    if (av_seek_frame(m_format, m_videoIndex, target, AVSEEK_FLAG_BACKWARD) < 0
        && av_seek_frame(m_format, m_videoIndex, start, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
        return false;
    avcodec_flush_buffers(m_decoder);
    m_inputEnded = false;
    return true;
}

int MediaSource::nextFrame(AVFrame *frame)
{
    if (m_webp)
        return m_webp->nextFrame(frame);
    if (!m_decoder)
        return -1;
    return decodeNext(frame);
}

int MediaSource::decodeNext(AVFrame *frame)
{
    for (;;) {
        const Decoded decoded = receive(m_decoder, frame);
        if (decoded != Decoded::NeedsInput)
            return decoded == Decoded::Frame ? 1 : decoded == Decoded::End ? 0 : -1;
        if (m_inputEnded)
            return 0;
        const int read = av_read_frame(m_format, m_packet);
        if (read < 0) {
            if (read != AVERROR_EOF && m_format->pb && m_format->pb->error < 0)
                return -1;
            if (interrupted(this))
                return -1;
            m_inputEnded = true;
            avcodec_send_packet(m_decoder, nullptr);
            continue;
        }
        if (m_packet->stream_index == m_videoIndex) {
            if (!m_wantedTimes.empty())
                m_decoder->skip_frame =
                    std::binary_search(m_wantedTimes.begin(), m_wantedTimes.end(), timeUs(m_packet->pts))
                        ? AVDISCARD_DEFAULT
                        : AVDISCARD_NONREF;
            const int sent = avcodec_send_packet(m_decoder, m_packet);
            // A damaged packet is skipped as players do; the stream goes on.
            if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR(EAGAIN)) {
                av_packet_unref(m_packet);
                return -1;
            }
        }
        av_packet_unref(m_packet);
    }
}

int64_t MediaSource::frameTimeUs(const AVFrame *frame) const
{
    if (m_webp)
        return frame->pts * 1000;
    if (!videoStream() || frame->pts == AV_NOPTS_VALUE)
        return 0;
    return timeUs(frame->pts);
}

int64_t MediaSource::timeUs(int64_t pts) const
{
    const AVStream *stream = videoStream();
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    return av_rescale_q(pts - start, stream->time_base, {1, 1000000});
}

bool MediaSource::codingMarksUnreferenced() const
{
    const AVStream *stream = videoStream();
    if (!stream)
        return false;
    if (stream->codecpar->codec_id == AV_CODEC_ID_H264)
        return true;
    return stream->codecpar->codec_id == AV_CODEC_ID_HEVC && hevcTemporalLayers(stream->codecpar) == 1;
}

std::vector<int64_t> MediaSource::packetFrameTimes() const
{
    if (!m_format || !readsMovies(m_format) || !codingMarksUnreferenced())
        return {};
    AVFormatContext *reader = avformat_alloc_context();
    if (!reader)
        return {};
    reader->interrupt_callback = m_format->interrupt_callback;
    const std::string url = "file:" + m_path;
    if (avformat_open_input(&reader, url.c_str(), m_format->iformat, nullptr) < 0)
        return {};
    std::vector<int64_t> times;
    AVPacket *packet = av_packet_alloc();
    bool trusted = packet && m_videoIndex < static_cast<int>(reader->nb_streams);
    int read = 0;
    while (trusted && (read = av_read_frame(reader, packet)) >= 0) {
        // A frame the decoder drops, or stamps with a guess, would not be the one counted.
        if (packet->stream_index == m_videoIndex) {
            trusted = packet->pts != AV_NOPTS_VALUE && !(packet->flags & (AV_PKT_FLAG_DISCARD | AV_PKT_FLAG_CORRUPT));
            if (trusted)
                times.push_back(timeUs(packet->pts));
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&reader);
    std::sort(times.begin(), times.end());
    if (!trusted || read != AVERROR_EOF || std::adjacent_find(times.begin(), times.end()) != times.end())
        return {};
    return times;
}

void MediaSource::decodeOnly(std::vector<int64_t> wantedTimes)
{
    m_wantedTimes = std::move(wantedTimes);
    if (m_decoder && m_wantedTimes.empty())
        m_decoder->skip_frame = AVDISCARD_DEFAULT;
}
