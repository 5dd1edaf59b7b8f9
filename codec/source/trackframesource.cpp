#include "source/trackframesource.h"

#include <cstring>

#include "codecids.h"

namespace {
constexpr AVRational kMicroseconds{1, 1000000};
// Packet sizes come from callers; anything beyond this is no picture of ours.
constexpr size_t kMaxPacketBytes = 256u * 1024 * 1024;
} // namespace

TrackFrameSource::TrackFrameSource(std::shared_ptr<Track> track, const std::atomic<bool> &cancel)
    : m_track(std::move(track)), m_cancel(cancel)
{
}

TrackFrameSource::~TrackFrameSource()
{
    av_packet_free(&m_packet);
    avcodec_free_context(&m_decoder);
}

bool TrackFrameSource::open()
{
    m_description = m_track->description();
    const AVCodec *codec = avcodec_find_decoder(CodecIds::toAv(m_description.codec));
    m_decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    m_packet = av_packet_alloc();
    if (!m_decoder || !m_packet)
        return false;
    m_decoder->width = static_cast<int>(m_description.width);
    m_decoder->height = static_cast<int>(m_description.height);
    m_decoder->pkt_timebase = kMicroseconds;
    if (!m_description.extraData.empty()) {
        const size_t size = m_description.extraData.size();
        m_decoder->extradata = static_cast<uint8_t *>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!m_decoder->extradata)
            return false;
        std::memcpy(m_decoder->extradata, m_description.extraData.data(), size);
        m_decoder->extradata_size = static_cast<int>(size);
    }
    return avcodec_open2(m_decoder, codec, nullptr) >= 0;
}

VideoParams TrackFrameSource::videoParams() const
{
    VideoParams params;
    params.width = m_decoder ? m_decoder->width : 0;
    params.height = m_decoder ? m_decoder->height : 0;
    params.format = m_decoder ? m_decoder->pix_fmt : AV_PIX_FMT_NONE;
    params.timeBase = kMicroseconds;
    if (m_description.rateNum > 0 && m_description.rateDen > 0)
        params.frameRate = {static_cast<int>(m_description.rateNum), static_cast<int>(m_description.rateDen)};
    return params;
}

bool TrackFrameSource::feedDecoder()
{
    if (m_replay == m_taken.size()) {
        PacketData packet;
        if (!m_track->take(packet, m_cancel) || packet.bytes.size() > kMaxPacketBytes)
            return false;
        m_taken.push_back(std::move(packet));
    }
    const PacketData &data = m_taken[m_replay++];
    if (av_new_packet(m_packet, static_cast<int>(data.bytes.size())) < 0)
        return false;
    std::memcpy(m_packet->data, data.bytes.data(), data.bytes.size());
    m_packet->pts = static_cast<int64_t>(data.pts);
    m_packet->dts = data.dts ? static_cast<int64_t>(data.dts) : m_packet->pts;
    m_packet->duration = data.duration;
    m_packet->flags = static_cast<int>(data.flags & AV_PKT_FLAG_KEY);
    const int sent = avcodec_send_packet(m_decoder, m_packet);
    av_packet_unref(m_packet);
    return sent >= 0 || sent == AVERROR_INVALIDDATA;
}

int TrackFrameSource::nextFrame(AVFrame *frame)
{
    if (!m_decoder)
        return -1;
    for (;;) {
        const Decoded decoded = receive(m_decoder, frame);
        if (decoded != Decoded::NeedsInput)
            return decoded == Decoded::Frame ? 1 : decoded == Decoded::End ? 0 : -1;
        if (m_cancel.load())
            return -1;
        if (m_flushed)
            return 0;
        if (!feedDecoder()) {
            if (m_cancel.load())
                return -1;
            m_flushed = true;
            avcodec_send_packet(m_decoder, nullptr);
        }
    }
}

int64_t TrackFrameSource::frameTimeUs(const AVFrame *frame) const
{
    return frame->pts == AV_NOPTS_VALUE ? 0 : frame->pts;
}

bool TrackFrameSource::rewind()
{
    if (!m_decoder)
        return false;
    avcodec_flush_buffers(m_decoder);
    m_replay = 0;
    m_flushed = false;
    return true;
}
