#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

// Encodes pictures on several encoders at once for codecs whose packet depends only on
// its frame and the frame before it (GIF: what is left unchanged becomes transparent).
// Each lane takes a run of consecutive frames and first encodes the frame before the
// run, dropping that packet, so its packets are those of one encoder fed every frame.
// Packets are written in order on the thread that submits.
class RunEncoders
{
public:
    using CreateEncoder = std::function<AVCodecContext *()>;
    // tag: what was submitted with the packet's frame.
    using Write = std::function<bool(AVPacket *packet, int64_t tag)>;

    // waitingBytes: how much of the submitted pictures may wait for a lane. Lanes busy
    // side by side need frames of several runs waiting at once.
    RunEncoders(int lanes, int runLength, size_t waitingBytes, CreateEncoder createEncoder, Write write);
    ~RunEncoders();
    RunEncoders(const RunEncoders &) = delete;
    RunEncoders &operator=(const RunEncoders &) = delete;

    // Copies the frame's reference; may block while too much waits.
    bool submit(const AVFrame *frame, int64_t tag);
    // Waits for every run and writes the rest.
    bool finish();

private:
    struct Run;
    using Packets = std::vector<std::pair<AVPacket *, int64_t>>;

    void laneLoop();
    static size_t pictureBytes(const AVFrame *frame);
    // keep: where the packets go; null drops them.
    static bool encode(AVCodecContext *encoder, AVPacket *packet, AVFrame *frame, int64_t tag, Packets *keep);
    static bool keepPacket(AVPacket *packet, int64_t tag, Packets &keep);
    bool encodeFrames(Run &run, AVCodecContext *encoder, AVPacket *packet, std::unique_lock<std::mutex> &lock);
    bool writeReady(std::unique_lock<std::mutex> &lock);

    CreateEncoder m_createEncoder;
    Write m_write;
    const size_t m_runLength;
    const size_t m_waitingLimit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    // From the oldest run not yet written to the one being filled.
    std::deque<std::unique_ptr<Run>> m_runs;
    size_t m_claimed = 0; // runs in m_runs a lane has taken
    size_t m_waitingBytes = 0;
    uint64_t m_submitted = 0;
    AVFrame *m_previous = nullptr;
    bool m_failed = false;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
