#include "source/track.h"

#include <algorithm>

#include "codecids.h"
#include "mmc.h"

namespace {
// Frame length assumed when the packets tell nothing better (25 frames a second).
constexpr uint64_t kDefaultFrameUs = 40000;
} // namespace

Track::Track(int type)
{
    m_description.type = type;
}

Track::Description Track::description()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_description;
}

bool Track::write(const PacketData &packet)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_ended)
            return false;
        if (packet.endOfStream) {
            m_ended = true;
        } else {
            if (!m_queue.empty() || m_lastPts > 0)
                m_lastDelta = packet.pts > m_lastPts ? packet.pts - m_lastPts : m_lastDelta;
            m_lastPts = std::max(m_lastPts, packet.pts);
            m_queue.push_back(packet);
        }
    }
    m_arrived.notify_all();
    return true;
}

bool Track::take(PacketData &packet, const std::atomic<bool> &cancel)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived.wait(lock, [&] { return cancel.load() || !m_queue.empty() || m_ended; });
    if (cancel.load() || m_queue.empty())
        return false;
    packet = std::move(m_queue.front());
    m_queue.pop_front();
    m_lastTaken.store(packet.pts);
    return true;
}

void Track::wake()
{
    // Taking the lock orders the wake after a reader's check of its cancel flag.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_arrived.notify_all();
}

uint64_t Track::expectedDurationUs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastPts + (m_lastDelta ? m_lastDelta : kDefaultFrameUs);
}

AVCodecParameters *Track::codecParameters(const Description &track)
{
    const AVCodecID codec = CodecIds::toAv(track.codec);
    AVCodecParameters *parameters = codec != AV_CODEC_ID_NONE ? avcodec_parameters_alloc() : nullptr;
    if (!parameters)
        return nullptr;
    parameters->codec_type = track.type == MMC_TRACK_VIDEO   ? AVMEDIA_TYPE_VIDEO
                             : track.type == MMC_TRACK_AUDIO ? AVMEDIA_TYPE_AUDIO
                                                             : AVMEDIA_TYPE_SUBTITLE;
    parameters->codec_id = codec;
    parameters->width = static_cast<int>(track.width);
    parameters->height = static_cast<int>(track.height);
    parameters->sample_rate = static_cast<int>(track.sampleRate);
    if (track.type == MMC_TRACK_AUDIO)
        av_channel_layout_default(&parameters->ch_layout, track.channels ? static_cast<int>(track.channels) : 2);
    if (track.type == MMC_TRACK_VIDEO)
        parameters->format = codec == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    if (!track.extraData.empty()) {
        parameters->extradata = static_cast<uint8_t *>(av_mallocz(track.extraData.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!parameters->extradata) {
            avcodec_parameters_free(&parameters);
            return nullptr;
        }
        std::copy(track.extraData.begin(), track.extraData.end(), parameters->extradata);
        parameters->extradata_size = static_cast<int>(track.extraData.size());
    }
    return parameters;
}
