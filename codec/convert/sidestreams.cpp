#include "convert/sidestreams.h"

#include <algorithm>

#include "convert/moviewriter.h"

namespace {

constexpr AVRational kMicroseconds{1, 1000000};

int firstAudioStream(const AVFormatContext *format)
{
    for (unsigned i = 0; format && i < format->nb_streams; ++i)
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return static_cast<int>(i);
    return -1;
}

} // namespace

SideStreams::~SideStreams()
{
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    avcodec_free_context(&m_decoder);
}

bool SideStreams::hasAudio(const std::string &src, const std::atomic<bool> *cancel)
{
    MediaSource source;
    return source.open(src, cancel) && firstAudioStream(source.format()) >= 0;
}

bool SideStreams::open(const std::string &src, const std::atomic<bool> *cancel, MovieWriter &writer,
                       uint64_t rangeStart, uint64_t rangeLength, bool copySubtitles)
{
    m_writer = &writer;
    m_rangeStart = static_cast<int64_t>(rangeStart);
    m_rangeEnd = rangeLength ? static_cast<int64_t>(rangeLength) : INT64_MAX;
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_packet || !m_frame || !m_source.open(src, cancel) || !m_source.format())
        return false;
    const AVFormatContext *format = m_source.format();
    m_copies.assign(format->nb_streams, -1);
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (copySubtitles && format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE)
            m_copies[i] = writer.addCopyStream(format->streams[i]->codecpar, kMicroseconds);
    if (!writer.hasAudioStream())
        return true;
    m_audioIndex = firstAudioStream(format);
    if (m_audioIndex < 0)
        return false;
    const AVStream *stream = format->streams[m_audioIndex];
    m_audioTimeBase = stream->time_base;
    m_audioStart = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    // Frames arrive timed from the range start; the trim keeps the range and nothing
    // before it, so the sound starts with the first picture.
    const std::string trim = "atrim=start_pts=0" + (rangeLength ? ":end_pts=" + std::to_string(rangeLength) : std::string());
    return openDecoder(stream->codecpar, trim);
}

bool SideStreams::openTrack(std::shared_ptr<Track> sound, const std::atomic<bool> *cancel, MovieWriter &writer)
{
    m_writer = &writer;
    m_soundTrack = std::move(sound);
    m_cancel = cancel;
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_packet || !m_frame || !m_soundTrack || !cancel)
        return false;
    if (!writer.hasAudioStream())
        return true;
    AVCodecParameters *parameters = Track::codecParameters(m_soundTrack->description());
    m_audioIndex = 0;
    const bool ok = parameters && openDecoder(parameters, "");
    avcodec_parameters_free(&parameters);
    return ok;
}

bool SideStreams::openDecoder(const AVCodecParameters *parameters, const std::string &chain)
{
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    m_decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_decoder || avcodec_parameters_to_context(m_decoder, parameters) < 0)
        return false;
    m_decoder->pkt_timebase = m_audioTimeBase;
    return avcodec_open2(m_decoder, codec, nullptr) >= 0 && m_filter.build(m_decoder, chain, m_writer->audioEncoder());
}

bool SideStreams::takeFromTrack()
{
    PacketData data;
    if (!m_soundTrack->take(data, *m_cancel)) {
        m_ended = true;
        return true;
    }
    if (av_new_packet(m_packet, static_cast<int>(data.bytes.size())) < 0)
        return false;
    std::copy(data.bytes.begin(), data.bytes.end(), m_packet->data);
    m_packet->pts = static_cast<int64_t>(data.pts);
    m_packet->dts = static_cast<int64_t>(data.dts);
    m_packet->duration = data.duration;
    m_readTime = std::max(m_readTime, m_packet->pts);
    const bool decoded = m_audioIndex < 0 || decodeAudio(m_packet);
    av_packet_unref(m_packet);
    return decoded;
}

int64_t SideStreams::outputTime(const AVPacket *packet) const
{
    const AVStream *stream = m_source.format()->streams[packet->stream_index];
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (pts == AV_NOPTS_VALUE)
        return m_readTime;
    return av_rescale_q(pts - start, stream->time_base, kMicroseconds) - m_rangeStart;
}

bool SideStreams::advanceTo(int64_t t)
{
    if (!m_soundTrack && !m_source.format())
        return true; // nothing opened: a source without sound and subtitles to give
    while (m_soundTrack && !m_ended && m_readTime < t)
        if (!takeFromTrack())
            return false;
    while (!m_soundTrack && !m_ended && m_readTime < t) {
        if (m_readTime >= m_rangeEnd) {
            m_ended = true;
            break;
        }
        const int read = av_read_frame(m_source.format(), m_packet);
        if (read < 0) {
            const AVIOContext *io = m_source.format()->pb;
            if (read != AVERROR_EOF && io && io->error < 0)
                return false;
            m_ended = true;
            break;
        }
        const bool handled = handle(m_packet);
        av_packet_unref(m_packet);
        if (!handled)
            return false;
    }
    return true;
}

bool SideStreams::handle(AVPacket *packet)
{
    const int index = packet->stream_index;
    if (index < 0 || index >= static_cast<int>(m_copies.size()))
        return true;
    if (index == m_audioIndex) {
        m_readTime = std::max(m_readTime, outputTime(packet));
        return decodeAudio(packet);
    }
    const int copy = m_copies[static_cast<size_t>(index)];
    const int64_t time = outputTime(packet);
    if (copy < 0 || time < 0 || time >= m_rangeEnd)
        return true;
    const AVStream *stream = m_source.format()->streams[index];
    packet->duration = av_rescale_q(packet->duration, stream->time_base, kMicroseconds);
    packet->pts = packet->dts = time;
    return m_writer->writePacket(packet, kMicroseconds, copy);
}

bool SideStreams::decodeAudio(AVPacket *packet)
{
    const int sent = avcodec_send_packet(m_decoder, packet);
    // A damaged packet costs a moment of sound, as in players.
    if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR_EOF)
        return false;
    for (;;) {
        const int received = avcodec_receive_frame(m_decoder, m_frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return drainFilter();
        if (received < 0)
            return false;
        const int64_t pts = m_frame->best_effort_timestamp;
        m_frame->pts = pts == AV_NOPTS_VALUE
                           ? AV_NOPTS_VALUE
                           : av_rescale_q(pts - m_audioStart, m_audioTimeBase, kMicroseconds) - m_rangeStart;
        // Once the trim has passed the range's end it takes no more input.
        const bool pushed = m_frame->pts >= m_rangeEnd || m_filter.push(m_frame);
        av_frame_unref(m_frame);
        if (!pushed)
            return false;
    }
}

bool SideStreams::drainFilter()
{
    int pulled = 0;
    while ((pulled = m_filter.pull(m_frame)) > 0) {
        const AVRational timeBase = m_filter.outputTimeBase();
        m_position = static_cast<uint64_t>(std::max<int64_t>(0, av_rescale_q(m_frame->pts + m_frame->nb_samples, timeBase, kMicroseconds)));
        const bool written = m_writer->writeAudio(m_frame);
        av_frame_unref(m_frame);
        if (!written)
            return false;
    }
    // Past the range the trim reports the end of its output, which is no failure.
    return true;
}

bool SideStreams::finish(bool endSound)
{
    if (!advanceTo(INT64_MAX))
        return false;
    if (m_audioIndex < 0)
        return true;
    m_ended = true;
    return decodeAudio(nullptr) && m_filter.push(nullptr) && drainFilter() && (!endSound || m_writer->writeAudio(nullptr));
}
