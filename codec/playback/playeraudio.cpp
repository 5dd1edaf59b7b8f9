#include "playback/playeraudio.h"

#include "playback/audiooutput.h"
#include "playback/playerclock.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <vector>

namespace {

// How far ahead of the clock the device's queue is kept: enough to ride out a slow
// decode, short enough that a volume change is soon heard.
constexpr int64_t kQueueAheadUs = 150000;
constexpr int kMaxChannels = 16;
constexpr int kMaxSampleRate = 384000;

int streamOfTrack(const AVFormatContext *format, int track)
{
    int seen = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        if (seen++ == track)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

PlayerAudio::PlayerAudio(AudioOutput &output, PlayerClock &clock)
    : m_output(output)
    , m_clock(clock)
{
}

PlayerAudio::~PlayerAudio()
{
    m_quit = true;
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    av_frame_free(&m_frame);
    av_packet_free(&m_packet);
    swr_free(&m_resampler);
    avcodec_free_context(&m_decoder);
}

bool PlayerAudio::open(const std::string &path, int track)
{
    m_packet = av_packet_alloc();
    m_frame = av_frame_alloc();
    if (!m_packet || !m_frame || !m_source.open(path, &m_quit) || !m_source.format())
        return false;
    const int64_t start = m_source.format()->start_time;
    m_startTime = start == AV_NOPTS_VALUE ? 0 : start;
    return openDecoder(track);
}

bool PlayerAudio::openDecoder(int track)
{
    const int index = streamOfTrack(m_source.format(), track);
    if (index < 0)
        return false;
    const AVCodecParameters *parameters = m_source.format()->streams[index]->codecpar;
    if (parameters->ch_layout.nb_channels < 1 || parameters->ch_layout.nb_channels > kMaxChannels
        || parameters->sample_rate < 1 || parameters->sample_rate > kMaxSampleRate)
        return false;
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    AVCodecContext *decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!decoder || avcodec_parameters_to_context(decoder, parameters) < 0) {
        avcodec_free_context(&decoder);
        return false;
    }
    decoder->pkt_timebase = m_source.format()->streams[index]->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder, codec, nullptr) < 0) {
        avcodec_free_context(&decoder);
        return false;
    }
    AVChannelLayout input{};
    if (decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&input, decoder->ch_layout.nb_channels);
    else
        av_channel_layout_copy(&input, &decoder->ch_layout);
    AVChannelLayout output{};
    av_channel_layout_default(&output, m_output.channels());
    SwrContext *resampler = nullptr;
    const bool ready = swr_alloc_set_opts2(&resampler, &output, AV_SAMPLE_FMT_S16, m_output.sampleRate(), &input,
                                           decoder->sample_fmt, decoder->sample_rate, 0, nullptr) >= 0
                       && swr_init(resampler) >= 0;
    av_channel_layout_uninit(&input);
    av_channel_layout_uninit(&output);
    if (!ready) {
        swr_free(&resampler);
        avcodec_free_context(&decoder);
        return false;
    }
    avcodec_free_context(&m_decoder);
    swr_free(&m_resampler);
    m_decoder = decoder;
    m_resampler = resampler;
    m_streamIndex = index;
    m_track = track;
    return true;
}

void PlayerAudio::start()
{
    m_thread = std::thread(&PlayerAudio::run, this);
}

void PlayerAudio::run()
{
    while (!m_quit) {
        std::unique_lock<std::mutex> lock(m_mutex);
        // Reading the clock here also lets it notice a stalled device in sound-only media.
        m_clock.now();
        if (m_finished || m_output.queuedUs() >= kQueueAheadUs) {
            m_wake.wait_for(lock, std::chrono::milliseconds(10));
            continue;
        }
        if (!fill()) {
            m_finished = true;
            m_clock.setAudioFinished();
        }
    }
}

bool PlayerAudio::fill()
{
    for (;;) {
        const int received = avcodec_receive_frame(m_decoder, m_frame);
        if (received >= 0) {
            emitFrame(m_frame);
            av_frame_unref(m_frame);
            return true;
        }
        if (received == AVERROR_EOF)
            return false;
        if (received != AVERROR(EAGAIN))
            return false;
        if (m_inputEnded)
            return false;
        const int read = av_read_frame(m_source.format(), m_packet);
        if (read < 0) {
            m_inputEnded = true;
            avcodec_send_packet(m_decoder, nullptr);
            continue;
        }
        if (m_packet->stream_index == m_streamIndex)
            avcodec_send_packet(m_decoder, m_packet); // a damaged packet is skipped
        av_packet_unref(m_packet);
        return true;
    }
}

void PlayerAudio::emitFrame(const AVFrame *frame)
{
    const int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        return;
    const int64_t startUs = av_rescale_q(pts, m_decoder->pkt_timebase, {1, 1000000}) - m_startTime;
    const int capacity = swr_get_out_samples(m_resampler, frame->nb_samples);
    if (capacity <= 0)
        return;
    const size_t channels = static_cast<size_t>(m_output.channels());
    std::vector<int16_t> samples(static_cast<size_t>(capacity) * channels);
    uint8_t *out[] = {reinterpret_cast<uint8_t *>(samples.data())};
    const int converted = swr_convert(m_resampler, out, capacity, const_cast<const uint8_t **>(frame->extended_data),
                                      frame->nb_samples);
    if (converted <= 0)
        return;
    samples.resize(static_cast<size_t>(converted) * channels);
    int64_t first = startUs;
    if (first < m_dropBefore) {
        const int64_t skip = (m_dropBefore - first) * m_output.sampleRate() / 1000000;
        if (skip >= converted)
            return;
        samples.erase(samples.begin(), samples.begin() + static_cast<long>(static_cast<size_t>(skip) * channels));
        first += skip * 1000000 / m_output.sampleRate();
    }
    m_output.push(std::move(samples), first);
}

void PlayerAudio::repositionLocked(int64_t position)
{
    m_output.clear(position);
    const AVStream *stream = m_source.format()->streams[m_streamIndex];
    const int64_t target = av_rescale_q(position + m_startTime, {1, 1000000}, stream->time_base);
    av_seek_frame(m_source.format(), m_streamIndex, target, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(m_decoder);
    swr_init(m_resampler);
    m_dropBefore = position;
    m_inputEnded = false;
    m_finished = false;
    m_wake.notify_all();
}

void PlayerAudio::seek(int64_t position)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_decoder)
        repositionLocked(position);
}

bool PlayerAudio::selectTrack(int track)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (track == m_track)
        return true;
    int64_t position = 0;
    if (!m_output.clockUs(&position))
        position = m_dropBefore;
    if (!openDecoder(track))
        return false;
    repositionLocked(position);
    return true;
}
