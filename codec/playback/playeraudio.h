#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include "source/mediasource.h"

class AudioOutput;
class PlayerClock;

// The sound of one media: its own reader of the file decodes the chosen audio stream,
// resamples it to the device's format and keeps the device's queue filled a little
// ahead of the clock.
class PlayerAudio
{
public:
    PlayerAudio(AudioOutput &output, PlayerClock &clock);
    ~PlayerAudio();
    PlayerAudio(const PlayerAudio &) = delete;
    PlayerAudio &operator=(const PlayerAudio &) = delete;

    // track = the index among the media's audio streams.
    bool open(const std::string &path, int track);
    void start();

    // Starts over at position (µs from the media start); the queue is dropped.
    void seek(int64_t position);
    // The same position in another audio stream, so the clock goes on without a jump.
    bool selectTrack(int track);
    int track() const { return m_track; }
    bool finished() const { return m_finished; }

private:
    void run();
    bool openDecoder(int track);
    // Decodes until the queue is full enough; false at the end of the stream.
    bool fill();
    void emitFrame(const AVFrame *frame);
    void repositionLocked(int64_t position);

    AudioOutput &m_output;
    PlayerClock &m_clock;
    MediaSource m_source;
    std::atomic<bool> m_quit{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    AVCodecContext *m_decoder = nullptr;
    SwrContext *m_resampler = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    int m_streamIndex = -1;
    int m_track = -1;
    int64_t m_startTime = 0;
    // Samples before this time are decoded but not queued (after a seek).
    int64_t m_dropBefore = 0;
    std::atomic<bool> m_finished{false};
    bool m_inputEnded = false;
};
