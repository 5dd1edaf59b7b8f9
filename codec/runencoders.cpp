#include "runencoders.h"

#include <algorithm>
#include <utility>

struct RunEncoders::Run
{
    AVFrame *prime = nullptr;
    std::deque<std::pair<AVFrame *, int64_t>> frames;
    Packets packets;
    bool closed = false; // no more frames come
    bool done = false;

    ~Run()
    {
        av_frame_free(&prime);
        for (auto &frame : frames)
            av_frame_free(&frame.first);
        for (auto &packet : packets)
            av_packet_free(&packet.first);
    }
};

RunEncoders::RunEncoders(int lanes, int runLength, size_t waitingBytes, CreateEncoder createEncoder, Write write)
    : m_createEncoder(std::move(createEncoder)), m_write(std::move(write)),
      m_runLength(static_cast<size_t>(std::max(1, runLength))), m_waitingLimit(waitingBytes)
{
    for (int i = 0; i < std::max(1, lanes); ++i)
        m_threads.emplace_back(&RunEncoders::laneLoop, this);
}

RunEncoders::~RunEncoders()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
    av_frame_free(&m_previous);
}

void RunEncoders::laneLoop()
{
    // One encoder serves all the lane's runs: the frame before a run leaves it as one
    // encoder fed every frame would be, and allocating anew for each run costs memory.
    AVCodecContext *encoder = nullptr;
    AVPacket *packet = av_packet_alloc();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stopping || m_failed || m_claimed < m_runs.size(); });
        if (m_stopping || m_failed)
            break;
        Run &run = *m_runs[m_claimed++];
        lock.unlock();
        if (!encoder)
            encoder = m_createEncoder();
        // An encoder that holds frames back would mix up the runs' packets.
        bool ok = encoder && packet && !(encoder->codec->capabilities & AV_CODEC_CAP_DELAY)
                  && (!run.prime || encode(encoder, packet, run.prime, 0, nullptr));
        av_frame_free(&run.prime);
        lock.lock();
        if (!ok || !encodeFrames(run, encoder, packet, lock))
            m_failed = true;
        run.done = true;
        m_changed.notify_all();
    }
    lock.unlock();
    av_packet_free(&packet);
    avcodec_free_context(&encoder);
}

bool RunEncoders::encode(AVCodecContext *encoder, AVPacket *packet, AVFrame *frame, int64_t tag, Packets *keep)
{
    if (avcodec_send_frame(encoder, frame) < 0)
        return false;
    int received = 0;
    while ((received = avcodec_receive_packet(encoder, packet)) >= 0) {
        const bool kept = !keep || keepPacket(packet, tag, *keep);
        av_packet_unref(packet);
        if (!kept)
            return false;
    }
    return received == AVERROR(EAGAIN);
}

bool RunEncoders::keepPacket(AVPacket *packet, int64_t tag, Packets &keep)
{
    AVPacket *kept = av_packet_alloc();
    if (!kept)
        return false;
    keep.emplace_back(kept, tag);
    // A packet in a buffer made for a whole picture waits in a copy of its own size.
    if (packet->buf && packet->buf->size <= static_cast<size_t>(packet->size) + 2 * AV_INPUT_BUFFER_PADDING_SIZE) {
        av_packet_move_ref(kept, packet);
        return true;
    }
    if (av_new_packet(kept, packet->size) < 0 || av_packet_copy_props(kept, packet) < 0)
        return false;
    std::copy_n(packet->data, packet->size, kept->data);
    return true;
}

// Called and returns with the lock held; encodes without it.
bool RunEncoders::encodeFrames(Run &run, AVCodecContext *encoder, AVPacket *packet, std::unique_lock<std::mutex> &lock)
{
    for (;;) {
        m_changed.wait(lock, [&] { return m_stopping || m_failed || !run.frames.empty() || run.closed; });
        if (m_stopping || m_failed || run.frames.empty())
            return !m_failed;
        auto next = run.frames.front();
        run.frames.pop_front();
        m_waitingBytes -= pictureBytes(next.first);
        m_changed.notify_all();
        lock.unlock();
        Packets made;
        const bool ok = encode(encoder, packet, next.first, next.second, &made);
        av_frame_free(&next.first);
        lock.lock();
        run.packets.insert(run.packets.end(), made.begin(), made.end());
        m_changed.notify_all();
        if (!ok)
            return false;
    }
}

bool RunEncoders::writeReady(std::unique_lock<std::mutex> &lock)
{
    // The oldest run's packets are the next in the file: they go as soon as they are made,
    // so only the later runs' packets wait.
    // The run's state is read afresh under the lock each time round: a lane that ends
    // the run while its packets are written must not go unnoticed, as the caller then
    // waits for a change that has already come.
    while (!m_failed && m_claimed > 0) {
        Run &run = *m_runs.front();
        if (run.packets.empty()) {
            if (!run.done)
                break;
            m_runs.pop_front();
            --m_claimed;
            continue;
        }
        Packets ready;
        ready.swap(run.packets);
        lock.unlock();
        bool ok = true;
        for (auto &packet : ready) {
            ok = ok && m_write(packet.first, packet.second);
            av_packet_free(&packet.first);
        }
        lock.lock();
        if (!ok)
            m_failed = true;
    }
    return !m_failed;
}

bool RunEncoders::submit(const AVFrame *frame, int64_t tag)
{
    AVFrame *copy = av_frame_clone(frame);
    AVFrame *previous = av_frame_clone(frame);
    std::unique_lock<std::mutex> lock(m_mutex);
    bool ok = copy && previous && writeReady(lock);
    if (ok && m_submitted % m_runLength == 0) {
        auto run = std::make_unique<Run>();
        run->prime = m_previous;
        m_previous = nullptr;
        if (!m_runs.empty())
            m_runs.back()->closed = true;
        m_runs.push_back(std::move(run));
    }
    if (ok) {
        m_runs.back()->frames.emplace_back(copy, tag);
        m_waitingBytes += pictureBytes(copy);
        ++m_submitted;
        av_frame_free(&m_previous);
        m_previous = previous;
        copy = previous = nullptr;
        m_changed.notify_all();
    }
    av_frame_free(&copy);
    av_frame_free(&previous);
    while (ok && m_waitingBytes >= m_waitingLimit) {
        m_changed.wait(lock);
        ok = writeReady(lock);
    }
    return ok;
}

size_t RunEncoders::pictureBytes(const AVFrame *frame)
{
    size_t bytes = 0;
    for (const AVBufferRef *buffer : frame->buf)
        if (buffer)
            bytes += buffer->size;
    return bytes;
}

bool RunEncoders::finish()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_runs.empty())
        m_runs.back()->closed = true;
    m_changed.notify_all();
    while (writeReady(lock) && !m_runs.empty())
        m_changed.wait(lock);
    return !m_failed && m_submitted > 0;
}
