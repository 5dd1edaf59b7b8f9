#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "convert/audiofilter.h"
#include "source/mediasource.h"
#include "source/track.h"

class MovieWriter;

// The sound and subtitles of a source file, read through a demuxer of their own beside
// the one that decodes the pictures, and written into the same output: the sound
// decoded, trimmed to the range and encoded; subtitles copied where the muxer takes
// their codec. The caller advances them to each picture's time, so the muxer gets the
// streams nearly in order.
class SideStreams
{
public:
    SideStreams() = default;
    ~SideStreams();
    SideStreams(const SideStreams &) = delete;
    SideStreams &operator=(const SideStreams &) = delete;

    // Whether the file has sound to give; before open.
    static bool hasAudio(const std::string &src, const std::atomic<bool> *cancel);
    // Adds the streams to writer, which must be opened and have written nothing.
    bool open(const std::string &src, const std::atomic<bool> *cancel, MovieWriter &writer, uint64_t rangeStart,
              uint64_t rangeLength, bool copySubtitles);
    // The sound of a fed track instead of a file; waits for its packets.
    bool openTrack(std::shared_ptr<Track> sound, const std::atomic<bool> *cancel, MovieWriter &writer);
    // Writes what lies before t (µs of output).
    bool advanceTo(int64_t t);
    // Writes the rest; endSound also ends the output's sound.
    bool finish(bool endSound);
    bool atEnd() const { return m_ended; }
    // µs of output written so far.
    uint64_t position() const { return m_position; }

private:
    bool openDecoder(const AVCodecParameters *parameters, const std::string &chain);
    bool takeFromTrack();
    bool handle(AVPacket *packet);
    bool decodeAudio(AVPacket *packet);
    bool drainFilter();
    int64_t outputTime(const AVPacket *packet) const;

    MediaSource m_source;
    std::shared_ptr<Track> m_soundTrack;
    const std::atomic<bool> *m_cancel = nullptr;
    AVRational m_audioTimeBase{1, 1000000};
    int64_t m_audioStart = 0;
    MovieWriter *m_writer = nullptr;
    AVCodecContext *m_decoder = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    AudioFilter m_filter;
    int m_audioIndex = -1;
    // Output stream of each input stream, or -1.
    std::vector<int> m_copies;
    int64_t m_rangeStart = 0;
    int64_t m_rangeEnd = INT64_MAX;
    int64_t m_readTime = INT64_MIN;
    uint64_t m_position = 0;
    bool m_ended = false;
};
