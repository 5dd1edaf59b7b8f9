#pragma once

#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
}

#include "encodeconfig.h"
#include "source/track.h"

// An output file written by one libavformat muxer: at most one encoded video stream, at
// most one encoded audio stream, and streams copied packet by packet (subtitles, or
// every stream when nothing is encoded). The video encoder opens with the first frame,
// when the picture size is known; the header follows once every stream is there.
class MovieWriter
{
public:
    MovieWriter() = default;
    ~MovieWriter();
    MovieWriter(const MovieWriter &) = delete;
    MovieWriter &operator=(const MovieWriter &) = delete;

    // format is the muxer's exact name. Chooses the encoders; nothing is written yet.
    // A video codec of 0 or 0xFFFFFFFF means no picture, except in animations, which
    // are nothing else.
    bool prepare(const std::string &format, const EncodeSettings &settings);
    // The muxer alone: every stream is copied.
    bool prepareCopy(const std::string &format, const EncodeSettings &settings);
    bool wantsVideo() const { return m_codec != nullptr; }
    bool wantsAudio() const { return m_audioCodec != nullptr; }
    AVPixelFormat pixelFormat() const { return m_pixelFormat; }

    // descriptor: the open output file, written through a stream of the writer's own and
    // left open. withPicture, withSound: the source has what the streams the settings ask for need.
    bool open(int descriptor, bool withPicture, bool withSound);
    const AVCodecContext *audioEncoder() const { return m_audioEncoder; }
    bool hasAudioStream() const { return m_audioEncoder != nullptr; }
    // A stream whose packets are written as they come; before the first write. Returns
    // its index, or -1.
    int addCopyStream(const AVCodecParameters *parameters, AVRational timeBase);
    // A stream for the packets of a fed track, described by it; -1 on failure.
    int addTrackStream(const Track::Description &track, AVRational timeBase);
    // frame->pts in timeBase.
    bool write(const AVFrame *frame, AVRational timeBase);
    // For pictures encoded elsewhere, in order: stamp gives the frame its time in the
    // stream (the first one describes the stream), then its packet's bytes are written.
    bool stamp(AVFrame *frame, AVRational timeBase);
    bool writeStampedPicture(const std::vector<uint8_t> &packet);
    // Sound is written as one run of samples, timed by their count, so sources may
    // follow each other. Null frame = end of the sound.
    bool writeAudio(const AVFrame *frame);
    // Silence up to t (µs), so the next source's sound starts with its picture.
    bool padAudioTo(int64_t t);
    bool writePacket(AVPacket *packet, AVRational timeBase, int stream);
    bool finish();
    // The errno of the first write to the file that failed, or 0.
    int systemError() const;

private:
    bool prepareMuxer(const std::string &format, const EncodeSettings &settings);
    bool openAudioEncoder();
    AVCodecContext *createEncoder(int width, int height, AVPixelFormat format, AVRational sampleAspect,
                                  AVRational timeBase) const;
    bool openEncoder(const AVFrame *frame, AVRational timeBase);
    bool addChapters();
    bool writeHeader();
    bool drain(AVCodecContext *encoder, AVStream *stream);
    bool writeEncoded(AVCodecContext *encoder, AVStream *stream, AVPacket *packet, int64_t spacing);
    bool encodeAudio(int samples);
    bool closeFile();

    FILE *m_file = nullptr;
    int m_systemError = 0;
    EncodeSettings m_settings;
    const AVCodec *m_codec = nullptr;
    const AVCodec *m_audioCodec = nullptr;
    AVPixelFormat m_pixelFormat = AV_PIX_FMT_NONE;
    AVFormatContext *m_muxer = nullptr;
    AVCodecContext *m_encoder = nullptr;
    AVCodecContext *m_audioEncoder = nullptr;
    AVStream *m_stream = nullptr;
    AVStream *m_audioStream = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    AVAudioFifo *m_audioFifo = nullptr;
    int64_t m_audioSamples = 0;
    bool m_headerWritten = false;
    bool m_trailerWritten = false;
    int64_t m_frames = 0;
    int64_t m_lastPts = AV_NOPTS_VALUE;
    int64_t m_frameSpacing = 0;
};
